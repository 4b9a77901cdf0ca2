// What is known about every raw (stage-0) curve, and the per-flow-cell
// records of the ligand list.
#pragma once

#include <string>
#include <vector>

namespace kelvaris {

// The per-curve kinetic fit record; its slots are filled by the kinetics page.
struct TKineticRecord {
  double Values[9] = {};
  double Errors[9] = {};
  int Model = 0;
};

// The solvent reference of an injection (an invalid record until set).
struct TSolventRef {
  bool Valid = false;
  double Value = 0;
};

struct TCurveInfo {
  int FlowCell = 1;          // 1-based; index into the ligand list
  int Injection = 0;         // 1-based injection (cycle) number
  int Analyte = 1;           // 1-based row of the analyte table
  bool AutoInjection = true; // injection time found automatically
  double InjectionTime = 0;  // s
  double CutTime = 0;        // s
  int BlankDisplay = 0;      // scratch colour used by the blanks graph
  int BlankRemoved = 0;      // 1 when the user removed this curve from the blanks
  double Concentration = 0;  // M; 0 blank, -1 solvent standard, -2 not used
  double SampleInterval = 0; // s; smallest positive time step of the raw curve
  int KineticFlags = 0;
  double BoundValue = 0;
  double BoundValue2 = 0;
  int AffinityFlags = 0;
  TKineticRecord KineticRecord;
  TSolventRef SolventRef;
};

// A solvent standard of a flow cell: reference response and correction.
struct TSolventStandard {
  double Reference = 0;  // RU on the reference flow cell
  double Response = 0;   // RU on this flow cell
  int Injection = 0;
  bool Rejected = false;
};

struct TLigand {
  std::string Name;
  std::string SecondName;
  int Colour = 1;
  unsigned char CalcBound = 0;
  int Model = 0;
  double InjectionEnd = 40.0;   // s
  double InjectionBegin = 0;    // s
  unsigned char TimesSet = 0;
  unsigned char FitDone = 0;
  unsigned char FitBegin = 0;
  unsigned char FitEnd = 0;
  unsigned char BeginCommon = 1;
  unsigned char EndCommon = 1;
  float ResidualFraction = 0.2f;
  std::string DrugConcentration = "10uM";
  std::string ProteinConcentration = "680uM";
  unsigned char FitOn = 0;
  unsigned char GlobalRmaxFitted = 1;
  double GlobalRmax = 0;
  double GlobalRmaxError = 0;
  unsigned char AllowLocal = 0;
  std::vector<TSolventStandard> Standards;
  std::vector<double> Coefficients;  // standard curve, lowest power first; empty when none
};

// Instrument kind 3 names flow cells "Ligand n" instead of "Flowcell n".
constexpr int kLigandInstrumentKind = 3;

}  // namespace kelvaris
