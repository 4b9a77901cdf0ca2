// The kinetic record of one raw curve: nine parameter slots and the
// results of the last fit. The kinetics page owns one per raw curve; the
// fit engine, the model evaluation and the graphs read them.
#pragma once

namespace kelvaris {

struct KineticParameter {
  double value = 0;
  double error = 0;       // standard error of the last fit, else 0
  int linkTarget = 0;     // raw curve whose same slot this one follows
  unsigned char fit = 0;  // nonzero: fitted
  unsigned char linked = 0;
  unsigned char fitSetByUser = 0;
  unsigned char linkSet = 0;
  unsigned char estimate = 0;
  char text[64] = {};     // as shown in the tables, zero-terminated
};

// The slots, in order.
enum KineticSlot : int {
  ksConc = 0,
  ksKm = 1,
  ksKa = 2,
  ksKd = 3,
  ksRmax = 4,
  ksStart = 5,  // injection begin
  ksStop = 6,   // injection end
  ksJump = 7,   // bulk refractive-index jump
  ksA0 = 8,     // response at the start of dissociation
  kKineticSlots = 9,
};

struct TCurveKinetics {
  KineticParameter slot[kKineticSlots];
  double kaKdCovariance = 0;
  double residualSumOfSquares = 0;
  int model = 0;  // 0 none, 1 kd only, 2 ka and kd, 3 km, ka and kd
  int tableRow = 0;
  int pointsUsed = 0;
  int ownFreeParameters = 0;
};

// The record's model at n times; 0 on success. Model 0 is 0 everywhere.
int EvaluateModel(TCurveKinetics& record, const double* times, double* values, int n);

}  // namespace kelvaris
