#include "synthetic_plain_text.h"

#include <algorithm>

#include <charconv>

namespace kelvaris::synth {

namespace {

void AppendShortest(std::string& out, double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void AppendFixed(std::string& out, double v, int decimals) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  out.append(buf, r.ptr);
}

// The same noise as HeaderlessText, so every format carries the same run.
class Noise {
 public:
  explicit Noise(const RunShape& shape) : shape_(shape), state_(shape.seed * 2654435761u + 12345u) {}
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return ((state_ >> 8) / double(1 << 24) - 0.5) * 2 * shape_.noise;
  }

 private:
  const RunShape& shape_;
  unsigned state_;
};

}  // namespace

std::string HeadedPairText(const RunShape& shape) {
  std::string out;
  for (int k = 0; k < shape.curves; ++k) {
    if (k > 0) out += '\t';
    out += "Time " + std::to_string(k + 1) + "\tResponse " + std::to_string(k + 1);
  }
  out += '\n';
  return out + HeaderlessText(shape);
}

std::string FlowCellLabelledText(const RunShape& shape) {
  std::string out;
  const int cells = std::max(shape.flowCells, 1);
  for (int k = 0; k < shape.curves; ++k)
    for (int f = 1; f <= cells; ++f) {
      const std::string label = "201231a Fc=" + std::to_string(f) + " - " + std::to_string(k + 1);
      if (k > 0 || f > 1) out += '\t';
      out += label + "_X\t" + label + "_Y";
    }
  out += '\n';
  return out + (cells > 1 ? FlowCellPairRows(shape) : HeaderlessText(shape)) + '\n';
}

std::string Version3Text(const RunShape& shape) {
  std::string out = "Version 3\nSynthetic binding run\nOne analyte, dilution series\n";
  for (int k = 0; k < shape.curves; ++k) {
    if (k > 0) out += '\t';
    out += "Time" + std::to_string(k + 1) + "\tResponse" + std::to_string(k + 1);
  }
  out += '\n';
  for (int k = 0; k < shape.curves; ++k) {
    if (k > 0) out += '\t';
    out += "Conc" + std::to_string(k + 1) + '\t';
    AppendShortest(out, ConcentrationOf(shape, k));
  }
  out += '\n';
  return out + HeaderlessText(shape);
}

std::string TwoChannelText(const RunShape& shape) {
  std::string out = "_Data";
  for (int k = 0; k < shape.curves; ++k) {
    if (k > 0) out += "\tX" + std::to_string(k + 1);
    out += "\tY" + std::to_string(k + 1);
  }
  out += '\n';
  return out + HeaderlessText(shape);
}

std::string RoiBlockText(const RunShape& shape) {
  std::string out = "Beta 2 synthetic run\n\r\n\r";
  out += "Time";
  for (int k = 0; k < shape.curves; ++k) out += "\tROI " + std::to_string(k + 1);
  out += "\n\r";
  Noise noise(shape);
  for (int i = 0; i < shape.points; ++i) {
    const double t = i * shape.step;
    AppendShortest(out, t / 60);
    for (int k = 0; k < shape.curves; ++k) {
      out += '\t';
      AppendFixed(out, ResponseAt(shape, k, t) + noise.Next(), 4);
    }
    out += "\n\r";
  }
  out += "\n\r";
  return out;
}

}  // namespace kelvaris::synth
