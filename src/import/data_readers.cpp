#include "import/data_readers.h"

#include "import/headerless_pair_text.h"
#include "import/flow_cell_labelled_text.h"
#include "import/headed_pair_text.h"
#include "import/keyed_text.h"
#include "import/roi_block_text.h"
#include "import/tagged_text.h"
#include "import/two_channel_text.h"
#include "import/version3_text.h"

namespace kelvaris {

namespace {

bool TaggedEntry(std::string_view bytes, const ReaderOptions&, RawRun& run, ReadMessage& message,
                 const ReadProgress& progress) {
  return ReadTaggedText(bytes, run, message, progress);
}

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
    {DataFormat::HeadedPairText, &ReadHeadedPairText},
    {DataFormat::FlowCellText, &ReadFlowCellLabelledText},
    {DataFormat::Version3Text, &ReadVersion3Text},
    {DataFormat::TwoChannelText, &ReadTwoChannelText},
    {DataFormat::RoiBlockText, &ReadRoiBlockText},
    {DataFormat::TaggedText, &TaggedEntry},
    {DataFormat::KeyedText, &KeyedTextReader},
};

}  // namespace

DataReader ReaderFor(DataFormat format) {
  for (const auto& entry : kReaders)
    if (entry.format == format) return entry.reader;
  return nullptr;
}

}  // namespace kelvaris
