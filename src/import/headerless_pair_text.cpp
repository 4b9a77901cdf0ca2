#include "import/headerless_pair_text.h"

#include <algorithm>
#include <cstring>

#include "import/pair_rows.h"
#include "import/text_input.h"

namespace kelvaris {

bool ReadHeaderlessPairText(std::string_view bytes, RawRun& run, ReadMessage& message,
                            const ReadProgress& progress) {
  const std::string_view text = TextPart(bytes);

  // Shape: the first line's TABs plus its line feed give two per curve.
  const std::size_t lf = text.find('\n');
  if (lf == std::string_view::npos) {
    message = {"Unreadable format", "File Read Error", MsgIcon::None};
    return false;
  }
  const long long separators = std::count(text.begin(), text.begin() + lf, '\t') + 1;
  if (separators % 2 != 0) {
    message = {"Unreadable format", "File Read Error", MsgIcon::None};
    return false;
  }
  const long long curves = separators / 2;
  const long long rows = static_cast<long long>(CountLineFeeds(text));
  if (curves < 1 || rows < 2) {
    message = {"Poorly formated file", "Load Error", MsgIcon::None};
    return false;
  }

  if (!AllocateRawRun(run, curves, rows, message)) return false;
  for (int c = 0; c < run.curves.CurveCount; ++c) run.info[c].Injection = c + 1;
  run.highestFlowCell = 1;
  run.naming = FlowCellNaming::Default;

  TextCursor in(text);
  return ReadPairRows(in, run, static_cast<int>(curves), rows, message, progress);
}

}  // namespace kelvaris
