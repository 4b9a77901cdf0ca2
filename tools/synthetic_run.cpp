#include "synthetic_run.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvaris::synth {

double ConcentrationOf(const RunShape& shape, int k) {
  if (k == shape.curves - 1) return 0;
  return shape.topConcentration / std::pow(2.0, k);
}

double ResponseAt(const RunShape& shape, int k, double t) {
  const double c = ConcentrationOf(shape, k);
  if (c <= 0 || t < shape.injectionStart) return 0;
  const double kobs = shape.ka * c + shape.kd;
  const double req = shape.rmax * shape.ka * c / kobs;
  const double te = std::min(t, shape.injectionEnd);
  const double bound = req * (1 - std::exp(-kobs * (te - shape.injectionStart)));
  if (t <= shape.injectionEnd) return bound;
  return bound * std::exp(-shape.kd * (t - shape.injectionEnd));
}

namespace {
void Append(std::string& out, double v, int decimals) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  out.append(buf, r.ptr);
}
}  // namespace

std::string HeaderlessText(const RunShape& shape) {
  std::string out;
  out.reserve(static_cast<std::size_t>(shape.points) * shape.curves * 16);
  unsigned state = shape.seed * 2654435761u + 12345u;
  for (int i = 0; i < shape.points; ++i) {
    const double t = i * shape.step;
    for (int k = 0; k < shape.curves; ++k) {
      state = state * 1664525u + 1013904223u;
      const double jitter = ((state >> 8) / double(1 << 24) - 0.5) * 2 * shape.noise;
      if (k > 0) out += '\t';
      Append(out, t, 2);
      out += '\t';
      Append(out, ResponseAt(shape, k, t) + jitter, 4);
    }
    out += '\n';
  }
  return out;
}

double FlowCellResponseAt(const RunShape& shape, int k, int f, double t) {
  const bool during = t >= shape.injectionStart && t <= shape.injectionEnd;
  if (k < shape.solventStandards) {
    const double bulk = during ? shape.bulk * (1 + 0.1 * k) : 0;
    return f <= 1 ? bulk : (during ? 1.05 * bulk + 0.3 : 0);
  }
  const double step = during ? shape.bulk : 0;
  if (f <= 1 || shape.flowCells <= 1) return f <= 1 && shape.flowCells > 1 ? step : ResponseAt(shape, k, t);
  // The active flow cells see the same solvent artefact as in the standards.
  const double solvent = during ? 1.05 * step + 0.3 : 0;
  return solvent + ResponseAt(shape, k, t) * (f - 1) / (shape.flowCells - 1);
}

std::string FlowCellPairRows(const RunShape& shape) {
  const int cells = std::max(shape.flowCells, 1);
  std::string out;
  out.reserve(static_cast<std::size_t>(shape.points) * shape.curves * cells * 16);
  unsigned state = shape.seed * 2654435761u + 12345u;
  for (int i = 0; i < shape.points; ++i) {
    const double t = i * shape.step;
    for (int k = 0; k < shape.curves; ++k)
      for (int f = 1; f <= cells; ++f) {
        state = state * 1664525u + 1013904223u;
        const double jitter = ((state >> 8) / double(1 << 24) - 0.5) * 2 * shape.noise;
        if (k > 0 || f > 1) out += '\t';
        Append(out, t, 2);
        out += '\t';
        Append(out, FlowCellResponseAt(shape, k, f, t) + jitter, 4);
      }
    out += '\n';
  }
  return out;
}

}  // namespace kelvaris::synth
