// The Solvent stage (stage 6): removes the bulk artefact that a sample's
// solvent (DMSO) content leaves after reference subtraction. Solvent
// standards (injections of buffer with slightly different solvent content,
// concentration -1) give, per active flow cell, a standard curve of the
// flow cell's referenced response against the reference flow cell's raw
// response. Every sample curve is lowered during the injection by that
// curve's value at the reference flow cell's response to the sample.
//
// Where the standards live:
//   * Ligands[0].Standards: the reference flow cell's standards; Reference
//     and Response both hold its mean response in the window.
//   * Ligands[v].Standards (v >= 1): flow cell v's standards; Response is
//     its mean referenced response, Reference the paired reference response
//     (NaN when the standard has no partner on the reference flow cell).
//   * Injection is the standard's injection, or -1 for a standard read from
//     a standards file. Rejected mirrors the 0x800 flag of the raw curve of a
//     data standard; for a file standard it is the standard's own mark.
//   * Ligands[v].Coefficients: the fitted standard curve, lowest power
//     first (d + 1 values), empty when the flow cell has no fit.
//   * CurveInfo[c].SolventRef of a reference flow-cell raw curve c: the
//     reference response of its sample injection in the window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/window_system.h"

namespace kelvaris {

class TExperiment;

// The items of the mode group, in order. The index of the two fit modes is
// the polynomial degree.
enum class SolventMode {
  None = 0,
  LinearFit = 1,    // "Linear fit"
  SecondOrder = 2,  // "Second order polynomial"
  File = 3,         // "File": standards read from a standards file
};

struct SolventSettings {
  SolventMode Mode = SolventMode::None;
  int ReferenceCell = 0;               // index of the "Reference" list: flow cell number, 0 for "None"
  std::string_view StartText;          // the "Average from" box, s
  std::string_view StopText;           // the "to" box, s
  std::string_view InjectionEndText;   // the "Inj end" box, s
  bool Despike = false;                // the despike action is checked
};

// A message box for the caller to show; empty Text means none.
struct SolventMessage {
  std::string Text;
  std::string Caption;
  MsgIcon Icon = MsgIcon::None;
  bool Empty() const { return Text.empty(); }
};

inline constexpr const char* kSolventErrorCaption = "DMSO Error";
inline constexpr const char* kNotEnoughStandardsText =
    "Not enough dmso standards found\nCheck concentration entries on Data page";
inline constexpr const char* kSelectReferenceText = "You must first select a reference flow cell";
inline constexpr const char* kEnterInjectionLengthText = "Enter an injection length";
inline constexpr const char* kLineFitErrorText = "Error in DMSO line fit";
inline constexpr const char* kSolventFailedText =
    "An error occurred while DMSO correcting the data.\nThe DMSO function has been turned off.";

// The three window boxes after sanitizing, as they should show. A box
// whose value did not move keeps its text (Changed false).
struct SolventWindow {
  double Start = 0;         // s
  double Stop = 0;          // s
  double InjectionEnd = 0;  // s
  std::string StartText;
  std::string StopText;
  std::string InjectionEndText;
  bool StartChanged = false;
  bool StopChanged = false;
  bool InjectionEndChanged = false;
};

enum class SolventOutcome {
  Skipped,             // switch off, mode "None", no ligands or no data: nothing done
  Done,                // stage 6 holds the corrected sample curves
  NoReferenceCell,     // the "Reference" list says "None": switch off, no message
  NotEnoughStandards,  // no flow cell has 3 standards (Message); switch off
  FitFailed,           // a standard curve could not be fitted (Message); stage 6 left as it was
  Failed,              // the stage could not be computed (Message); switch off
};

struct SolventResult {
  SolventOutcome Outcome = SolventOutcome::Skipped;
  SolventWindow Window;     // computed even when the switch is off
  SolventMessage Message;   // shown by the caller when not empty
  // The standards or their curves changed: repaint the standard graph.
  bool StandardsChanged = false;

