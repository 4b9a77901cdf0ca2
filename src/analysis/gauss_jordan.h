// Gauss-Jordan elimination with full pivoting.
#pragma once

#include "analysis/fit_real.h"

namespace kelvaris {

// Solves a·x = b in place for the m × m row-major matrix a: b becomes x and
// a its inverse. Returns 0, frNoEffect (3) on a zero pivot or frGaussFailed
// (4) when no pivot can be chosen in a column not used before (a matrix
// holding NaN). On ties the later element is the pivot. m < 1 does nothing.
int GaussJordan(FitReal* a, FitReal* b, int m);

}  // namespace kelvaris
