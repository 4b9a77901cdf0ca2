// Graph pictures in files, for the command-line tool: a PNG or SVG of any
// size. Usable without a window; a headless application is started when
// none runs yet. (No Qt types here, so the tool's entry point can call it.)
#pragma once

#include <string>

namespace kelvaris {
class TPlot;
}

namespace kelvaris::qt {

// false, with the reason, when the file cannot be written.
bool WritePlotImage(TPlot& plot, const std::string& path, int width, int height, std::string& error);

}  // namespace kelvaris::qt
