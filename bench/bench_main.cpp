// Speed goals, run with `make bench`:
//   kelvaris-bench [load|chain|plot|fit|affinity] [--curves N] [--points M]
// Without a name every benchmark runs, each with its own default shape.
#include <iostream>
#include <string>

#include "affinity_bench.h"
#include "bench.h"

using namespace kelvaris;

int main(int argc, char** argv) {
  std::string only;
  int curves = 0, points = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--curves" || a == "--points") && i + 1 < argc) {
      (a == "--curves" ? curves : points) = std::stoi(argv[++i]);
    } else if (a == "load" || a == "chain" || a == "plot" || a == "fit" || a == "affinity") {
      only = a;
    } else {
      std::cerr << "usage: kelvaris-bench [load|chain|plot|fit|affinity] [--curves N] [--points M]\n";
      return 2;
    }
  }
  auto shape = [&](int defaultPoints) {
    synth::RunShape s;
    s.curves = curves > 0 ? curves : 96;
    s.points = points > 0 ? points : defaultPoints;
    s.step = 0.1;
    return s;
  };
  int code = 0;
  if (only.empty() || only == "load") code |= bench::LoadBench(shape(100000));
  if (only.empty() || only == "chain") code |= bench::ChainBench(shape(20000));
  if (only.empty() || only == "plot") code |= bench::PlotBench(shape(100000));
  if (only.empty() || only == "fit") code |= bench::FitBench(curves > 0 ? curves : 8, points > 0 ? points : 2000);
  if (only.empty() || only == "affinity") code |= bench::AffinityBench();
  return code;
}
