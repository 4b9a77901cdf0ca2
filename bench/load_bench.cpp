// Loading speed: a generated headerless file (96 curves x 100 000 points is
// about 200 MB) read through LoadDataFile.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "app/application.h"
#include "bench.h"
#include "platform/headless_window_system.h"

namespace kelvaris::bench {

int LoadBench(const synth::RunShape& shape) {
  const std::string path = (std::filesystem::temp_directory_path() / "kelvaris-bench-load.txt").string();
  {
    const std::string text = synth::HeaderlessText(shape);
    std::ofstream(path, std::ios::binary) << text;
  }
  const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;

  HeadlessWindowSystem ws;
  TApplication app(ws, {}, "");
  double best = 1e30;
  for (int run = 0; run < 3; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = app.MainForm->LoadDataFile(path, true);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!ok) {
      std::cerr << "load failed\n";
      std::filesystem::remove(path);
      return 1;
    }
    best = std::min(best, s);
  }
  std::filesystem::remove(path);
  std::printf("load headerless %d curves x %d points: %.1f MB in %.3f s, %.1f MB/s\n", shape.curves,
              shape.points, mb, best, mb / best);
  return 0;
}

}  // namespace kelvaris::bench
