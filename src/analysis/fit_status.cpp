#include "analysis/fit_status.h"

#include <array>

namespace kelvaris {

std::string_view FitStatusText(int code) {
  static constexpr std::array<std::string_view, 12> kTexts = {
      "Fit OK",          "Iteration limit reached", "Limit exceeded", "Parameter has no effect",
      "Gauss failed",    "No parameters",           "W calc failed",  "Multiple link",
      "User break",      "Bad array format",        "Math error",     "Abort fit",
  };
  if (code < 0 || code >= static_cast<int>(kTexts.size())) return "Unknown error";
  return kTexts[static_cast<std::size_t>(code)];
}

}  // namespace kelvaris
