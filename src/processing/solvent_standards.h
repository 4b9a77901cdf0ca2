// Solvent standards read from a method file: its reference flow cell, its
// solvent window and fit kind, and the "Standards:" block with one list of
// standard responses per entry of the ligand list.
#pragma once

#include <string>
#include <string_view>

#include "processing/solvent_stage.h"

namespace kelvaris {

class TExperiment;

inline constexpr const char* kStandardsErrorCaption = "Load Standards Error";
inline constexpr const char* kCouldNotOpenStandardsText = "Could not open standards file";
inline constexpr const char* kNoStandardsText = "No DMSO standards in that file";
inline constexpr const char* kWrongReferenceText = "Wrong reference cell in that file";

struct StandardsFile {
  bool Ok = false;
  SolventMessage Message;  // why the file was refused

  // What the file holds besides the standards, for the page's boxes.
  int ReferenceCell = 0;      // the file's "Reference:" line, 0 without one
  bool HasSource = false;     // a "DMSOSource:" line: the file box gets SourceText, mode "File"
  std::string SourceText;
  bool HasWindow = false;     // a "DMSO:" line: "Average from" and "to" get its first two fields
  std::string StartText;
  std::string StopText;
  int Degree = 0;             // 1 "linear", 2 otherwise; 0 when the line has no fit kind
};

// The message for a standards file that cannot be opened.
StandardsFile CouldNotOpenStandards();

// Reads the standards from a method file's bytes for the flow cell
// selected as reference (`referenceCell`). When the file is accepted, every
// entry's standard list is replaced by the file's (entries the file has no
// count for are emptied), every standard curve is released, and the file's
// degree, when it gives one, becomes the experiment's SolventDegree. A file
// without a complete "Standards:" block, or written for another reference
// flow cell, is refused with its message and changes nothing.
StandardsFile LoadStandards(TExperiment& e, std::string_view bytes, int referenceCell);

}  // namespace kelvaris
