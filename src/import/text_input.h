// Reading a file's bytes as text: a CR directly before a LF is dropped and a
// byte 1A ends the text, as text files written on the instrument PCs expect.
// Readers walk the bytes in memory through TextCursor without copying them.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelvaris {

// The bytes of the text: everything before the first 1A byte.
std::string_view TextPart(std::string_view bytes);

// Counts line feeds (the number of complete lines).
std::size_t CountLineFeeds(std::string_view text);

class TextCursor {
 public:
  static constexpr int kEnd = -1;

  explicit TextCursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  std::size_t Position() const { return pos_; }
  void Seek(std::size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }
  std::string_view Text() const { return text_; }

  // The next character (0 to 255) with CR LF read as LF, or kEnd.
  int Get() {
    if (pos_ >= text_.size()) return kEnd;
    unsigned char ch = static_cast<unsigned char>(text_[pos_++]);
    if (ch == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
      ++pos_;
      return '\n';
    }
    return ch;
  }

  // The next character without consuming it.
  int Peek() const {
    if (pos_ >= text_.size()) return kEnd;
    unsigned char ch = static_cast<unsigned char>(text_[pos_]);
    if (ch == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') return '\n';
    return ch;
  }

  // The rest of the current line without its line feed (CR LF handled),
  // and moves past the line feed.
  std::string_view ReadLine();

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace kelvaris
