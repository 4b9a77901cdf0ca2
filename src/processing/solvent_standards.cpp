#include "processing/solvent_standards.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "model/experiment.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

// Method files are text: a byte 1A ends them.
std::string_view TextPart(std::string_view bytes) {
  const std::size_t end = bytes.find('\x1a');
  return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Lines of the text, without their line feed (and a CR before it).
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end < text_.size() ? end + 1 : end;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  // Where the next line starts.
  std::size_t Position() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// 100 x d9 + 10 x d11 + d12 from the header line ("Kelvaris 2.00 Method
// File" gives 200); a character that is not a digit counts as 0.
int FileVersion(std::string_view header) {
  auto digit = [&](std::size_t i) { return i < header.size() && IsDigit(header[i]) ? header[i] - '0' : 0; };
  return 100 * digit(9) + 10 * digit(11) + digit(12);
}

// The value of a "key: value" line starts two characters after the colon.
std::string_view ValueOf(std::string_view line) {
  const std::size_t at = line.find(':') + 2;
  return at < line.size() ? line.substr(at) : std::string_view();
}

bool StartsWith(std::string_view line, std::string_view key) { return line.substr(0, key.size()) == key; }

// A whole number at the start of the text (after blanks); 0 without one.
int LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long n = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) n = std::min<long long>(n * 10 + (text[i] - '0'), 1LL << 31);
  if (n > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(negative ? -n : n);
}

// The fields of a window line: TAB-separated since version 1.10, ", "
// before.
std::vector<std::string_view> WindowFields(std::string_view value, int version) {
  const std::string_view separator = version >= 110 ? "\t" : ", ";
  std::vector<std::string_view> fields;
  while (fields.size() < 3) {
    const std::size_t at = value.find(separator);
    fields.push_back(value.substr(0, at));
    if (at == std::string_view::npos) break;
    value.remove_prefix(at + separator.size());
  }
  return fields;
}

// The counts of the "Standards:" line: every run of digits is one, up to
// one per entry. A count that the rest of the file could not hold (each
// value takes at least two characters) is refused.
bool ReadCounts(std::string_view value, std::size_t entries, std::size_t room, std::vector<std::size_t>& counts) {
  counts.assign(entries, 0);
  std::size_t i = 0, entry = 0;
  while (entry < entries && i < value.size()) {
    if (!IsDigit(value[i])) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    for (; i < value.size() && IsDigit(value[i]); ++i) {
      n = n * 10 + static_cast<std::size_t>(value[i] - '0');
      if (n > room) return false;
    }
    counts[entry++] = n;
  }
  return true;
}

// One standard of the block: a token up to a blank or a rejection mark
// "*", which follows the value directly. False at the end of the text or
// for a token that is not a number.
bool ReadStandard(std::string_view text, std::size_t& pos, double& value, bool& rejected) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '*') ++pos;
  if (pos == start) return false;
  rejected = pos < text.size() && text[pos] == '*';
  if (rejected) ++pos;
  value = ParseNumber(text.substr(start, pos - start - (rejected ? 1 : 0)), std::nan(""));
  return std::isfinite(value);
}

StandardsFile Refuse(StandardsFile& file, const char* text) {
  file.Ok = false;
  file.Message = {text, kStandardsErrorCaption, MsgIcon::None};
  return std::move(file);
}

}  // namespace

StandardsFile CouldNotOpenStandards() {
  StandardsFile file;
  return Refuse(file, kCouldNotOpenStandardsText);
}

StandardsFile LoadStandards(TExperiment& e, std::string_view bytes, int referenceCell) {
  StandardsFile file;
  const std::string_view text = TextPart(bytes);
  LineReader lines(text);
  const std::size_t entries = e.Ligands.size();
  std::vector<std::vector<TSolventStandard>> lists(entries);
  int version = 0;
  bool first = true, standardsRead = false;
  std::string_view line;
  while (!standardsRead && lines.Next(line)) {
    if (first) version = FileVersion(line);
    first = false;
    if (line.find(':') == std::string_view::npos) continue;
    const std::string_view value = ValueOf(line);
    if (StartsWith(line, "Refe")) {
      file.ReferenceCell = LeadingNumber(value);
    } else if (StartsWith(line, "DMSOSource")) {
      file.HasSource = true;
      file.SourceText = value;
    } else if (StartsWith(line, "DMSO")) {
      const std::vector<std::string_view> fields = WindowFields(value, version);
      if (fields.size() >= 2) {
        file.HasWindow = true;
        file.StartText = fields[0];
        file.StopText = fields[1];
      }
      if (fields.size() >= 3) file.Degree = !fields[2].empty() && fields[2][0] == 'l' ? 1 : 2;
    } else if (StartsWith(line, "Stan")) {
      std::size_t pos = lines.Position();
      std::vector<std::size_t> counts;
      if (!ReadCounts(value, entries, (text.size() - pos) / 2 + 1, counts)) return Refuse(file, kNoStandardsText);
      for (std::size_t i = 0; i < entries; ++i) {
        lists[i].reserve(counts[i]);
        for (std::size_t k = 0; k < counts[i]; ++k) {
          double response = 0;
          bool rejected = false;
          // A block that ends early or holds something else is no block.
          if (!ReadStandard(text, pos, response, rejected)) return Refuse(file, kNoStandardsText);
          lists[i].push_back({response, response, -1, rejected});
        }
      }
      standardsRead = true;
    }
  }
  if (!standardsRead) return Refuse(file, kNoStandardsText);
  if (file.ReferenceCell == 0 || file.ReferenceCell != referenceCell) return Refuse(file, kWrongReferenceText);

  for (std::size_t i = 0; i < entries; ++i) {
    e.Ligands[i].Standards = std::move(lists[i]);
    e.Ligands[i].Coefficients.clear();
  }
  PairFileStandards(e);
  if (file.Degree != 0) e.SolventDegree = file.Degree;
  file.Ok = true;
  return file;
}

}  // namespace kelvaris
