// Number texts of the graph's axis labels, independent of the C locale; the
// decimal separator is the program's.
#pragma once

#include <string>

namespace kelvaris {

// Fixed notation with `decimals` digits after the separator.
std::string PlotFixed(double value, int decimals);
// Scientific notation with `digits` significant digits and the shortest
// exponent with its sign ("1.0000e+6"); `upper` writes "E".
std::string PlotScientific(double value, int digits, bool upper);
// A tick label of the y axis (and of the x axis outside the Kd kind):
// scientific above 999999 when there are no decimals, else fixed.
std::string PlotTickLabel(double value, int decimals, bool upperExponent);
// A Kd-kind label as mantissa and exponent: 1e-7 gives "1.0" and "-7".
void PlotPowerParts(double value, std::string& mantissa, std::string& exponent);

}  // namespace kelvaris
