#include "import/version3_text.h"

#include "import/pair_rows.h"
#include "import/pair_text_shape.h"
#include "import/text_input.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool EndsToken(char c) { return c == ' ' || c == '\t'; }

// The next token of the line after any blanks; empty when the line is done.
std::string_view NextToken(std::string_view line, std::size_t& at) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  const std::size_t start = at;
  while (at < line.size() && !EndsToken(line[at])) ++at;
  return line.substr(start, at - start);
}

}  // namespace

bool ReadVersion3Text(std::string_view bytes, const ReaderOptions&, RawRun& run,
                      ReadMessage& message, const ReadProgress& progress) {
  const std::string_view text = TextPart(bytes);

  // The version line and the two lines after it are passed over.
  std::size_t lineStart = 0;
  for (int line = 0; line < 3; ++line) {
    const std::size_t lf = text.find('\n', lineStart);
    if (lf == std::string_view::npos) {
      SetUnreadableFormat(message);
      return false;
    }
    lineStart = lf + 1;
  }
  // The column line: its first character is not looked at.
  TextCursor in(text);
  in.Seek(lineStart);
  if (in.Get() == TextCursor::kEnd) {
    SetUnreadableFormat(message);
    return false;
  }
  PairShape shape;
  if (!MeasurePairShape(text, in.Position(), &CountSeparators, shape, message)) return false;

  if (!AllocateRawRun(run, shape.curves, shape.rows, message)) return false;
  for (int c = 0; c < run.curves.CurveCount; ++c) run.info[c].Injection = c + 1;
  run.highestFlowCell = 1;
  run.naming = FlowCellNaming::Default;
  run.carriesConcentrations = true;

  // The concentration line: a label and a value for every curve. With two
  // rows at least, its line feed is there.
  in.Seek(shape.lineEnd + 1);
  const std::size_t concentrationEnd = text.find('\n', in.Position());
  const std::string_view line = in.ReadLine();
  std::size_t at = 0;
  for (int c = 0; c < run.curves.CurveCount; ++c) {
    const std::string_view label = NextToken(line, at);
    const std::string_view value = NextToken(line, at);
    if (label.empty() || value.empty()) {
      SetUnreadableFormat(message);
      return false;
    }
    run.info[c].Concentration = ParseNumber(value, 0);
  }

  // The rows start at the concentration line's line feed: that first row is
  // empty and gives no point.
  in.Seek(concentrationEnd);
  return ReadPairRows(in, run, run.curves.CurveCount, shape.rows, message, progress);
}

}  // namespace kelvaris
