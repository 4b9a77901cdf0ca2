// Sets the experiment's Busy flag for a change the program makes itself, so
// that the controls' handlers stay silent, and restores it afterwards.
#pragma once

#include "model/experiment.h"

namespace kelvaris {

class BusyScope {
 public:
  explicit BusyScope(TExperiment& e) : e_(e), was_(e.Busy) { e_.Busy = true; }
  ~BusyScope() { e_.Busy = was_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TExperiment& e_;
  bool was_;
};

}  // namespace kelvaris
