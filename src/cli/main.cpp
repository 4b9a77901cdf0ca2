#include <iostream>

#include "cli/cli_runner.h"
#ifdef KELVARIS_WITH_QT
#include "qt/plot_image.h"
#endif

int main(int argc, char** argv) {
#ifdef KELVARIS_WITH_QT
  kelvaris::SetPlotWriter(kelvaris::qt::WritePlotImage);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return kelvaris::RunCli(args, std::cout, std::cerr);
}
