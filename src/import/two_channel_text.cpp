#include "import/two_channel_text.h"

#include "import/pair_rows.h"
#include "import/pair_text_shape.h"
#include "import/text_input.h"

namespace kelvaris {

bool ReadTwoChannelText(std::string_view bytes, const ReaderOptions&, RawRun& run,
                        ReadMessage& message, const ReadProgress& progress) {
  const std::string_view text = TextPart(bytes);
  TextCursor in(text);
  // The line's first character is passed over unseen; the separators of
  // the rest of it give the columns.
  if (in.Get() == TextCursor::kEnd) {
    SetUnreadableFormat(message);
    return false;
  }
  PairShape shape;
  if (!MeasurePairShape(text, in.Position(), &CountSeparators, shape, message)) return false;

  if (!AllocateRawRun(run, shape.curves, shape.rows, message)) return false;
  for (int c = 0; c < run.curves.CurveCount; ++c) {
    run.info[c].FlowCell = c % 2 == 0 ? 1 : 2;
    run.info[c].Injection = c / 2 + 1;
  }
  run.highestFlowCell = 2;
  run.naming = FlowCellNaming::Default;

  in.Seek(shape.lineEnd + 1);
  return ReadPairRows(in, run, run.curves.CurveCount, shape.rows, message, progress);
}

}  // namespace kelvaris
