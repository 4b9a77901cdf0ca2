#include "import/headed_pair_text.h"

#include "import/pair_rows.h"
#include "import/pair_text_shape.h"
#include "import/text_input.h"

namespace kelvaris {

namespace {

bool IsAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The header cells between TABs that hold at least one letter or digit.
long long CountNamedCells(std::string_view line) {
  long long count = 0;
  bool named = false;
  for (const char c : line) {
    if (c == '\t') {
      count += named ? 1 : 0;
      named = false;
    } else if (IsAsciiLetterOrDigit(c)) {
      named = true;
    }
  }
  return count + (named ? 1 : 0);
}

}  // namespace

bool ReadHeadedPairText(std::string_view bytes, const ReaderOptions&, RawRun& run,
                        ReadMessage& message, const ReadProgress& progress) {
  const std::string_view text = TextPart(bytes);
  PairShape shape;
  if (!MeasurePairShape(text, 0, &CountNamedCells, shape, message)) return false;

  if (!AllocateRawRun(run, shape.curves, shape.rows, message)) return false;
  for (int c = 0; c < run.curves.CurveCount; ++c) run.info[c].Injection = c + 1;
  run.highestFlowCell = 1;
  run.naming = FlowCellNaming::Default;

  TextCursor in(text);
  in.Seek(shape.lineEnd + 1);
  return ReadPairRows(in, run, run.curves.CurveCount, shape.rows, message, progress);
}

}  // namespace kelvaris
