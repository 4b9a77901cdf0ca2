#include "import/flow_cell_labelled_text.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

#include "import/pair_rows.h"
#include "import/pair_text_shape.h"

namespace kelvaris {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Digits accumulated without overflow: past `limit` the value stays there.
long long ReadDigits(std::string_view s, std::size_t& at, long long limit) {
  long long value = 0;
  while (at < s.size() && IsDigit(s[at])) {
    value = std::min(limit, value * 10 + (s[at] - '0'));
    ++at;
  }
  return value;
}

// Reads the labels of the header line (without its line feed) into the
// curves' flow cells and injections. False when a flow cell is out of range.
bool ReadLabels(std::string_view header, RawRun& run) {
  std::unordered_map<int, int> ranks;  // cycle number -> rank by first appearance
  int cycle = 0;            // a label without a number keeps the one before
  std::size_t at = 0;
  for (int c = 0; c < run.curves.CurveCount; ++c) {
    // The first "=" lies in the X label, the second in the Y label.
    for (int k = 0; k < 2; ++k) {
      const std::size_t eq = header.find('=', at);
      if (eq == std::string_view::npos) return true;  // the labels are done
      at = eq + 1;
    }
    const long long flowCell = ReadDigits(header, at, kMaxLabelledFlowCell + 1LL);
    if (flowCell > kMaxLabelledFlowCell) return false;
    // The character after the digits and the one after it (" -") are
    // skipped; then comes the cycle number.
    at = std::min(header.size(), at + 2);
    while (at < header.size() && IsBlank(header[at])) ++at;
    std::size_t digits = at;
    bool negative = false;
    if (digits < header.size() && (header[digits] == '-' || header[digits] == '+'))
      negative = header[digits++] == '-';
    if (digits < header.size() && IsDigit(header[digits])) {
      at = digits;
      const long long magnitude = ReadDigits(header, at, static_cast<long long>(INT_MAX) + 1);
      cycle = static_cast<int>(negative ? -magnitude : std::min<long long>(magnitude, INT_MAX));
    }
    const auto rank = ranks.try_emplace(cycle, static_cast<int>(ranks.size()) + 1).first;
    run.info[c].FlowCell = static_cast<int>(flowCell);
    run.info[c].Injection = rank->second;
  }
  return true;
}

}  // namespace

bool ReadFlowCellLabelledStream(TextCursor& in, RawRun& run, ReadMessage& message,
                                const ReadProgress& progress) {
  // Empty lines before the header are passed over, and so is the header's
  // first character.
  while (in.Peek() == '\n') in.Get();
  if (in.Get() == TextCursor::kEnd) {
    SetUnreadableFormat(message);
    return false;
  }
  const std::string_view text = in.Text();
  const std::size_t headerStart = in.Position();
  PairShape shape;
  if (!MeasurePairShape(text, headerStart, &CountSeparators, shape, message)) return false;

  if (!AllocateRawRun(run, shape.curves, shape.rows, message)) return false;
  if (!ReadLabels(text.substr(headerStart, shape.lineEnd - headerStart), run)) {
    SetUnreadableFormat(message);
    return false;
  }
  int highest = 0;
  for (const TCurveInfo& info : run.info) highest = std::max(highest, info.FlowCell);
  if (highest >= 1) {
    run.highestFlowCell = highest;
    run.naming = FlowCellNaming::Default;
  }

  in.Seek(shape.lineEnd + 1);
  return ReadPairRows(in, run, run.curves.CurveCount, shape.rows, message, progress);
}

bool ReadFlowCellLabelledText(std::string_view bytes, const ReaderOptions&, RawRun& run,
                              ReadMessage& message, const ReadProgress& progress) {
  TextCursor in(TextPart(bytes));
  return ReadFlowCellLabelledStream(in, run, message, progress);
}

}  // namespace kelvaris
