#include "import/keyed_data_rows.h"

#include <string_view>

#include "model/numbers.h"

namespace kelvaris {

namespace {

constexpr int kFieldLimit = 79;  // a field this long has no end in sight

bool IsScanfSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool EndsToken(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool IsLineEnd(const char* p, const char* end) {
  return *p == '\n' || (*p == '\r' && p + 1 < end && p[1] == '\n');
}

// Past the rest of the line and its line feed (a byte 255 ends the text
// when `byte255Ends`).
const char* SkipLine(const char* p, const char* end, bool byte255Ends) {
  while (p != end && *p != '\n') {
    if (byte255Ends && static_cast<unsigned char>(*p) == 255) return p;
    ++p;
  }
  return p == end ? p : p + 1;
}

// A pair read as "time response": a time token at the start, white space,
// a response token.
bool ParsePair(std::string_view s, double& time, double& response) {
  std::size_t i = 0;
  while (i < s.size() && !EndsToken(s[i])) ++i;
  if (i == 0) return false;
  const std::string_view timeText = s.substr(0, i);
  while (i < s.size() && IsScanfSpace(s[i])) ++i;
  const std::size_t start = i;
  while (i < s.size() && !EndsToken(s[i])) ++i;
  if (i == start) return false;
  time = ParseNumber(timeText, 0);
  response = ParseNumber(s.substr(start, i - start), 0);
  return true;
}

void Fail(ReadMessage& message) {
  message = {"Unreadable format", "File Read Error", MsgIcon::None};
}

enum class FieldEnd { Tab, Line, TooLong };

// One cell of the several-columns form: up to and including a TAB, or up to
// a line feed (consumed) or the end of the text. `token` is the cell's first
// token, empty when it has none.
FieldEnd ReadField(const char*& p, const char* end, std::string_view& token) {
  const char* const start = p;
  FieldEnd how = FieldEnd::Line;
  for (;;) {
    if (p == end) break;
    if (IsLineEnd(p, end)) break;
    if (*p == '\t') {
      how = FieldEnd::Tab;
      break;
    }
    if (++p - start >= kFieldLimit) return FieldEnd::TooLong;
  }
  const char* t = start;
  while (t != p && *t == ' ') ++t;
  const char* e = t;
  while (e != p && *e != ' ') ++e;
  token = std::string_view(t, static_cast<std::size_t>(e - t));
  if (p != end) p += (*p == '\r') ? 2 : 1;  // past the TAB or the line end
  return how;
}

}  // namespace

int ResponseBit(int mask) {
  for (int bit : {1, 2, 4})
    if (mask & bit) return bit;
  return 0;
}

bool ReadKeyedPairRows(TextCursor& in, RawRun& run, long long rows, ReadMessage& message,
                       const ReadProgress& progress) {
  TCurveSet& set = run.curves;
  ProgressSteps steps(progress, rows);
  const std::string_view text = in.Text();
  const char* p = text.data() + in.Position();
  const char* const end = text.data() + text.size();
  for (long long row = 0; row < rows; ++row) {
    bool rowEnded = false;
    for (int c = 0; c < set.CurveCount && !rowEnded; ++c) {
      const char* const start = p;
      int tabs = 0;
      bool secondTab = false;
      for (;;) {
        if (p == end || static_cast<unsigned char>(*p) == 255) break;
        if (IsLineEnd(p, end)) break;
        if (*p == '\t' && ++tabs == 2) {
          secondTab = true;
          break;
        }
        if (++p - start >= kFieldLimit) {
          in.Seek(static_cast<std::size_t>(p - text.data()));
          Fail(message);
          return false;
        }
      }
      const std::string_view pair(start, static_cast<std::size_t>(p - start));
      if (secondTab) {
        ++p;
      } else {
        rowEnded = true;
        if (p != end && static_cast<unsigned char>(*p) != 255) p += (*p == '\r') ? 2 : 1;
      }
      double time = 0, response = 0;
      if (ParsePair(pair, time, response) && set.PointCount[c] < set.Capacity)
        set.Append(c, time, response, 0, set.PointCount[c]);
    }
    // Cells beyond the last curve belong to no curve, not to the next row.
    if (!rowEnded) p = SkipLine(p, end, true);
    steps.At(row);
  }
  in.Seek(static_cast<std::size_t>(p - text.data()));
  return true;
}

bool ReadKeyedColumnRows(TextCursor& in, RawRun& run, int mask, long long rows,
                         ReadMessage& message, const ReadProgress& progress) {
  TCurveSet& set = run.curves;
  const int responseBit = ResponseBit(mask);
  ProgressSteps steps(progress, rows);
  const std::string_view text = in.Text();
  const char* p = text.data() + in.Position();
  const char* const end = text.data() + text.size();
  auto tooLong = [&] {
    in.Seek(static_cast<std::size_t>(p - text.data()));
    Fail(message);
    return false;
  };
  for (long long row = 0; row < rows; ++row) {
    bool rowEnded = false;
    for (int c = 0; c < set.CurveCount && !rowEnded; ++c) {
      std::string_view token;
      FieldEnd how = ReadField(p, end, token);
      if (how == FieldEnd::TooLong) return tooLong();
      if (how == FieldEnd::Line) {
        rowEnded = true;  // a time without columns gives no point
        break;
      }
      const bool hasTime = !token.empty();
      const double time = hasTime ? ParseNumber(token, 0) : 0;
      for (int bit : {1, 2, 4}) {
        if (!(mask & bit)) continue;
        how = ReadField(p, end, token);
        if (how == FieldEnd::TooLong) return tooLong();
        if (bit == responseBit && hasTime && !token.empty() && set.PointCount[c] < set.Capacity)
          set.Append(c, time, ParseNumber(token, 0), 0, set.PointCount[c]);
        if (how == FieldEnd::Line) {
          rowEnded = true;
          break;
        }
      }
    }
    if (!rowEnded) p = SkipLine(p, end, false);
    steps.At(row);
  }
  in.Seek(static_cast<std::size_t>(p - text.data()));
  return true;
}

}  // namespace kelvaris
