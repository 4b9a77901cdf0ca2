// Keyed text: a version line, key rows describing the curves ("Conc",
// "Cycl", "Chan", "Liga", "Flow", ...), a column header line beginning with
// "Time", and rows of time and response columns. The program's own export
// of result sensorgrams writes it ("Vers 3.41 Data" with one data column
// per curve, "Vers 3.43 Data Simulation" with a simulation column as well).
#pragma once

#include <string_view>

#include "import/data_readers.h"
#include "import/raw_run.h"

namespace kelvaris {

// Flow-cell and injection numbers a "Chan" or "Cycl" row may give; a number
// outside these ranges makes the row unreadable. They keep the ligand list
// and the sample table the loader builds from them within reason.
constexpr int kMaxKeyedFlowCell = 1000;
constexpr int kMaxKeyedInjection = 100000;

// One response column per curve: the header holds a time and a response
// column per curve.
bool ReadKeyedText(std::string_view bytes, RawRun& run, ReadMessage& message,
                   const ReadProgress& progress);

// Several columns per curve: after each time column one column for each
// bit 1 (data), 2 (simulation), 4 (third column) set in `columnMask`; the
// response is taken from the lowest of them.
bool ReadKeyedMultiColumnText(std::string_view bytes, int columnMask, RawRun& run,
                              ReadMessage& message, const ReadProgress& progress);

// The reader of DataFormat::KeyedText: several columns per curve when the
// mask has at least two of its three lowest bits set (as the recognition
// hands it over), one column otherwise.
bool KeyedTextReader(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                     ReadMessage& message, const ReadProgress& progress);

}  // namespace kelvaris
