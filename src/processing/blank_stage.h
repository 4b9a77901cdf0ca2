// The Blank stage (stage 7): blank injections (running buffer, concentration
// 0) carry the drift and artefacts that reference subtraction leaves, so each
// sample loses a blank of its flow cell: the nearest one in the run, the mean
// of all of them, or the nearest one of the same analyte series. Blanks stay
// in the output, corrected against themselves; solvent standards, unused
// injections and removed blanks are dropped.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace kelvaris {

class TExperiment;

// The items of the "Blanks" radio group, in order.
enum class BlankMode {
  None = 0,      // stage off
  Closest = 1,   // the nearest usable blank of the same flow cell
  Average = 2,   // the mean of the usable blanks of the same flow cell
  Compound = 3,  // the nearest usable blank of the same flow cell and analyte
};

struct BlankSettings {
  BlankMode Mode = BlankMode::None;
  bool Despike = false;  // the despike action is checked
};

enum class BlankOutcome {
  Skipped,        // switch off, mode "None" or no data: nothing done
  Done,           // stage 7 holds the blanked samples and blanks
  NoSamples,      // nothing but blanks (Warning); switch off
  NoBlanks,       // no usable blank (Warning); switch off
  BlankNotFound,  // a sample has no suitable blank (Message); the stage stays on
  Failed,         // the stage could not be computed (Message); switch off
};

inline constexpr const char* kNoSamplesWarning = "No samples found. All calculated concentrations are zero";
inline constexpr const char* kNoBlanksWarning = "No blanks found. All concentrations are geater than zero.";
inline constexpr const char* kBlankNotFoundText = "Failed to find blank";
inline constexpr const char* kBlankFailedText =
    "An error occurred while Blank correcting the data.\nThe Blank function has been turned off.";

struct BlankResult {
  BlankOutcome Outcome = BlankOutcome::Skipped;
  std::string Warning;       // the warning panel's text; shown when not empty
  bool HideWarning = false;  // the stage hid the panel ("Closest" and "Compound")
  // A message box (OK only) for the caller; none when Message is empty.
  std::string Message;
  std::string Caption;
  MsgIcon Icon = MsgIcon::None;

  // The caller checks "None" (caption "Blank"); stage 7 is already freed.
  bool SwitchOff() const {
    return Outcome == BlankOutcome::NoSamples || Outcome == BlankOutcome::NoBlanks || Outcome == BlankOutcome::Failed;
  }
};

// Computes stage 7 from its source. Does nothing while the experiment's
// Blank switch is off or the mode is "None". Analyte numbers are those of
// the raw curves' descriptions (kept current by the caller).
//
// When a sample has no suitable blank the stage keeps the curves written
// before it (its curve count drops to them; none left frees the stage), so
// no curve of an earlier run or an empty one passes for a result.
BlankResult BlankStage(TExperiment& e, const BlankSettings& s);

// The warning panel's text when the Blank page shows ("" hides it), from the
// samples and usable blanks of the stage's source on the shown flow cells.
// cellShown[flowCell] says whether a flow cell is shown; an empty vector or
// a flow cell past its end counts as shown.
std::string BlankPageWarning(const TExperiment& e, const std::vector<bool>& cellShown);

// What the blanks graph draws of every curve of the stage's source: 0 not
// drawn, 1 a usable blank, 3 a removed blank. Only blanks of shown flow cells
// other than the reference one (referenceCell 0: none) are drawn.
std::vector<int> BlankDisplayColours(const TExperiment& e, int referenceCell, const std::vector<bool>& cellShown);

}  // namespace kelvaris
