// Which reader a file needs, decided from its first 20 bytes. The whole
// recognition table lives here, in the order its rules are tried.
#pragma once

#include <string_view>

namespace kelvaris {

enum class DataFormat {
  MethodFile,
  Version3Text,
  KeyedText,        // one response column, or several per curve (see mask)
  CompoundDocument,
  XmlResult,
  SpotFolder,
  RoiBlockText,
  TwoChannelText,
  TaggedText,
  ZipExport,
  FlowCellText,
  HeadedPairText,
  HeaderlessPairText,
};

struct RecognisedFormat {
  DataFormat format = DataFormat::HeaderlessPairText;
  int columnMask = 1;                 // keyed text: which columns each curve has
  bool carriesConcentrations = false; // version-3 and keyed text
};

// At least 20 bytes are expected; fewer are read as if padded with zeros.
RecognisedFormat RecogniseFormat(std::string_view head);

// A short description for messages ("tagged text").
const char* FormatDescription(DataFormat format);

}  // namespace kelvaris
