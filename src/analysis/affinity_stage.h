// The Affinity stage (stage 10): the bound responses of the Bound stage with
// a steady-state isotherm fitted per flow cell. Every analyte measured on a
// flow cell whose fit is on is fitted together with the others: its own KD1,
// optionally a second site (KD2), and Rmax values that are the flow cell's
// shared (global) one or the analyte's own (local). The table layout of the
// stage is in affinity_entries.h.
#pragma once

#include <string>
#include <vector>

namespace kelvaris {

class TExperiment;

inline constexpr const char* kAffinityFailedText =
    "An error occurred while calculating the fit.\nThe Affinity function has been turned off.";
inline constexpr const char* kAffinityNoBoundWarning = "Amount bound not calculated. See Bound page";
inline constexpr const char* kAffinityReferenceWarning = "Reference flow cell";

struct AffinitySettings {
  int SelectedFlowCell = 1;   // the FitFcTab tab's flow cell; the others' points are hidden
  int AnalyteCount = 0;       // rows of the analyte table
  bool ShowAsPercent = false; // "Show as % max"
  int ReferenceCell = 0;      // flow cell number, 0 for none
};

struct AffinityResult {
  // Index = flow cell; "" = none: "Not enough points for fit for
  // flowcell 1.", "More parameters than points in fit for flowcell 1.",
  // "Fit failed for flowcell 1.".
  std::vector<std::string> Warnings;
  // The stage failed: the caller shows Message (caption "Error",
  // exclamation icon) and unchecks FitCheck. Every fit is already off.
  bool Failed = false;
  std::string Message;
  // There is no Bound stage to work from (the page shows
  // kAffinityNoBoundWarning); stage 10 was left alone.
  bool NoBoundStage = false;
};

// Builds stage 10 from stage 9 (on every run, so that the page shows the
// bound responses even without a fit) and fits every flow cell with its
// fit on. The stage's switch follows the flow cells: Switches.Affinity is
// set when some flow cell's fit is on.
AffinityResult RunAffinityStage(TExperiment& e, const AffinitySettings& s);

// The percentage of the flow cell's drug bound to its protein for a
// dissociation constant kd (M); 0 without drug, for a kd that gives no real
// solution, or for a flow cell that does not exist.
double PercentBound(const TExperiment& e, int flowCell, double kd);
// The uncertainty of PercentBound for a KD known to +- error; 0 for kd < 0
// or without an uncertainty (error <= 0).
double PercentBoundError(const TExperiment& e, int flowCell, double kd, double error);

// Whether a point of the flow cell that takes part in the fit reads the
// shared Rmax (so that its box and Fit check mean something).
bool GlobalRmaxInUse(const TExperiment& e, int flowCell);

}  // namespace kelvaris
