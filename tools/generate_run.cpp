// Writes a synthetic binding run in one of the formats Kelvaris reads:
// generate_run [--format NAME] [--curves N] [--points M] [--step S]
// [--seed K] [--spots P] [--flow-cells F] [--solvent-standards S] FILE
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>

#include "synthetic_keyed_text.h"
#include "synthetic_plain_text.h"
#include "synthetic_run.h"
#include "synthetic_tagged_text.h"

namespace synth = kelvaris::synth;

int main(int argc, char** argv) {
  synth::RunShape shape;
  std::string out;
  std::string format = "headerless";
  int spots = 10;  // spots per cycle of the tagged format
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--curves") shape.curves = std::stoi(value());
    else if (a == "--points") shape.points = std::stoi(value());
    else if (a == "--step") shape.step = std::stod(value());
    else if (a == "--seed") shape.seed = static_cast<unsigned>(std::stoul(value()));
    else if (a == "--format") format = value();
    else if (a == "--spots") spots = std::stoi(value());
    else if (a == "--flow-cells") shape.flowCells = std::stoi(value());
    else if (a == "--solvent-standards") shape.solventStandards = std::stoi(value());
    else out = a;
  }
  const std::map<std::string, std::function<std::string()>> writers = {
      {"headerless", [&] { return synth::HeaderlessText(shape); }},
      {"headed", [&] { return synth::HeadedPairText(shape); }},
      {"labelled", [&] { return synth::FlowCellLabelledText(shape); }},
      {"version3", [&] { return synth::Version3Text(shape); }},
      {"two-channel", [&] { return synth::TwoChannelText(shape); }},
      {"roi", [&] { return synth::RoiBlockText(shape); }},
      {"keyed", [&] { return synth::KeyedText(shape, false); }},
      {"keyed-simulation", [&] { return synth::KeyedText(shape, true); }},
      {"tagged", [&] { return synth::TaggedText(shape, spots); }},
  };
  auto writer = writers.find(format);
  if (out.empty() || shape.curves < 1 || shape.points < 1 || writer == writers.end()) {
    std::cerr << "usage: generate_run [--format NAME] [--curves N] [--points M] [--step S] [--seed K] "
                 "[--spots P] [--flow-cells F] [--solvent-standards S] FILE\nformats:";
    for (const auto& [name, w] : writers) std::cerr << " " << name;
    std::cerr << "\n";
    return 2;
  }
  std::ofstream f(out, std::ios::binary);
  f << writer->second();
  return f ? 0 : 1;
}
