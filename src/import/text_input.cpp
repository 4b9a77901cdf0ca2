#include "import/text_input.h"

#include <algorithm>
#include <cstring>

namespace kelvaris {

std::string_view TextPart(std::string_view bytes) {
  const void* eof = std::memchr(bytes.data(), 0x1a, bytes.size());
  if (!eof) return bytes;
  return bytes.substr(0, static_cast<const char*>(eof) - bytes.data());
}

std::size_t CountLineFeeds(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string_view TextCursor::ReadLine() {
  if (pos_ >= text_.size()) return {};
  const std::size_t start = pos_;
  const void* lf = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
  std::size_t end = lf ? static_cast<const char*>(lf) - text_.data() : text_.size();
  pos_ = lf ? end + 1 : end;
  if (lf && end > start && text_[end - 1] == '\r') --end;
  return text_.substr(start, end - start);
}

}  // namespace kelvaris
