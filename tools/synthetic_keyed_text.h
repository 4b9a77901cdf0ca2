// Synthetic runs in the keyed text layout the result export writes: the
// version line, the key rows "Conc1", "Analyte1", "Start1", "Stop1",
// "Channel", "Ligand", then the column header and the rows. Curve k of the
// shape is curve k of the file (flow cell 1, concentration
// ConcentrationOf(shape, k)), its points at times i * step.
#pragma once

#include <string>

#include "synthetic_run.h"

namespace kelvaris::synth {

// "Vers 3.41 Data" with a time and a data column per curve; with
// `withSimulation` "Vers 3.43 Data Simulation" and a third column holding
// the noise-free response.
std::string KeyedText(const RunShape& shape, bool withSimulation);

}  // namespace kelvaris::synth
