#include "import/roi_block_text.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kelvaris {

namespace {

constexpr std::string_view kHeaderRest = "ime\tROI";  // after the "T"

struct Block {
  std::size_t rowsStart = 0;  // just after the header's CR
  long long columns = 0;      // ROI columns: the TABs of the header
  long long rows = 0;
  long long firstCurve = 0;
};

// A field converted like "%lf" in the C locale: blanks, a sign, digits with
// a point and an exponent; the longest such start counts. Text that does not
// start with a number, or a number no double holds, reads as 0.
double FieldValue(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\v' || s[i] == '\f')) ++i;
  if (i < s.size() && s[i] == '+') ++i;
  double value = 0;
  const auto result = std::from_chars(s.data() + i, s.data() + s.size(), value,
                                      std::chars_format::general);
  if (result.ec != std::errc() || !(value - value == 0)) return 0;  // also no inf or nan
  return value;
}

// The rows of a block, field by field. A field runs up to the next TAB, CR
// or LF and is followed by exactly one character that is skipped; an empty
// field repeats the text of the field before it (in the whole file).
class RowWalker {
 public:
  explicit RowWalker(std::string_view bytes) : bytes_(bytes) {}

  void Seek(std::size_t at) { at_ = at; }
  std::size_t Position() const { return at_; }
  bool AtEnd() const { return at_ >= bytes_.size(); }

  void Field() {
    const std::size_t start = at_;
    while (at_ < bytes_.size() && bytes_[at_] != '\t' && bytes_[at_] != '\r' &&
           bytes_[at_] != '\n')
      ++at_;
    if (at_ > start) text_ = bytes_.substr(start, at_ - start);
    Skip();
  }
  void Skip() {
    if (at_ < bytes_.size()) ++at_;
  }
  double Value() const { return FieldValue(text_); }

  // A row: the time, a response per column, and one more character.
  void SkipRow(long long columns) {
    for (long long k = 0; k <= columns && !AtEnd(); ++k) Field();
    Skip();
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  std::string_view text_;
};

// The lines of the file as CR ends them, and for each the number of lines
// from it up to the first line holding nothing but line feeds.
class CrLines {
 public:
  explicit CrLines(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\r') ends_.push_back(i);
    // Line j runs from the CR ending line j - 1 to its own CR (the last one
    // to the end of the file); one more empty line stands for the end.
    const std::size_t lines = ends_.size() + 1;
    untilEmpty_.assign(lines + 1, 0);
    for (std::size_t j = lines; j-- > 0;) {
      const std::size_t from = j == 0 ? 0 : ends_[j - 1] + 1;
      const std::size_t to = j < ends_.size() ? ends_[j] : bytes.size();
      bool empty = true;
      for (std::size_t i = from; i < to && empty; ++i) empty = bytes[i] == '\n';
      untilEmpty_[j] = empty ? 0 : untilEmpty_[j + 1] + 1;
    }
  }

  // Non-empty lines from the one beginning just after the CR at `cr`.
  long long RowsAfter(std::size_t cr) const {
    const auto it = std::lower_bound(ends_.begin(), ends_.end(), cr);
    return untilEmpty_[static_cast<std::size_t>(it - ends_.begin()) + 1];
  }

 private:
  std::vector<std::size_t> ends_;
  std::vector<long long> untilEmpty_;
};

// Finds the blocks the way the rows are read later: scanning goes on where
// a block's rows end.
std::vector<Block> FindBlocks(std::string_view bytes) {
  std::vector<Block> blocks;
  const CrLines lines(bytes);
  RowWalker walker(bytes);
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes[at++] != 'T') continue;
    if (bytes.substr(at, kHeaderRest.size()) != kHeaderRest) {
      at = std::min(bytes.size(), at + kHeaderRest.size());  // the 7 bytes looked at are passed
      continue;
    }
    const std::size_t headerStart = at - 1;
    const std::size_t cr = bytes.find('\r', headerStart);
    const std::size_t headerEnd = cr == std::string_view::npos ? bytes.size() : cr;
    Block block;
    block.columns = std::count(bytes.begin() + static_cast<std::ptrdiff_t>(headerStart),
                               bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd), '\t');
    block.rowsStart = std::min(bytes.size(), headerEnd + 1);
    block.rows = cr == std::string_view::npos ? 0 : lines.RowsAfter(cr);
    walker.Seek(block.rowsStart);
    for (long long m = 0; m < block.rows && !walker.AtEnd(); ++m) walker.SkipRow(block.columns);
    at = walker.Position();
    blocks.push_back(block);
  }
  return blocks;
}

}  // namespace

bool ReadRoiBlockText(std::string_view bytes, const ReaderOptions&, RawRun& run,
                      ReadMessage& message, const ReadProgress&) {
  std::vector<Block> blocks = FindBlocks(bytes);
  long long curves = 0;
  long long capacity = 1;
  for (Block& block : blocks) {
    block.firstCurve = curves;
    curves += block.columns;
    capacity = std::max(capacity, block.rows);
  }
  if (curves == 0) return true;  // no block with an ROI column: no curves
  curves = std::max(curves, 2 * blocks.front().columns);
  if (!AllocateRawRun(run, curves, capacity, message)) return false;

  TCurveSet& set = run.curves;
  RowWalker walker(bytes);
  int highest = 1;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const Block& block = blocks[b];
    if (block.columns == 0) continue;
    const int first = static_cast<int>(block.firstCurve);
    const int columns = static_cast<int>(block.columns);
    const int rows = static_cast<int>(block.rows);
    const int flowCell = static_cast<int>(b) + 1;
    walker.Seek(block.rowsStart);
    for (int m = 0; m < rows; ++m) {
      walker.Field();
      const double time = walker.Value() * 60;  // minutes
      for (int k = 0; k < columns; ++k) {
        walker.Field();
        set.TimeOf(first + k)[m] = time;
        set.ResponseOf(first + k)[m] = walker.Value();
      }
      walker.Skip();
    }
    for (int k = 0; k < columns; ++k) {
      const int c = first + k;
      set.PointCount[c] = rows;
      TCurveInfo& info = run.info[c];
      info.Injection = k + 1;
      info.FlowCell = flowCell;
      info.Analyte = 1;
      info.SampleInterval = rows >= 2 ? set.TimeOf(c)[1] - set.TimeOf(c)[0] : 0;
    }
    highest = flowCell;
  }
  run.highestFlowCell = highest;
  run.naming = FlowCellNaming::Default;
  return true;
}

}  // namespace kelvaris
