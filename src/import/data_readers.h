// The reader of every data format, one entry per format. A format without a
// reader yet has none, and the loader says so.
#pragma once

#include <string_view>

#include "import/format_recognition.h"
#include "import/raw_run.h"

namespace kelvaris {

struct ReaderOptions {
  int columnMask = 1;  // keyed text
  std::string path;    // the file read, for readers that look beside it
};

using DataReader = bool (*)(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                            ReadMessage& message, const ReadProgress& progress);

// The reader for a format, or null when the program cannot read it yet.
DataReader ReaderFor(DataFormat format);

}  // namespace kelvaris
