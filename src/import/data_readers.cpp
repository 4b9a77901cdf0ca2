#include "import/data_readers.h"

#include "import/headerless_pair_text.h"

namespace kelvaris {

namespace {

bool HeaderlessEntry(std::string_view bytes, const ReaderOptions&, RawRun& run, ReadMessage& message,
                     const ReadProgress& progress) {
  return ReadHeaderlessPairText(bytes, run, message, progress);
}

struct ReaderEntry {
  DataFormat format;
  DataReader reader;
};

constexpr ReaderEntry kReaders[] = {
    {DataFormat::HeaderlessPairText, &HeaderlessEntry},
};

}  // namespace

DataReader ReaderFor(DataFormat format) {
  for (const auto& entry : kReaders)
    if (entry.format == format) return entry.reader;
  return nullptr;
}

}  // namespace kelvaris
