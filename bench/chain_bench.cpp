// Chain speed: Zero, Crop with averaging and despike on a generated run,
// recomputed from stage 0 as a new load or a sample-table edit does.
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

int ChainBench(const synth::RunShape& shape) {
  const std::string path = (std::filesystem::temp_directory_path() / "kelvaris-bench-chain.txt").string();
  {
    const std::string text = synth::HeaderlessText(shape);
    std::ofstream(path, std::ios::binary) << text;
  }
  HeadlessWindowSystem ws;
  TApplication app(ws, {}, "");
  TMainForm& form = *app.MainForm;
  const bool ok = form.LoadDataFile(path, true);
  std::filesystem::remove(path);
  if (!ok) {
    std::cerr << "load failed\n";
    return 1;
  }
  form.DespikeAction.Click();
  form.ZeroCheck.UserClick();
  form.CropCheck.UserClick();
  form.CropAverageCheck.UserClick();
  if (!form.Experiment.StageExists(stCrop) || !ws.Messages().empty()) {
    std::cerr << "the stages did not run\n";
    return 1;
  }
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    form.RunChain(stRaw);
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::printf("chain from stage 0 (despike, Zero, Crop averaging 1 s) %d curves x %d points: %.1f ms\n",
              shape.curves, shape.points, best);
  return 0;
}

}  // namespace kelvaris::bench
