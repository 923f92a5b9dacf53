// A hostile or broken console through the real binary: the input ending at every prompt,
// answers of a million characters, NUL bytes and bytes that are not UTF-8, names of 10,000
// characters. No crash and no endless loop: each gets the program's documented message.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/bmp_builder.h"
#include "support/run_program.h"

namespace pixamorph::testing {
namespace {

using namespace std::string_literals;

const std::string kInPrompt = "\n InFile.bmp  = ";
const std::string kOutPrompt = " OutFile.bmp = ";
const std::string kCannotOpen = " 入力ファイルを開くことができません！\a";
const std::string kInExtension = "     入力画像ファイルの拡張子は .bmp としてください！\a";
const std::string kOutExtension = "     出力画像ファイルの拡張子は .bmp としてください！\a\n";
const std::string kCannotCreate = " 出力ファイルを作成できません！\a\n";
const std::string kOptions = "\n Options --> ";
const std::string kRejected = "\a\x1b[1A";
const std::string kEndOfInput = "\n 入力が終わったため処理を中止します\n";
const std::string kFinished = "\n 変換処理を終了しました\a\n\n";

const std::string kAskX1 = " 切り出す領域の左下隅のｘ座標 x1 = ";
const std::string kAskY1 = " 　　同　上　　左下隅のｙ座標 y1 = ";
const std::string kAskX2 = " 　　同　上　　右上隅のｘ座標 x2 = ";
const std::string kAskY2 = " 　　同　上　　右上隅のｙ座標 y2 = ";
const std::string kOutside = " 領域外です！\a\n";
const std::string kAskWidth =
    " 出力画像の横寸法を４の倍数で指定して下さい(.bmpの仕様)"
    "\n 　　　　　　（縦横の比率は変わりません)　 = ";
const std::string kWidthTooLarge = " 横寸法が大きすぎます！ 4096以下にして下さい\a\n";

// Runs the program under a time limit, so that a run that never ends fails instead of stopping
// the suite.
RunResult runGuarded(const Sandbox& box, const std::string& answers) {
  return box.run(answers, "exec timeout -s KILL 60 \"$0\";");
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

struct EndOfInputCase {
  std::string label;
  std::string answers;
  std::string lastPrinted;  // what the program printed just before it met the end
};

TEST(ConsoleAbuse, EndOfInputAtEveryPromptStopsWithStatusOne) {
  const std::string names = "in.bmp\nout.bmp\n";
  const EndOfInputCase rows[] = {
      {"nothing at all", "", kInPrompt},
      {"only white space", " \t\n\n \r\n", kInPrompt},
      {"after an input name that cannot be opened", "missing.bmp\n", kCannotOpen + kInPrompt},
      {"after an input name without .bmp", "in.txt\n", kInExtension + kInPrompt},
      {"at the output name, no line end after the input name", "in.bmp", kOutPrompt},
      {"after an output name without .bmp", "in.bmp\nout.txt\n", kOutExtension + kOutPrompt},
      {"at the option line, no line end after the output name", "in.bmp\nout.bmp", kOptions},
      {"at the option line after the rest of the name line", names,
       kOptions + kRejected + kOptions},
      {"at the option line after a refused line", names + "x\n",
       kRejected + kOptions + kRejected + kOptions},
      {"at x1", names + "2\n", kAskX1},
      {"at x1 after a refused x1", names + "2\n-1\n", kOutside + kAskX1},
      {"at y1", names + "2\n1\n", kAskY1},
      {"at x2", names + "2\n1 1\n", kAskX2},
      {"at x2 after a refused x2", names + "2\n1 1 1\n", kOutside + kAskX2},
      {"at y2", names + "2\n1 1 6\n", kAskY2},
      {"at y2 after unreadable text", names + "2\n1 1 6 0 zz\n", kOutside + kAskY2},
      {"at the width", names + "3\n", kAskWidth},
      {"at the width after a width too large", names + "3\n5000\n", kWidthTooLarge + kAskWidth},
      {"at the width after trimming", names + "23\n0 0 7 7\n", kAskWidth},
  };
  for (const EndOfInputCase& row : rows) {
    SCOPED_TRACE(row.label);
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(patternImage(8, 8, 1)));
    RunResult result = runGuarded(box, row.answers);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.output.ends_with(row.lastPrinted + kEndOfInput)) << result.output;
    EXPECT_EQ(count(result.output, kEndOfInput), 1u);
    EXPECT_EQ(box.listFiles(), std::vector<std::string>{"in.bmp"});
  }
}

TEST(ConsoleAbuse, WordOfAMillionCharactersAtTheInputName) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
  RunResult result = runGuarded(box, std::string(1'000'000, 'a') + ".bmp\nin.bmp\nout.bmp\n1\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find(kInPrompt + kCannotOpen + kInPrompt + kOutPrompt),
            std::string::npos);
  EXPECT_TRUE(result.output.ends_with(kFinished));
}

// A line is read 17 characters at a time, its line end included: 1,000,000 x's and the line end
// make 58,824 refused lines after the empty rest of the name line.
TEST(ConsoleAbuse, OptionLineOfAMillionCharacters) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
  RunResult result = runGuarded(box, "in.bmp\nout.bmp\n" + std::string(1'000'000, 'x') + "\n1\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(count(result.output, kOptions + kRejected), 1u + 58'824u);
  EXPECT_TRUE(result.output.ends_with(kFinished));
}

