#include "processing/stage_window.h"

#include "model/experiment.h"
#include "model/numbers.h"

namespace kelvaris {

StageWindow SanitizedWindow(double tmin, double tmax, bool windowSet, std::string_view startText,
                            std::string_view stopText, const std::string_view* thirdText) {
  StageWindow w;
  if (!windowSet) {
    const double q = (tmax - tmin) / 4;
    w.start = tmin + q;
    w.stop = tmax - 2 * q;
    w.third = tmax - q;
    return w;
  }
  double& start = w.start;
  double& stop = w.stop;
  double& third = w.third;
  start = ParseNumber(startText, tmin);
  stop = ParseNumber(stopText, tmax);
  third = thirdText ? ParseNumber(*thirdText, tmax) : stop + 5;
  // Each rule works on what the rules before it left.
  auto afterStart = [&] {
    if (stop - start < 5) stop = start + 5;
    if (third - start < 10) third = start + 10;
  };
  auto afterStop = [&] {
    if (stop - start < 5) start = stop - 5;
    if (third - stop < 5) third = stop + 5;
  };
  auto afterThird = [&] {
    if (third - start < 10) start = third - 10;
    if (third - stop < 5) stop = third - 5;
  };
  if (start < tmin) {
    start = tmin + 5;
    afterStart();
  }
  if (start > tmax) {
    start = tmax - 15;
    afterStart();
  }
  if (stop > tmax) {
    stop = tmax - 10;
    afterStop();
  }
  if (stop < tmin) {
    stop = tmin + 10;
    afterStop();
  }
  if (third > tmax) {
    third = tmax - 5;
    afterThird();
  }
  if (third < tmin) {
    third = tmin + 15;
    afterThird();
  }
  return w;
}

void SettleBox(std::string_view text, double value, std::string& out, bool& changed) {
  changed = ParseNumber(text, value + 1) != value;
  out = changed ? FormatNumber("", value) : std::string(text);
}

SettledWindow SettleStartStop(const TExperiment& e, int stage, int source, std::string_view start,
                              std::string_view stop) {
  const auto [tmin, tmax] = e.TimeRange(source);
  const StageWindow w = SanitizedWindow(tmin, tmax, e.WindowSet[static_cast<std::size_t>(stage)], start, stop, nullptr);
  SettledWindow out;
  SettleBox(start, w.start, out.StartText, out.StartChanged);
  SettleBox(stop, w.stop, out.StopText, out.StopChanged);
  out.Start = ParseNumber(out.StartText, tmin);
  out.Stop = ParseNumber(out.StopText, tmax);
  return out;
}

}  // namespace kelvaris
