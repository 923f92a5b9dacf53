// The dialogue through the real binary: the whole transcript, the name prompts, the option line
// and the end of the console input.
#include "dialogue/dialogue.h"

#include <gtest/gtest.h>

#include <string>

#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

const std::string kOpening =
    "\n ************ Pixamorph（ビットマップ画像の変換）************\n"
    "\n 入力・出力ともビットマップ画像ファイルのみです\n";
const std::string kInPrompt = "\n InFile.bmp  = ";
const std::string kOutPrompt = " OutFile.bmp = ";
const std::string kMenu =
    "\n 以下の変換処理ができます\n"
    "\n (1) カラー画像をグレースケールに変換"
    "\n (2) トリミング"
    "\n (3) 拡大・縮小"
    "\n (4) 右に90度回転"
    "\n (5) 左に90度回転"
    "\n (6) 180度回転"
    "\n (7) 上下に反転"
    "\n (8) 左右に反転"
    "\n (9) 画像を明るくする"
    "\n (a) 画像を暗くする"
    "\n (b) 明度の反転"
    "\n (c) 輪郭の抽出\n"
    "\n 希望する処理の番号を続けてタイプし，最後に[Enter]を押して下さい。";
const std::string kOptions = "\n Options --> ";
const std::string kRejected = "\a\x1b[1A";
const std::string kEndOfInput = "\n 入力が終わったため処理を中止します\n";

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

TEST(Dialogue, PrintsTheWholeTranscriptByteForByte) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
  RunResult result = box.run("in.bmp\nout.bmp\n1\n");
  std::string expected = kOpening + kInPrompt + kOutPrompt + kMenu + kOptions + kRejected +
                         kOptions +
                         "\n 画像ファイルの変換処理を開始します\n"
                         "\n 入力画像データを読み込みます"
                         "\n 入力画像ファイルの大きさは 1086 バイトです"
                         "\n 入力画像はグレースケールです"
                         "\n 入力画像の横寸法は 4 ピクセルです"
                         "\n 入力画像の縦寸法は 2 ピクセルです\n"
                         " 入力画像ファイルの読み込みを終了しました\n"
                         " ビットマップファイル out.bmp を出力しました\n"
                         "\n 変換処理を終了しました\a\n\n";
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(box.readFile("out.bmp").size(), 1088u);
}

TEST(Dialogue, AsksForNamesAgainUntilTheyAreAcceptable) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 3)));
  box.writeFile("photo.Bmp", buildBmp(patternImage(4, 2, 3)));
  RunResult result =
      box.run("photo.Bmp\nmissing.bmp\nin.bmp\nout.txt\nno/such/folder/out.bmp\nout.bmp\n9\n");
  std::string expected = kOpening + kInPrompt +
                         "     入力画像ファイルの拡張子は .bmp としてください！\a" + kInPrompt +
                         " 入力ファイルを開くことができません！\a" + kInPrompt + kOutPrompt +
                         "     出力画像ファイルの拡張子は .bmp としてください！\a\n" + kOutPrompt +
                         " 出力ファイルを作成できません！\a\n" + kOutPrompt + kMenu;
  EXPECT_EQ(result.output.substr(0, expected.size()), expected);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(box.exists("out.bmp"));
}

TEST(Dialogue, ExtensionTestIsASubstringTestWithTheCaseAsWritten) {
  Sandbox box;
  box.writeFile("a.bmp.txt", buildBmp(patternImage(4, 2, 3)));
  RunResult result = box.run("a.bmp.txt\nb.BMP.out\n9\n");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_TRUE(box.exists("b.BMP.out"));
}

TEST(Dialogue, ShowsTheMenuOnceAndRedrawsOnlyTheRejectedPrompt) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 3)));
  // The rest of the name line is the first option line; then a blank first character, an
  // upper-case letter and an x are refused before 9x is taken.
  RunResult result = box.run("in.bmp\nout.bmp 3\n 9\nC\nx9\n9x\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(count(result.output, "以下の変換処理ができます"), 1u);
  std::string options = kMenu + kOptions + kRejected + kOptions + kRejected + kOptions + kRejected +
                        kOptions + kRejected + kOptions + "\n 画像ファイルの変換処理を開始します\n";
  EXPECT_NE(result.output.find(options), std::string::npos) << result.output;
}

TEST(Dialogue, ALongOptionLineIsReadSeventeenCharactersAtATime) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 3)));
  RunResult result = box.run("in.bmp\nout.bmp\nxxxxxxxxxxxxxxxxx1\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(count(result.output, kRejected), 2u);
  EXPECT_EQ(fieldAt(box.readFile("out.bmp"), 28, 2), 8u) << "the 1 after 17 x's was taken";
}

TEST(Dialogue, EndOfInputAtANamePromptStopsWithStatusOne) {
  for (const char* input : {"", "in.bmp\n", "in.bmp\nout.bmp\n", "in.bmp\nout.bmp\nx\n"}) {
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 3)));
    RunResult result = box.run(input);
    EXPECT_EQ(result.status, 1) << '"' << input << '"';
    EXPECT_TRUE(result.output.ends_with(kEndOfInput)) << '"' << input << '"';
    EXPECT_FALSE(box.exists("out.bmp")) << '"' << input << '"';
  }
}

TEST(Dialogue, HandsBothFilesToTheViewer) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 3)));
  RunResult result = box.run("in.bmp\nout.bmp\n9\n");
  ASSERT_EQ(result.status, 0);
  auto calls = box.viewerCalls(2);
  std::vector<std::vector<std::string>> expected = {{"in.bmp"}, {"out.bmp"}};
  EXPECT_EQ(calls, expected);
}

struct OptionCase {
  std::string line;
  PixelMode mode;
  StageFlags flags;
};

TEST(OptionLine, EachCharacterSetsItsFlagAndOthersAreIgnored) {
  StageFlags none;
  StageFlags all{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  StageFlags brighten;
  brighten.brighten = 1;
  StageFlags darkenBrighten = brighten;
  darkenBrighten.darken = 1;
  StageFlags edges;
  edges.edges = 1;
  const OptionCase cases[] = {
      {"23456789abc\n", PixelMode::Colour, all},
      {"9\n", PixelMode::Colour, brighten},
      {"99\n", PixelMode::Colour, brighten},
      {"9xABC\n", PixelMode::Colour, brighten},
      {"a9", PixelMode::Colour, darkenBrighten},
      {"c1", PixelMode::ColourToGrey, edges},
      {std::string("1\0"
                   "9",
                   3),
       PixelMode::ColourToGrey, none},
  };
  for (const OptionCase& c : cases) {
    StageFixture fx;
    applyOptionLine(fx.state, c.line);
    const StageFlags& f = fx.state.flags;
    EXPECT_EQ(fx.state.mode, c.mode) << c.line;
    EXPECT_EQ(std::tie(f.trim, f.resize, f.turnRight, f.turnLeft, f.turn180, f.flipUpDown,
                       f.flipLeftRight, f.brighten, f.darken, f.invert, f.edges),
              std::tie(c.flags.trim, c.flags.resize, c.flags.turnRight, c.flags.turnLeft,
                       c.flags.turn180, c.flags.flipUpDown, c.flags.flipLeftRight, c.flags.brighten,
                       c.flags.darken, c.flags.invert, c.flags.edges))
        << c.line;
  }
}

}  // namespace
}  // namespace pixamorph::testing