// A million digits read as the largest 32-bit number, far too wide; the next answer is taken.
TEST(ConsoleAbuse, NumberOfAMillionDigitsAtTheWidthPrompt) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(8, 8, 1)));
  RunResult result =
      runGuarded(box, "in.bmp\nout.bmp\n3\n" + std::string(1'000'000, '7') + "\n12\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find(kAskWidth + kWidthTooLarge + kAskWidth), std::string::npos)
      << result.output.substr(0, 4000);
  TestImage out = decodeBmp(box.readFile("out.bmp"));
  EXPECT_EQ(out.width, 12);
  EXPECT_EQ(out.height, 12);
}

TEST(ConsoleAbuse, NulBytesInAnswers) {
  TestImage image = patternImage(4, 2, 1);
  {
    SCOPED_TRACE("a word that begins with NUL is passed over like white space");
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(image));
    RunResult plain = runGuarded(box, "in.bmp\nout.bmp\n1\n");
    RunResult withNul = runGuarded(box, "\0x.bmp\nin.bmp\nout.bmp\n1\n"s);
    EXPECT_EQ(withNul.status, 0);
    EXPECT_EQ(withNul.output, plain.output);
  }
  {
    SCOPED_TRACE("a NUL inside the input name does not cut it short");
    Sandbox box;
    box.writeFile("in", buildBmp(image));
    RunResult result = runGuarded(box, "in\0.bmp\n"s);
    EXPECT_TRUE(result.output.ends_with(kInPrompt + kCannotOpen + kInPrompt + kEndOfInput));
    EXPECT_EQ(result.status, 1);
  }
  {
    SCOPED_TRACE("a NUL inside the output name refuses it");
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(image));
    RunResult result = runGuarded(box, "in.bmp\nout\0.bmp\nout.bmp\n1\n"s);
    EXPECT_NE(result.output.find(kOutPrompt + kCannotCreate + kOutPrompt), std::string::npos);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(box.listFiles(), (std::vector<std::string>{"in.bmp", "out.bmp"}));
  }
  {
    SCOPED_TRACE("an option line ends at a NUL: the 3 after it asks for no width");
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(image));
    RunResult result = runGuarded(box,
                                  "in.bmp\nout.bmp\n\0"
                                  "9\n1\0"
                                  "3\n"s);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(count(result.output, kRejected), 2u);
    EXPECT_EQ(result.output.find(kAskWidth), std::string::npos);
    EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), image);
  }
}

// Names are bytes: they are opened, shown and handed to the viewer exactly as typed.
TEST(ConsoleAbuse, BytesThatAreNotUtf8InAnswers) {
  Sandbox box;
  const std::string inName = "\xff\xfe.bmp";
  const std::string outName = "\xc3(\x80.bmp";
  TestImage image = patternImage(4, 2, 1);
  box.writeFile(inName, buildBmp(image));
  RunResult result = runGuarded(box, inName + "\n" + outName + "\n\xff\xfe\n1\xff\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(count(result.output, kRejected), 2u);
  EXPECT_TRUE(result.output.ends_with(" ビットマップファイル " + outName + " を出力しました\n" +
                                      kFinished));
  EXPECT_EQ(decodeBmp(box.readFile(outName)), image);
  std::vector<std::vector<std::string>> calls = {{inName}, {outName}};
  std::sort(calls.begin(), calls.end());
  EXPECT_EQ(box.viewerCalls(2), calls);
}

TEST(ConsoleAbuse, NamesOfTenThousandCharacters) {
  const std::string longInput = std::string(9996, 'i') + ".bmp";
  const std::string longOutput = std::string(9996, 'o') + ".bmp";
  std::string deepOutput;
  while (deepOutput.size() < 9992) deepOutput += "./";
  deepOutput += "out1.bmp";
  ASSERT_EQ(deepOutput.size(), 10'000u);
  {
    SCOPED_TRACE("input name: cannot be opened, asked again");
    Sandbox box;
    RunResult result = runGuarded(box, longInput + "\n");
    EXPECT_TRUE(result.output.ends_with(kInPrompt + kCannotOpen + kInPrompt + kEndOfInput));
    EXPECT_EQ(result.status, 1);
  }
  {
    SCOPED_TRACE("output name of one long word: too long a file name to create");
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
    RunResult result = runGuarded(box, "in.bmp\n" + longOutput + "\n1\n");
    EXPECT_TRUE(result.output.ends_with(kCannotCreate)) << result.output;
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(box.listFiles(), std::vector<std::string>{"in.bmp"});
  }
  {
    SCOPED_TRACE("output name through 4,996 folders: refused at the prompt");
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
    RunResult result = runGuarded(box, "in.bmp\n" + deepOutput + "\n");
    EXPECT_TRUE(result.output.ends_with(kOutPrompt + kCannotCreate + kOutPrompt + kEndOfInput));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(box.listFiles(), std::vector<std::string>{"in.bmp"});
  }
}

// The program's output goes into a pipe whose reader has already gone: the texts are lost, but
// the conversion still runs to the end and writes its file.
TEST(ConsoleAbuse, ConsoleThatWentAwayStillGetsTheFileWritten) {
  Sandbox box;
  TestImage image = patternImage(8, 4, 3);
  box.writeFile("in.bmp", buildBmp(image));
  box.run("in.bmp\nout.bmp\n7\n", "\"$0\" | true; exit 0;");
  ASSERT_TRUE(box.exists("out.bmp"));
  TestImage flipped = image;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      for (int k = 0; k < 3; ++k) flipped.at(x, y, k) = image.at(x, 3 - y, k);
    }
  }
  EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), flipped);
}

}  // namespace
}  // namespace pixamorph::testing
