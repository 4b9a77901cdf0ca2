#include "model/curve_kinetics.h"

namespace kelvaris {

int EvaluateModel(TCurveKinetics& record, const double* times, double* values, int n) {
  if (record.model != 0) return 1;  // the kinetic models are not built yet
  for (int i = 0; i < n; ++i) values[i] = 0;
  return 0;
}

}  // namespace kelvaris
