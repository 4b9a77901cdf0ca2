// Writes a synthetic binding run: generate_run [--curves N] [--points M]
// [--step S] [--seed K] FILE
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "synthetic_run.h"

int main(int argc, char** argv) {
  kelvaris::synth::RunShape shape;
  std::string out;
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
    else out = a;
  }
  if (out.empty() || shape.curves < 1 || shape.points < 1) {
    std::cerr << "usage: generate_run [--curves N] [--points M] [--step S] [--seed K] FILE\n";
    return 2;
  }
  std::ofstream f(out, std::ios::binary);
  f << kelvaris::synth::HeaderlessText(shape);
  return f ? 0 : 1;
}
