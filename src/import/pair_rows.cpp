#include "import/pair_rows.h"

#include <cstdint>
#include <string_view>

#include "model/numbers.h"

namespace kelvaris {

namespace {

constexpr int kPairLimit = 79;  // a pair this long has no end in sight

bool IsScanfSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool EndsToken(char c) { return c == ' ' || c == '\t' || c == '\n'; }

struct Field {
  double time = 0;
  double response = 0;
  TPointFlags flags = 0;
};

// The pair text matched against "time response" or "time response:flags".
bool ParsePair(std::string_view s, Field& out) {
  std::size_t i = 0;
  const std::size_t timeStart = i;
  while (i < s.size() && !EndsToken(s[i])) ++i;
  if (i == timeStart) return false;
  const std::string_view timeText = s.substr(timeStart, i - timeStart);
  while (i < s.size() && IsScanfSpace(s[i])) ++i;

  const bool colonForm = s.find(':') != std::string_view::npos;
  std::string_view responseText;
  if (colonForm) {
    const std::size_t respStart = i;
    while (i < s.size() && s[i] != ':') ++i;
    if (i == respStart || i >= s.size()) return false;
    responseText = s.substr(respStart, i - respStart);
    ++i;  // the colon
    while (i < s.size() && IsScanfSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    const std::size_t digits = i;
    std::uint64_t value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      value = value * 10 + static_cast<unsigned>(s[i] - '0');
      if (value > 0xffffffffULL) value &= 0xffffffffULL;
      ++i;
    }
    if (i == digits) return false;
    const auto word = static_cast<std::uint32_t>(value);
    out.flags = negative ? static_cast<TPointFlags>(0u - word) : word;
  } else {
    const std::size_t respStart = i;
    while (i < s.size() && !EndsToken(s[i])) ++i;
    if (i == respStart) return false;
    responseText = s.substr(respStart, i - respStart);
    out.flags = 0;
  }
  out.time = ParseNumber(timeText, 0);
  out.response = ParseNumber(responseText, 0);
  return true;
}

}  // namespace

bool ReadPairRows(TextCursor& in, RawRun& run, int curves, long long rows, ReadMessage& message,
                  const ReadProgress& progress) {
  TCurveSet& set = run.curves;
  if (curves > set.CurveCount) curves = set.CurveCount;
  ProgressSteps steps(progress, rows);
  // Walk the bytes directly; a CR just before a LF is read as the LF.
  const std::string_view text = in.Text();
  const char* p = text.data() + in.Position();
  const char* const end = text.data() + text.size();
  bool atEnd = false;
  for (long long row = 0; row < rows; ++row) {
    for (int c = 0; c < curves; ++c) {
      const char* const start = p;
      int tabs = 0;
      char stop = 0;
      for (;;) {
        if (p == end || static_cast<unsigned char>(*p) == 255) {
          atEnd = true;
          break;
        }
        const char ch = *p;
        if (ch == '\n' || (ch == '\r' && p + 1 < end && p[1] == '\n')) {
          stop = '\n';
          break;
        }
        if (ch == '\t' && ++tabs == 2) {
          stop = '\t';
          break;
        }
        if (++p - start >= kPairLimit) {
          in.Seek(static_cast<std::size_t>(p - text.data()));
          message = {"Unreadable format", "File Read Error", MsgIcon::None};
          return false;
        }
      }
      const std::string_view pair(start, static_cast<std::size_t>(p - start));
      if (!atEnd) p += (*p == '\r') ? 2 : 1;  // past the stopping character
      Field field;
      if (ParsePair(pair, field) && set.PointCount[c] < set.Capacity) {
        const int k = set.PointCount[c];
        set.Append(c, field.time, field.response, field.flags, k);
      }
      if (stop != '\t') break;  // the row ended here; later curves get nothing
    }
    steps.At(row);
  }
  in.Seek(static_cast<std::size_t>(p - text.data()));
  return true;
}

}  // namespace kelvaris
