#include "model/curve_kinetics.h"

#include <algorithm>
#include <cstring>

namespace kelvaris {

void KineticParameter::SetText(std::string_view shown) {
  const std::size_t n = std::min(shown.size(), sizeof text - 1);
  if (n > 0) std::memcpy(text, shown.data(), n);
  text[n] = '\0';
}

int EvaluateModel(TCurveKinetics& record, const double* times, double* values, int n) {
  if (n < 1) return 0;
  if (!times || !values) return 10;
  if (record.model != 0) return 10;  // "Math error": no model to evaluate
  for (int i = 0; i < n; ++i) values[i] = 0;
  return 0;
}

}  // namespace kelvaris
