#include "analysis/fit_control.h"

#include <charconv>
#include <cstddef>

// Numbers go through std::to_chars / std::from_chars: the C library routines
// follow setlocale(), and the method file always carries '.'.

namespace kelvaris {

namespace {

void PutScientific(std::string& out, double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 3);
  if (r.ec == std::errc()) out.append(buf, r.ptr);
}

void PutInt(std::string& out, int value) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

// Reads blank-separated numbers one after the other, as the "%lf %d" formats
// of the file did: a field that does not start with a number ends the line,
// and so does a number followed directly by other characters.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  bool Next(double& into) {
    char token[64];
    const std::size_t n = Token(token, sizeof token);
    for (std::size_t i = 0; i < n; ++i)
      if (token[i] == ',') token[i] = '.';
    const char* begin = token + (n > 0 && token[0] == '+' ? 1 : 0);
    double value = 0;
    const auto r = std::from_chars(begin, token + n, value, std::chars_format::general);
    return Accept(r.ec, r.ptr == token + n, value, into);
  }

  bool Next(int& into) {
    char token[64];
    const std::size_t n = Token(token, sizeof token);
    const char* begin = token + (n > 0 && token[0] == '+' ? 1 : 0);
    int value = 0;
    const auto r = std::from_chars(begin, token + n, value);
    return Accept(r.ec, r.ptr == token + n, value, into);
  }

 private:
  // Copies the next blank-separated token (at most size - 1 characters).
  std::size_t Token(char* out, std::size_t size) {
    if (stopped_) return 0;
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    std::size_t n = 0;
    while (pos_ < text_.size() && !IsBlank(text_[pos_])) {
      if (n + 1 < size) out[n++] = text_[pos_];
      ++pos_;
    }
    return n;
  }

  template <typename T>
  bool Accept(std::errc ec, bool whole, T value, T& into) {
    if (stopped_ || ec != std::errc()) {
      stopped_ = true;
      return false;
    }
    into = value;
    if (!whole) stopped_ = true;
    return true;
  }

  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

  std::string_view text_;
  std::size_t pos_ = 0;
  bool stopped_ = false;
};

}  // namespace

std::string FitControlLine1(const FitControl& c) {
  std::string out = "FitControl1:";
  for (double v : {c.endChisqChange, c.lambdaMin, c.lambdaMax, c.rateStep}) {
    out += ' ';
    PutScientific(out, v);
  }
  return out;
}

std::string FitControlLine2(const FitControl& c) {
  std::string out = "FitControl2:";
  for (double v : {c.amplitudeStep, c.timeStep, c.rateUpperLimit}) {
    out += ' ';
    PutScientific(out, v);
  }
  out += ' ';
  PutInt(out, c.maxIterations);
  out += ' ';
  PutInt(out, c.displayInterval);
  return out;
}

bool ReadFitControlLine(std::string_view line, FitControl& c) {
  const bool first = line.starts_with("FitControl1");
  if (!first && !line.starts_with("FitControl2")) return false;
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return true;
  FieldReader in(line.substr(colon + 1));
  if (first) {
    (void)(in.Next(c.endChisqChange) && in.Next(c.lambdaMin) && in.Next(c.lambdaMax) && in.Next(c.rateStep));
  } else {
    (void)(in.Next(c.amplitudeStep) && in.Next(c.timeStep) && in.Next(c.rateUpperLimit) && in.Next(c.maxIterations) &&
        in.Next(c.displayInterval));
  }
  return true;
}

}  // namespace kelvaris
