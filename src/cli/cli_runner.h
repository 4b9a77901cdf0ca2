// kelvaris-cli: the same main window driven from the command line.
// Arguments are processed from left to right.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace kelvaris {

class TPlot;

// What --plot draws with: a graph into a PNG or SVG file of a size; false
// with the reason when it fails. The tool's entry point sets the window
// toolkit's renderer; without one --plot is refused.
using PlotWriter = std::function<bool(TPlot& plot, const std::string& path, int width, int height, std::string& error)>;
void SetPlotWriter(PlotWriter writer);

// Exit codes: 0 every load succeeded, 1 a load failed, 2 an unusable argument.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelvaris
