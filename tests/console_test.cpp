// The console's scanf-style reads and its CP932 output.
#include "dialogue/console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace pixamorph {
namespace {

// A console reading `input` and writing into memory.
class ConsoleOn {
 public:
  explicit ConsoleOn(std::string input, bool toCp932 = false) : input_(std::move(input)) {
    in_ =
        input_.empty() ? std::fopen("/dev/null", "r") : fmemopen(input_.data(), input_.size(), "r");
    out_ = open_memstream(&buffer_, &size_);
    console.emplace(in_, out_, toCp932);
  }
  ~ConsoleOn() {
    console.reset();
    std::fclose(in_);
    std::fclose(out_);
    std::free(buffer_);
  }
  std::string printed() {
    std::fflush(out_);
    return std::string(buffer_, size_);
  }
  std::string rest() {
    std::string left;
    for (int c; (c = std::getc(in_)) != EOF;) left.push_back(static_cast<char>(c));
    return left;
  }

  std::optional<Console> console;

 private:
  std::string input_;
  std::FILE* in_;
  std::FILE* out_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

struct NumberCase {
  const char* input;
  ReadResult result;
  std::int32_t value;  // the field afterwards; it starts at 77
  const char* left;    // what stays unread
};

TEST(ConsoleReadInt, FollowsTheRulesOfPercentD) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const NumberCase cases[] = {
      {"42\n", ReadResult::Read, 42, "\n"},
      {" \n\t -17x", ReadResult::Read, -17, "x"},
      {"+8 9", ReadResult::Read, 8, " 9"},
      {"abc", ReadResult::NotRead, 77, "abc"},
      {"-x", ReadResult::NotRead, 77, "x"},
      {"-", ReadResult::NotRead, 77, ""},
      {"+-3", ReadResult::NotRead, 77, "-3"},
      {"2147483647", ReadResult::Read, kMax, ""},
      {"2147483648;", ReadResult::Read, kMax, ";"},
      {"99999999999999999999999 1", ReadResult::Read, kMax, " 1"},
      {"-2147483648", ReadResult::Read, kMin, ""},
      {"-99999999999999", ReadResult::Read, kMin, ""},
      {"", ReadResult::EndOfInput, 77, ""},
      {" \n \n", ReadResult::EndOfInput, 77, ""},
  };
  for (const NumberCase& c : cases) {
    ConsoleOn on(c.input);
    std::int32_t field = 77;
    EXPECT_EQ(on.console->readInt(field), c.result) << '"' << c.input << '"';
    EXPECT_EQ(field, c.value) << '"' << c.input << '"';
    EXPECT_EQ(on.rest(), c.left) << '"' << c.input << '"';
  }
}

TEST(ConsoleReadWord, SkipsWhiteSpaceAndLeavesTheEndUnread) {
  ConsoleOn on("  \n first.bmp second\n");
  std::string word;
  ASSERT_EQ(on.console->readWord(word), ReadResult::Read);
  EXPECT_EQ(word, "first.bmp");
  ASSERT_EQ(on.console->readWord(word), ReadResult::Read);
  EXPECT_EQ(word, "second");
  EXPECT_EQ(on.rest(), "\n");
  EXPECT_EQ(on.console->readWord(word), ReadResult::EndOfInput);
}

TEST(ConsoleReadLine, TakesAtMostTheLimitWithItsLineEnd) {
  ConsoleOn on("12345678901234567890\nab\nlast");
  std::string line;
  ASSERT_EQ(on.console->readLine(line, 17), ReadResult::Read);
  EXPECT_EQ(line, "12345678901234567");
  ASSERT_EQ(on.console->readLine(line, 17), ReadResult::Read);
  EXPECT_EQ(line, "890\n");
  ASSERT_EQ(on.console->readLine(line, 17), ReadResult::Read);
  EXPECT_EQ(line, "ab\n");
  ASSERT_EQ(on.console->readLine(line, 17), ReadResult::Read);
  EXPECT_EQ(line, "last");
  EXPECT_EQ(on.console->readLine(line, 17), ReadResult::EndOfInput);
}

TEST(ConsoleDiscardLine, DropsTheRestOfTheLineOnly) {
  ConsoleOn on("junk 12\n34");
  std::int32_t field = 0;
  EXPECT_EQ(on.console->readInt(field), ReadResult::NotRead);
  on.console->discardLine();
  EXPECT_EQ(on.console->readInt(field), ReadResult::Read);
  EXPECT_EQ(field, 34);
}

TEST(ConsoleOutput, PrintsUtf8AsItStands) {
  ConsoleOn on("");
  on.console->printf(" 変換 %d×%d\a\x1b[1A", 4, 6);
  EXPECT_EQ(on.printed(), " 変換 4×6\a\x1b[1A");
}

TEST(ConsoleOutput, ConvertsToCp932ForAShiftJisConsole) {
  ConsoleOn on("", true);
  on.console->print(" 変換 ×（ｘ　\a\x1b[1A\n");
  EXPECT_EQ(on.printed(), " \x95\xcf\x8a\xb7 \x81\x7e\x81\x69\x82\x98\x81\x40\a\x1b[1A\n");
}

TEST(ConsoleOutput, PassesBytesThatAreNotUtf8Through) {
  ConsoleOn on("", true);
  on.console->print("a\xff\xfe.bmp 変");
  EXPECT_EQ(on.printed(), "a\xff\xfe.bmp \x95\xcf");
}

}  // namespace
}  // namespace pixamorph
