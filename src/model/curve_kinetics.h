// The kinetic record of one raw curve: nine parameter slots and the
// results of the last fit. The kinetics page owns one per raw curve; the
// fit engine, the model evaluation and the graphs read them.
#pragma once

#include <string_view>

namespace kelvaris {

struct KineticParameter {
  double value = 0;
  double error = 0;       // standard error of the last fit that reached the covariance step, else 0
  int linkTarget = 0;     // raw curve whose same slot this one follows
  unsigned char fit = 0;  // nonzero: fitted
  unsigned char linked = 0;        // nonzero: the value is copied from the link target before every evaluation
  unsigned char fitSetByUser = 0;  // Fix or Float changed the fit flag
  unsigned char linkSet = 0;       // the user assigned the link
  unsigned char estimate = 0;      // Estimate is to compute a starting value
  char text[64] = {};     // as shown in the tables, zero-terminated

  // Stores at most 63 characters of `shown`, always zero-terminated.
  void SetText(std::string_view shown);
};

// The slots, in order.
enum KineticSlot : int {
  ksConc = 0,   // analyte concentration C (M); never fitted
  ksKm = 1,     // mass-transport coefficient
  ksKa = 2,     // association rate constant, 1/(M·s)
  ksKd = 3,     // dissociation rate constant, 1/s
  ksRmax = 4,   // RU
  ksStart = 5,  // injection begin, s
  ksStop = 6,   // injection end, s
  ksJump = 7,   // bulk refractive-index jump, RU
  ksA0 = 8,     // response at the start of dissociation, RU
  kKineticSlots = 9,
};

struct TCurveKinetics {
  KineticParameter slot[kKineticSlots];
  double kaKdCovariance = 0;        // from the last completed fit, else 0
  double residualSumOfSquares = 0;  // of this curve at the values the last fit or residual statistics left
  int model = 0;  // 0 none, 1 kd only, 2 ka and kd, 3 km, ka and kd
  int tableRow = 0;           // row in the kinetic parameter table; 0 when not listed
  int pointsUsed = 0;         // points at or after the fit start in the last residual statistics
  int ownFreeParameters = 0;  // free parameters of this curve in the last residual statistics
};

// The record's model at n times; 0 on success, else a fit result code.
// Model 0 is 0 everywhere; n < 1 does nothing. The kinetic models replace
// this default; until then a record with a model cannot be evaluated (10).
int EvaluateModel(TCurveKinetics& record, const double* times, double* values, int n);

}  // namespace kelvaris
