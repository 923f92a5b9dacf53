// The console the program talks through: text out (in CP932 for a Shift_JIS console) and
// scanf-style reads of words, lines and numbers in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace pixamorph {

enum class ReadResult {
  Read,        // the answer was read
  NotRead,     // the next character cannot start the answer; it stays unread
  EndOfInput,  // the input ended before anything but white space
};

class Console {
 public:
  // `in` and `out` stay owned by the caller. With `toCp932` the UTF-8 texts are converted.
  Console(std::FILE* in, std::FILE* out, bool toCp932);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  void print(std::string_view text);
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // One whitespace-delimited word, as "%s" reads it; the white space after it stays unread.
  ReadResult readWord(std::string& word);
  // One line of at most `maxChars` characters, its line end included, as fgets reads it.
  ReadResult readLine(std::string& line, std::size_t maxChars);
  // One decimal number, as "%d" reads it: a failed read leaves `field` unchanged.
  ReadResult readInt(std::int32_t& field);
  // Drops what is left of the current input line, its line end included.
  void discardLine();

 private:
  int nextChar();
  int skipWhiteSpace();
  void writeBytes(std::string_view bytes);

  std::FILE* in_;
  std::FILE* out_;
  void* converter_;  // an iconv_t, or null when no conversion is needed
};

// True when the user's locale expects Shift_JIS (CP932) text on the console.
bool localeWantsCp932();

}  // namespace pixamorph
