#include "synthetic_keyed_text.h"

#include <charconv>
#include <string_view>

namespace kelvaris::synth {

namespace {

// "0.00##": two to four decimals.
void AppendFixed(std::string& out, double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
  std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
  while (s.size() > 1 && s.back() == '0' && s[s.size() - 3] != '.') s.remove_suffix(1);
  out += s;
}

// "0.00##e-0": a mantissa with two to four decimals and a bare exponent.
void AppendScientific(std::string& out, double v) {
  if (v == 0) {
    out += "0.00e0";
    return;
  }
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 4);
  std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
  const std::size_t e = s.find('e');
  std::string_view mantissa = s.substr(0, e);
  while (mantissa.back() == '0' && mantissa[mantissa.size() - 3] != '.') mantissa.remove_suffix(1);
  out += mantissa;
  out += 'e';
  std::string_view exponent = s.substr(e + 1);
  if (exponent.front() == '-') {
    out += '-';
    exponent.remove_prefix(1);
  } else if (exponent.front() == '+') {
    exponent.remove_prefix(1);
  }
  while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
  out += exponent;
}

template <typename Cell>
void AppendKeyRow(std::string& out, const char* key, int curves, Cell cell) {
  out += key;
  for (int k = 0; k < curves; ++k) {
    out += '\t';
    cell(k);
  }
}

}  // namespace

std::string KeyedText(const RunShape& shape, bool withSimulation) {
  std::string out = withSimulation ? "Vers 3.43 Data Simulation\n" : "Vers 3.41 Data\n";
  const int n = shape.curves;
  AppendKeyRow(out, "Conc1", n, [&](int k) { AppendScientific(out, ConcentrationOf(shape, k)); });
  out += '\n';
  AppendKeyRow(out, "Analyte1", n, [&](int) { out += "Analyte"; });
  out += '\n';
  AppendKeyRow(out, "Start1", n, [&](int) { out += '0'; });
  out += '\n';
  AppendKeyRow(out, "Stop1", n, [&](int) { AppendFixed(out, shape.injectionEnd); });
  out += '\n';
  AppendKeyRow(out, "Channel", n, [&](int) { out += '1'; });
  out += '\n';
  AppendKeyRow(out, "Ligand", n, [&](int) { out += "Flowcell 1"; });
  out += '\n';

  for (int k = 0; k < n; ++k) {
    const std::string number = std::to_string(k + 1);
    if (k > 0) out += '\t';
    out += "Time" + number + "\tData" + number;
    if (withSimulation) out += "\tSimulation" + number;
  }
  out += '\n';

  unsigned state = shape.seed * 2654435761u + 12345u;
  for (int i = 0; i < shape.points; ++i) {
    const double t = i * shape.step;
    for (int k = 0; k < n; ++k) {
      state = state * 1664525u + 1013904223u;
      const double jitter = ((state >> 8) / double(1 << 24) - 0.5) * 2 * shape.noise;
      if (k > 0) out += '\t';
      AppendFixed(out, t);
      out += '\t';
      AppendFixed(out, ResponseAt(shape, k, t) + jitter);
      if (withSimulation) {
        out += '\t';
        AppendFixed(out, ResponseAt(shape, k, t));
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace kelvaris::synth