  // The caller sets the mode to "None", the caption to "Dmso" and the
  // switch off (stage 6 is already freed).
  bool SwitchOff() const {
    return Outcome == SolventOutcome::NoReferenceCell || Outcome == SolventOutcome::NotEnoughStandards ||
           Outcome == SolventOutcome::Failed;
  }
};

// Sanitizes the three window boxes (always), then, with the Solvent switch
// on and a mode other than "None", computes stage 6 from its source: the
// standards (rebuilt from the data unless the mode is "File"), the standard
// curve of every flow cell, the reference response of every sample
// injection and the corrected sample and blank curves.
SolventResult SolventStage(TExperiment& e, const SolventSettings& s);

// The checks made when the mode group switches the correction on; a
// message means the mode goes back to "None".
struct SolventStartCheck {
  SolventMessage Message;
  bool ShowPageAgain = false;  // the injection length was missing
  bool Ok() const { return Message.Empty(); }
};
SolventStartCheck CheckSolventStart(const TExperiment& e, const SolventSettings& s);

// The polynomial degree a mode fits with: the mode's index for the two fit
// modes, the standards file's degree (1 or 2; 1 when the file gave none) in
// "File" mode, 0 for "None".
int SolventDegree(const TExperiment& e, SolventMode mode);

// The greatest number of solvent standards (concentration -1) on one flow
// cell of the ligand list among the curves of `stage`.
int MostStandardsPerFlowCell(const TExperiment& e, int stage);

// Pairs every file standard of a flow cell (Injection -1) by position with
// the reference flow cell's standards: the k-th takes the k-th reference
// response as its Reference, NaN when the reference has fewer.
void PairFileStandards(TExperiment& e);

// Fits the standard curve of every flow cell from its standards (pairs
// whose flow-cell standard is rejected are left out) and writes its
// coefficients; a flow cell with no more pairs than the degree gets none.
// An empty message when every fit that was attempted succeeded.
SolventMessage FitStandardCurves(TExperiment& e, int degree);

// Rejects standard `index` of flow cell `cell` (>= 1), or brings it back
// when it was rejected, and refits the standard curves. For a data standard
// the mark lives in the 0x800 flag of its raw curve, so it survives the
// rebuilding of the standards. Changed is false when there is no such
// standard. The caller then recomputes the chain from stage 6.
struct StandardToggle {
  bool Changed = false;
  bool Rejected = false;    // the standard's state afterwards
  SolventMessage Message;   // a refit that failed
};
StandardToggle ToggleStandardRejection(TExperiment& e, int cell, int index, int degree);

// The value of a standard curve at x, from its coefficients (lowest power
// first); 0 without any.
double EvaluateStandardCurve(const std::vector<double>& coefficients, double x);

// A least-squares polynomial in the centred and scaled abscissa
// u = (x - Centre) / Scale, which keeps the fit well conditioned whatever
// the size of x.
struct CentredPolynomial {
  int Degree = 0;
  double Centre = 0;
  double Scale = 1;
  double Coefficient[3] = {};  // lowest power of u first

  double operator()(double x) const;
  // The same polynomial in x, lowest power first.
  std::vector<double> PowerCoefficients() const;
};

// Working space FitPolynomial needs for n points of degree d, in doubles.
constexpr int PolynomialWorkSize(int n, int degree) { return n * (degree + 2); }

// The unweighted least-squares polynomial of exactly `degree` (1 or 2)
// through n points, by Householder QR of the centred and scaled
// Vandermonde matrix. False when the points cannot determine it: fewer
// distinct x values than degree + 1, a value that is not finite, or a
// matrix too close to singular. `work` holds PolynomialWorkSize(n, degree).
bool FitPolynomial(const double* x, const double* y, int n, int degree, double* work, CentredPolynomial& out);

}  // namespace kelvaris
