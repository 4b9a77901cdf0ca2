#include "import/format_recognition.h"

#include <cstring>

namespace kelvaris {

namespace {

bool StartsWith(const unsigned char* b, const char* prefix, std::size_t n) {
  return std::memcmp(b, prefix, n) == 0;
}

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

RecognisedFormat RecogniseFormat(std::string_view head) {
  unsigned char b[21] = {};
  std::memcpy(b, head.data(), head.size() < 20 ? head.size() : 20);

  RecognisedFormat r;
  if (StartsWith(b, "Kelvaris", 8)) {
    r.format = DataFormat::MethodFile;
    return r;
  }
  if (b[0] == 'V' && b[8] == '3' && b[6] != '.') {
    r.format = DataFormat::Version3Text;
    r.carriesConcentrations = true;
    return r;
  }
  if (b[0] == 'V' && b[5] == '3' && b[7] == '2') {
    r.format = DataFormat::KeyedText;
    r.carriesConcentrations = true;
    return r;
  }
  if (b[0] == 'V' && b[5] == '3' && (b[7] == '3' || b[7] == '4')) {
    r.format = DataFormat::KeyedText;
    r.carriesConcentrations = true;
    const int m = static_cast<int>(b[8]) - '0';
    const int bits = (m & 1) + ((m >> 1) & 1) + ((m >> 2) & 1);
    r.columnMask = (m >= 1 && m <= 7 && bits >= 2) ? m : 1;
    return r;
  }
  static const unsigned char kCompound[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (std::memcmp(b, kCompound, 8) == 0) {
    r.format = DataFormat::CompoundDocument;
    return r;
  }
  static const unsigned char kXml[] = {0xEF, 0xBB, 0xBF, '<', '?', 'x', 'm', 'l'};
  if (std::memcmp(b, kXml, 8) == 0) {
    r.format = DataFormat::XmlResult;
    return r;
  }
  if (StartsWith(b, "Spot number", 11)) {
    r.format = DataFormat::SpotFolder;
    return r;
  }
  if (StartsWith(b, "Beta 2", 6)) {
    r.format = DataFormat::RoiBlockText;
    return r;
  }
  if (StartsWith(b, "_Data", 5)) {
    r.format = DataFormat::TwoChannelText;
    return r;
  }
  if (StartsWith(b, "<FILEVERSION>", 13)) {
    r.format = DataFormat::TaggedText;
    return r;
  }
  static const unsigned char kZip[] = {0x50, 0x4B, 0x03, 0x04, 0x14};
  if (std::memcmp(b, kZip, 5) == 0) {
    r.format = DataFormat::ZipExport;
    return r;
  }
  // The 20 bytes as a text that ends at the first zero byte.
  const std::size_t len = strnlen(reinterpret_cast<const char*>(b), 20);
  const std::string_view text(reinterpret_cast<const char*>(b), len);
  if (text.find("Fc") != std::string_view::npos || text.find("FC") != std::string_view::npos) {
    r.format = DataFormat::FlowCellText;
    return r;
  }
  for (int i = 0; i < 20; ++i) {
    if (IsAsciiLetter(b[i]) && b[i] != 'E' && b[i] != 'e') {
      r.format = DataFormat::HeadedPairText;
      return r;
    }
  }
  r.format = DataFormat::HeaderlessPairText;
  return r;
}

const char* FormatDescription(DataFormat format) {
  switch (format) {
    case DataFormat::MethodFile: return "method";
    case DataFormat::Version3Text: return "version-3 text";
    case DataFormat::KeyedText: return "keyed text";
    case DataFormat::CompoundDocument: return "compound-document result";
    case DataFormat::XmlResult: return "XML result";
    case DataFormat::SpotFolder: return "spot folder";
    case DataFormat::RoiBlockText: return "ROI block text";
    case DataFormat::TwoChannelText: return "two-channel text";
    case DataFormat::TaggedText: return "tagged text";
    case DataFormat::ZipExport: return "zip export";
    case DataFormat::FlowCellText: return "flow-cell-labelled text";
    case DataFormat::HeadedPairText: return "headed pair-column text";
    case DataFormat::HeaderlessPairText: return "headerless pair-column text";
  }
  return "unknown";
}

}  // namespace kelvaris
