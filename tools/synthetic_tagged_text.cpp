#include "synthetic_tagged_text.h"

#include <cstdio>
#include <random>

namespace kelvaris::synth {

namespace {

constexpr char kRs = '\x1e';

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  return buf;
}

// A line of fields: "", "", then the given ones, separated by RS.
std::string Line(std::initializer_list<std::string> fields) {
  std::string s{kRs, kRs};
  bool first = true;
  for (const auto& f : fields) {
    if (!first) s += kRs;
    s += f;
    first = false;
  }
  return s + "\n";
}

}  // namespace

std::string TaggedText(const RunShape& shape, int spots) {
  std::mt19937 rng(shape.seed);
  std::uniform_real_distribution<double> noise(-shape.noise, shape.noise);
  std::string s = "<FILEVERSION>1.0\n";
  s += "<T_>FILETAG<TX>\n" + Line({"1", "ConcUnit=nM"}) + "</T_>\n";
  s += "<T_>CYCLE<TX>\n";
  for (int h = 1; h <= shape.curves; ++h)
    s += Line({std::to_string(h), h == shape.curves ? "Buffer" : "Drug"});
  s += "</T_>\n<T_>XYMULTISPOTDATA<TX>\n";
  for (int h = 1; h <= shape.curves; ++h)
    for (int i = 0; i < shape.points; ++i) {
      const double t = i * shape.step;
      std::string line{kRs, kRs};
      line += std::to_string(h) + kRs + Number(t) + kRs;
      for (int g = 0; g < spots; ++g)
        line += Number(ResponseAt(shape, h - 1, t) * (g + 1) / spots + noise(rng)) + kRs;
      s += line + "\n";
    }
  s += "</T_>\n<T_>CURVEKEYWORD<TX>\n";
  for (int h = 1; h <= shape.curves; ++h)
    for (int g = 0; g < spots; ++g)
      s += Line({std::to_string(h), std::to_string(g), "Conc", Number(ConcentrationOf(shape, h - 1) * 1e9)});
  s += "</T_>\n";
  return s;
}

}  // namespace kelvaris::synth
