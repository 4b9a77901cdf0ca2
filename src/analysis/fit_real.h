// The floating type of the fit's sums and matrices. Sums over thousands of
// data points and the elimination are carried in extended precision; the
// parameters themselves stay double.
#pragma once

namespace kelvaris {

using FitReal = long double;

}  // namespace kelvaris
