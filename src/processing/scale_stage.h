// The Scale stage (stage 8): responses multiplied by a factor and divided by
// the molecular weight of the injected analyte, so that the responses of
// analytes of different size can be compared.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvaris {

class TExperiment;

struct ScaleSettings {
  bool Multiply = false;            // "Multiply by" is checked
  std::string_view FactorText;      // the factor box; unreadable gives 100, 0 gives 1
  bool DivideByMw = false;          // "Divide by MW" is checked
  // The analyte table's "MW" cells (g/mol), index analyte - 1; its size is
  // the number of analytes.
  std::vector<std::string> MwTexts;
};

inline constexpr const char* kScaleFailedText =
    "An error occurred while Scaling the data.\nThe Scale function has been turned off.";

struct ScaleResult {
  // The caller shows Message (caption "Error", exclamation icon), unchecks
  // "Multiply by" and switches both off; stage 8 is already freed.
  bool Failed = false;
  std::string Message;
};

// Computes stage 8 from its source while either experiment switch (Scale,
// DivideByMW) is on; the settings say which of the two operations apply.
// Analyte numbers are those of the raw curves' descriptions; one outside
// 1..MwTexts.size() counts as analyte 1, and without any analyte row, or with
// an MW that is not above 0, the curve is divided by 1.
ScaleResult ScaleStage(TExperiment& e, const ScaleSettings& s);

// The factor "Multiply by" applies: the box's number, 100 when it cannot be
// read, 1 for exactly 0.
double ScaleFactor(std::string_view factorText);

}  // namespace kelvaris
