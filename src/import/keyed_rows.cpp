#include "import/keyed_rows.h"

#include <algorithm>
#include <string_view>

#include "model/numbers.h"

namespace kelvaris {

namespace {

enum class Skip { Tab, LineEnd, TextEnd };

// Moves past the next TAB; stops in front of a line feed or at the end.
Skip SkipPastTab(TextCursor& in) {
  for (;;) {
    const int ch = in.Peek();
    if (ch == TextCursor::kEnd) return Skip::TextEnd;
    if (ch == '\n') return Skip::LineEnd;
    in.Get();
    if (ch == '\t') return Skip::Tab;
  }
}

bool EndsValueToken(int ch) {
  return ch == TextCursor::kEnd || ch == ' ' || ch == '\t' || ch == '\n';
}
bool EndsNameToken(int ch) { return ch == TextCursor::kEnd || ch == '\t' || ch == '\n'; }

// The characters from the cursor up to (not including) the first one that
// `ends` accepts. Line ends are read through the cursor, so a CR of CR LF
// never becomes part of a token.
template <typename Ends>
std::string_view ReadToken(TextCursor& in, Ends ends) {
  const std::size_t start = in.Position();
  while (!ends(in.Peek())) in.Get();
  return in.Text().substr(start, in.Position() - start);
}

}  // namespace

bool ReadKeyedValues(TextCursor& in, int count, std::span<double> destination) {
  const Skip first = SkipPastTab(in);
  if (first == Skip::LineEnd) return true;
  if (first == Skip::TextEnd) return false;
  for (int i = 0; i < count; ++i) {
    if (in.AtEnd()) return false;
    const std::string_view token = ReadToken(in, EndsValueToken);
    if (token.empty()) return true;  // a blank cell ends the values
    if (static_cast<std::size_t>(i) < destination.size()) {
      const double v = ParseNumber(token, 0);
      if (v != 0) destination[static_cast<std::size_t>(i)] = v;
    }
    if (SkipPastTab(in) != Skip::Tab) return true;
  }
  return true;
}

bool ReadKeyedWholeNumbers(TextCursor& in, int count, std::span<int> destination, int lowest,
                           int highest) {
  const Skip first = SkipPastTab(in);
  if (first == Skip::LineEnd) return true;
  if (first == Skip::TextEnd) return false;
  for (int i = 0; i < count; ++i) {
    while (in.Peek() == ' ') in.Get();
    int ch = in.Peek();
    if (ch == TextCursor::kEnd) return false;
    if (ch == '\t' || ch == '\n') return true;  // a blank cell ends the values
    bool negative = false;
    if (ch == '-' || ch == '+') {
      negative = in.Get() == '-';
      ch = in.Peek();
    }
    if (ch < '0' || ch > '9') return false;
    // Digits beyond any allowed range only need to stay out of it.
    long long value = 0;
    while ((ch = in.Peek()) >= '0' && ch <= '9') {
      in.Get();
      if (value < 1'000'000'000'000LL) value = value * 10 + (ch - '0');
    }
    if (negative) value = -value;
    if (value < lowest || value > highest) return false;
    if (static_cast<std::size_t>(i) < destination.size())
      destination[static_cast<std::size_t>(i)] = static_cast<int>(value);
    if (SkipPastTab(in) != Skip::Tab) return true;
  }
  return true;
}

bool ReadKeyedNames(TextCursor& in, std::span<const TCurveInfo> curves, int entries,
                    std::vector<std::string>& names) {
  const Skip first = SkipPastTab(in);
  if (first == Skip::LineEnd) return true;
  if (first == Skip::TextEnd) return false;
  for (const TCurveInfo& curve : curves) {
    if (in.AtEnd()) return false;
    const std::string_view token = ReadToken(in, EndsNameToken);
    if (token.empty()) return true;  // a blank cell ends the names
    const int f = curve.FlowCell;
    if (f > 0 && f < entries) {
      if (names.size() < static_cast<std::size_t>(entries))
        names.resize(static_cast<std::size_t>(entries));
      names[static_cast<std::size_t>(f)] = std::string(token);
    }
    if (in.Peek() != '\t') return true;
    in.Get();
  }
  return true;
}

}  // namespace kelvaris
