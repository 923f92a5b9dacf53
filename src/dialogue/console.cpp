// Console input and output with the rules of C's formatted I/O, kept in one place so that the
// program and its tests read answers the same way.
#include "dialogue/console.h"

#include <iconv.h>
#include <langinfo.h>

#include <array>
#include <clocale>
#include <cstdarg>
#include <cstring>
#include <limits>
#include <vector>

namespace pixamorph {

namespace {

// White space as scanf sees it in the C locale; bytes above 127 are never white space.
bool isWhiteSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

iconv_t asIconv(void* converter) { return static_cast<iconv_t>(converter); }

}  // namespace

Console::Console(std::FILE* in, std::FILE* out, bool toCp932)
    : in_(in), out_(out), converter_(nullptr) {
  if (toCp932) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd != reinterpret_cast<iconv_t>(-1)) converter_ = cd;
  }
}

Console::~Console() {
  std::fflush(out_);
  if (converter_ != nullptr) iconv_close(asIconv(converter_));
}

void Console::print(std::string_view text) {
  if (converter_ == nullptr) {
    writeBytes(text);
    return;
  }
  // Bytes that are not valid UTF-8 (a typed file name, say) pass through unchanged.
  std::vector<char> input(text.begin(), text.end());
  std::array<char, 4096> buffer;
  char* from = input.data();
  std::size_t fromLeft = input.size();
  while (fromLeft > 0) {
    char* to = buffer.data();
    std::size_t toLeft = buffer.size();
    std::size_t done = iconv(asIconv(converter_), &from, &fromLeft, &to, &toLeft);
    writeBytes(std::string_view(buffer.data(), buffer.size() - toLeft));
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      writeBytes(std::string_view(from, 1));
      ++from;
      --fromLeft;
    }
  }
}

void Console::printf(const char* format, ...) {
  std::array<char, 512> small;
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(small.data(), small.size(), format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(length) < small.size()) {
    va_end(again);
    print(std::string_view(small.data(), static_cast<std::size_t>(length)));
    return;
  }
  std::string large(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(large.data(), large.size(), format, again);
  va_end(again);
  large.pop_back();
  print(large);
}

void Console::writeBytes(std::string_view bytes) {
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out_);
}

// Whatever was printed must be on the screen before the program waits for an answer.
int Console::nextChar() {
  std::fflush(out_);
  return std::getc(in_);
}

int Console::skipWhiteSpace() {
  int c = nextChar();
  while (isWhiteSpace(c)) c = std::getc(in_);
  return c;
}

ReadResult Console::readWord(std::string& word) {
  word.clear();
  int c = skipWhiteSpace();
  if (c == EOF) return ReadResult::EndOfInput;
  while (c != EOF && !isWhiteSpace(c)) {
    word.push_back(static_cast<char>(c));
    c = std::getc(in_);
  }
  if (c != EOF) std::ungetc(c, in_);
  return ReadResult::Read;
}

ReadResult Console::readLine(std::string& line, std::size_t maxChars) {
  line.clear();
  int c = nextChar();
  if (c == EOF) return ReadResult::EndOfInput;
  while (c != EOF) {
    line.push_back(static_cast<char>(c));
    if (c == '\n' || line.size() == maxChars) break;
    c = std::getc(in_);
  }
  return ReadResult::Read;
}

// A sign is consumed even when no digit follows; a number beyond 32 bits reads as the nearest
// limit with all its digits consumed.
ReadResult Console::readInt(std::int32_t& field) {
  int c = skipWhiteSpace();
  if (c == EOF) return ReadResult::EndOfInput;
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(in_);
  }
  if (!isDigit(c)) {
    if (c != EOF) std::ungetc(c, in_);
    return ReadResult::NotRead;
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  while (isDigit(c)) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (c - '0');
    c = std::getc(in_);
  }
  if (c != EOF) std::ungetc(c, in_);
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    value = std::numeric_limits<std::int32_t>::max();
  }
  if (value < std::numeric_limits<std::int32_t>::min()) {
    value = std::numeric_limits<std::int32_t>::min();
  }
  field = static_cast<std::int32_t>(value);
  return ReadResult::Read;
}

void Console::discardLine() {
  int c = std::getc(in_);
  while (c != EOF && c != '\n') c = std::getc(in_);
}

bool localeWantsCp932() {
  if (std::setlocale(LC_CTYPE, "") == nullptr) return false;
  const char* codeset = nl_langinfo(CODESET);
  bool wanted = codeset != nullptr &&
                (strcasecmp(codeset, "SHIFT_JIS") == 0 || strcasecmp(codeset, "SJIS") == 0 ||
                 strcasecmp(codeset, "CP932") == 0 || strcasecmp(codeset, "WINDOWS-31J") == 0);
  std::setlocale(LC_CTYPE, "C");
  return wanted;
}

}  // namespace pixamorph
