#include "import/pair_text_shape.h"

#include <algorithm>

#include "import/text_input.h"

namespace kelvaris {

long long CountSeparators(std::string_view line) {
  return static_cast<long long>(std::count(line.begin(), line.end(), '\t')) + 1;
}

void SetUnreadableFormat(ReadMessage& message) {
  message = {"Unreadable format", "File Read Error", MsgIcon::None};
}

bool MeasurePairShape(std::string_view text, std::size_t from, ColumnCounter columns,
                      PairShape& shape, ReadMessage& message) {
  const std::size_t lf = from <= text.size() ? text.find('\n', from) : std::string_view::npos;
  if (lf == std::string_view::npos) {
    SetUnreadableFormat(message);
    return false;
  }
  const long long count = columns(text.substr(from, lf - from));
  if (count % 2 != 0) {
    SetUnreadableFormat(message);
    return false;
  }
  shape.curves = count / 2;
  shape.rows = static_cast<long long>(CountLineFeeds(text.substr(lf + 1)));
  shape.lineEnd = lf;
  if (shape.curves < 1 || shape.rows < 2) {
    message = {"Poorly formated file", "Load Error", MsgIcon::None};
    return false;
  }
  return true;
}

}  // namespace kelvaris
