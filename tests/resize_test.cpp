// Resizing: the width dialogue, the index mapping, the colour repair and grey smoothing of a
// reduction, and whole runs of the program with option 3.
#include "ops/resize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "dialogue/messages.h"
#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

constexpr char kWidthPrompt[] = " 出力画像の横寸法を４の倍数で指定して下さい(.bmpの仕様)";
constexpr char kRatioPrompt[] = "\n 　　　　　　（縦横の比率は変わりません)　 = ";
constexpr char kWidthTooSmall[] = " 横寸法が小さすぎます！ 2以上にして下さい\a\n";
constexpr char kImageTooSmall[] = " 画像が小さすぎるため拡大・縮小できません\a\n";
constexpr char kResized[] = " 画像サイズの調整処理をしました\n";

const std::string kPrompt = std::string(kWidthPrompt) + kRatioPrompt;

std::string tooLarge(int offered) {
  return " 横寸法が大きすぎます！ " + std::to_string(offered) + "以下にして下さい\a\n";
}

// What an accepted width prints: the dimensions, the closing line and the dimensions again.
std::string accepted(int width, int height) {
  return dimensionsMessage(width, height) + kResized + dimensionsMessage(width, height);
}

std::vector<std::int32_t> columnsFor(int srcWidth, int newWidth, int count, int sourceSize) {
  return sourceIndices(count, resizeScale(srcWidth, newWidth), sourceSize);
}

// 0, step, 2·step, … up to and including `last`.
std::vector<std::int32_t> stepping(int from, int last, int step) {
  std::vector<std::int32_t> values;
  for (int v = from; v <= last; v += step) values.push_back(v);
  return values;
}

std::vector<std::int32_t> concat(std::vector<std::int32_t> a, const std::vector<std::int32_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Runs the stage on `image` with `answers` typed; the fixture keeps the result.
void resize(StageFixture& fx, const TestImage& image, bool toGrey = false) {
  fx.load(image, toGrey);
  fx.state.flags.resize = 1;
  resizeImage(fx.state);
}

// The resampling pixel by pixel as the operation is defined, with no tables or spans: the
// yardstick for the kernel.
TestImage resizedByDefinition(const TestImage& src, int newWidth, int newHeight) {
  const float s = static_cast<float>(static_cast<double>(newWidth - 1) / (src.width - 1));
  auto source = [&](int i, int size) {
    return std::min(static_cast<int>(i / static_cast<double>(s) + 0.5), size - 1);
  };
  const int bpp = src.bytesPerPixel;
  TestImage out{newWidth, newHeight, bpp, {}};
  out.pixels.resize(static_cast<std::size_t>(newWidth * newHeight * bpp));
  auto white = [&](int c, int r) {
    return src.at(c, r, 0) == 255 && src.at(c, r, 1) == 255 && src.at(c, r, 2) == 255;
  };
  for (int y = 0; y < newHeight; ++y) {
    for (int x = 0; x < newWidth; ++x) {
      const int c = source(x, src.width);
      const int r = source(y, src.height);
      const bool rowEdge = r == 0 || r == src.height - 1;
      const bool columnEdge = c == 0 || c == src.width - 1;
      int pc = c;
      int pr = r;
      if (s < 1 && bpp == 3 && white(c, r)) {
        if (!rowEdge && !white(c, r - 1)) {
          pr = r - 1;
        } else if (!rowEdge && !white(c, r + 1)) {
          pr = r + 1;
        } else if (!columnEdge) {
          pc = white(c - 1, r) ? c + 1 : c - 1;
        }
      }
      for (int k = 0; k < bpp; ++k) out.at(x, y, k) = src.at(pc, pr, k);
      if (s < 1 && bpp == 1 && !rowEdge && !columnEdge) {
        const int sum = src.at(c, r - 1) + src.at(c - 1, r) + 2 * src.at(c, r) + src.at(c + 1, r) +
                        src.at(c, r + 1);
        out.at(x, y) = static_cast<std::uint8_t>(sum / 6);
      }
    }
  }
  return out;
}

// A colour pattern in which about a third of the pixels are pure white.
TestImage patchyWhiteImage(int width, int height) {
  TestImage image = patternImage(width, height, 3, 7);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (image.at(x, y, 1) % 3 == 0) {
        for (int k = 0; k < 3; ++k) image.at(x, y, k) = 255;
      }
    }
  }
  return image;
}

TEST(ResizeIndices, FloatScaleInDoublePrecisionPicksTheseSourceIndices) {
  struct Case {
    int srcWidth, newWidth, count, sourceSize;
    std::vector<std::int32_t> expected;
  };
  const std::vector<Case> cases = {
      {4, 3, 3, 4, {0, 1, 3}},  // the float 2/3 lies above 2/3
      {10, 4, 4, 10, {0, 3, 6, 9}},
      {4, 6, 6, 4, {0, 1, 1, 2, 2, 3}},
      {4, 6, 5, 3, {0, 1, 1, 2, 2}},  // rows of the 4 × 3 image
      {640, 320, 320, 640, concat(stepping(0, 318, 2), stepping(321, 639, 2))},
      {640, 320, 240, 480, concat(stepping(0, 318, 2), stepping(321, 479, 2))},
      {7, 7, 7, 7, stepping(0, 6, 1)},
      // Rows past the top of the source are clamped to the top row.
      {6, 11, 6, 3, {0, 1, 1, 2, 2, 2}},
      {8, 2, 2, 6, {0, 5}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(columnsFor(c.srcWidth, c.newWidth, c.count, c.sourceSize), c.expected)
        << c.srcWidth << " -> " << c.newWidth << ", " << c.count << " of " << c.sourceSize;
  }
  EXPECT_EQ(columnsFor(100, 50, 100, 200).back(), 199);
}

TEST(ResizeWidth, DerivedHeightAndTheTestsInTheirOrder) {
  using J = WidthJudgement;
  struct Case {
    int srcWidth, srcHeight, newWidth;
    J judgement;
    int heightOrOffer;
  };
  const std::vector<Case> cases = {
      {4, 3, 6, J::Accepted, 5},  // 4.5 rounds up
      {100, 50, 250, J::Accepted, 125},
      {640, 480, 320, J::Accepted, 240},
      {10, 10, 101, J::Accepted, 101},  // not brought to a multiple of 4
      {4, 4, 4096, J::Accepted, 4096},
      {10, 0, 20, J::Accepted, 0},
      {10, 30, 1400, J::TooTall, 1364},
      {100, 100, 5000, J::TooTall, 4096},  // both too large: the height is tested first
      {4, 4, 4097, J::TooTall, 4096},
      {200, 100, 10000, J::TooTall, 4096},  // 8192 capped
      {4096, 1, INT32_MAX, J::TooTall, 4096},
      {200, 100, 5000, J::TooWide, 4096},
      {8, 4, 4100, J::TooWide, 4096},
      {10, 20, INT32_MAX, J::TooWide, 4096},  // height beyond 32 bits
      {2, 4096, 1048577, J::TooWide, 4096},
      {10, 10, 1, J::TooNarrow, 0},
      {10, 10, 0, J::TooNarrow, 0},
      {10, 10, -8, J::TooNarrow, 0},
      {2, 4096, INT32_MIN, J::TooNarrow, 0},
  };
  for (const Case& c : cases) {
    WidthVerdict v = judgeWidth(c.srcWidth, c.srcHeight, c.newWidth);
    SCOPED_TRACE(std::to_string(c.srcWidth) + "x" + std::to_string(c.srcHeight) + " -> " +
                 std::to_string(c.newWidth));
    EXPECT_EQ(v.judgement, c.judgement);
    EXPECT_EQ(c.judgement == J::Accepted ? v.height : v.offeredWidth, c.heightOrOffer);
  }
}

TEST(ResizeDialogue, TranscriptsByteForByte) {
  struct Case {
    const char* name;
    int width, height;
    std::string answers;
    std::string expected;
    int newWidth, newHeight;
  };
  const std::vector<Case> cases = {
      {"enlarge", 4, 3, "6\n", kPrompt + accepted(6, 5), 6, 5},
      {"text at the first attempt keeps the width", 4, 3, "abc\n6\n", kPrompt + accepted(4, 3), 4,
       3},
      {"too tall, too small, negative, then text after a refusal", 10, 30,
       "1400\n0\n-7\nabc def\n12\n",
       kPrompt + tooLarge(1364) + kPrompt + kWidthTooSmall + kPrompt + kWidthTooSmall + kPrompt +
           kWidthTooSmall + kPrompt + accepted(12, 36),
       12, 36},
      {"a refused number discards nothing", 10, 10, "5000 12\n",
       kPrompt + tooLarge(4096) + kPrompt + accepted(12, 12), 12, 12},
      {"a width of 1", 10, 10, "1\n2\n", kPrompt + kWidthTooSmall + kPrompt + accepted(2, 2), 2, 2},
      {"too wide", 200, 100, "5000\n4096\n",
       kPrompt + tooLarge(4096) + kPrompt + accepted(4096, 2048), 4096, 2048},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageFixture fx(c.answers);
    TestImage image = patternImage(c.width, c.height, 3);
    resize(fx, image);
    EXPECT_EQ(fx.printed(), c.expected);
    EXPECT_EQ(fx.state.width, c.newWidth);
    EXPECT_EQ(fx.state.height, c.newHeight);
    EXPECT_FALSE(fx.state.finished);
    if (c.newWidth == c.width) {
      EXPECT_EQ(fx.image(), image);
    }
  }
}

TEST(ResizeDialogue, EndOfInputStopsTheRun) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", kPrompt},
      {"5000\n", kPrompt + tooLarge(4096) + kPrompt},
      {"5000 abc", kPrompt + tooLarge(4096) + kPrompt + tooLarge(4096) + kPrompt},
  };
  for (const auto& [answers, prompts] : cases) {
    SCOPED_TRACE(answers);
    StageFixture fx(answers);
    resize(fx, patternImage(10, 10, 3));
    EXPECT_EQ(fx.printed(), prompts + text::kEndOfInput);
    EXPECT_TRUE(fx.state.finished);
    EXPECT_EQ(fx.state.exitStatus, 1);
  }
}

TEST(ResizeDialogue, ImageNarrowerThanTwoIsLeftAlone) {
  // A width of 0 is what a trimming can leave of a 1-pixel-wide image.
  for (int width : {1, 0}) {
    StageFixture fx("8\n");
    const TestImage image = patternImage(1, 3, 3);
    fx.load(image);
    fx.state.width = width;
    fx.state.flags.resize = 1;
    resizeImage(fx.state);
    EXPECT_EQ(fx.printed(), kImageTooSmall) << width;
    EXPECT_EQ(fx.state.width, width);
    EXPECT_EQ(fx.state.height, 3);
    EXPECT_EQ(fx.state.work.row(0)[0], image.at(0, 0, 0));
    EXPECT_FALSE(fx.state.finished);
  }
}

TEST(ResizeDialogue, DoesNothingWhenNotChosen) {
  StageFixture fx("8\n");
  TestImage image = patternImage(4, 3, 3);
  fx.load(image);
  resizeImage(fx.state);
  EXPECT_EQ(fx.printed(), "");
  EXPECT_EQ(fx.image(), image);
}

TEST(ResizePixels, EnlargingTakesTheNearestPixel) {
  for (int bpp : {3, 1}) {
    StageFixture fx("6\n");
    TestImage image = patternImage(4, 3, bpp);
    resize(fx, image);
    const std::vector<int> columns = {0, 1, 1, 2, 2, 3};
    const std::vector<int> rows = {0, 1, 1, 2, 2};
    TestImage expected{6, 5, bpp, {}};
    for (int r : rows) {
      for (int c : columns) {
        for (int k = 0; k < bpp; ++k) expected.pixels.push_back(image.at(c, r, k));
      }
    }
    EXPECT_EQ(fx.image(), expected) << bpp;
  }
}

// The kernel against the definition, on sizes that step unevenly, clamp rows past the top,
// keep the size, and reduce to 2; colour with many pure white pixels, and grey.
TEST(ResizePixels, MatchesTheDefinitionPixelForPixel) {
  struct Size {
    int width, height, newWidth;
  };
  const std::vector<Size> sizes = {{640, 480, 320}, {10, 10, 4}, {100, 200, 50}, {8, 6, 2},
                                   {6, 3, 11},      {4, 3, 6},   {7, 5, 3},      {300, 7, 299},
                                   {33, 33, 33},    {2, 9, 5},   {3, 40, 2}};
  for (const Size& size : sizes) {
    for (int bpp : {3, 1}) {
      SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " -> " +
                   std::to_string(size.newWidth) + ", " + std::to_string(bpp) + " bytes");
      const TestImage image = bpp == 1 ? patternImage(size.width, size.height, 1)
                                       : patchyWhiteImage(size.width, size.height);
      StageFixture fx(std::to_string(size.newWidth) + "\n");
      resize(fx, image);
      const TestImage expected = resizedByDefinition(image, size.newWidth, fx.state.height);
      EXPECT_EQ(fx.image(), expected);
    }
  }
}

TEST(ResizePixels, ColourRepairTakesTheFirstNeighbourThatIsNotWhite) {
  using Pixel = std::array<std::uint8_t, 3>;
  const Pixel white = {255, 255, 255};
  const Pixel magenta = {255, 10, 255};
  const Pixel red = {0, 0, 255};
  const Pixel green = {0, 255, 0};
  const Pixel blue = {255, 0, 0};
  const Pixel nearlyWhite = {255, 255, 254};
  struct Case {
    const char* name;
    int x, y;  // the sample; W = H = 10 and W′ = 4 take columns and rows 0, 3, 6, 9
    Pixel sample, below, above, left, right;
    Pixel expected;
  };
  const std::vector<Case> cases = {
      {"below first", 3, 3, white, magenta, red, green, blue, magenta},
      {"then above", 3, 3, white, white, red, green, blue, red},
      {"then left", 3, 6, white, white, white, green, blue, green},
      {"then right", 6, 3, white, white, white, white, blue, blue},
      {"all white", 6, 6, white, white, white, white, white, white},
      {"nearly white is no white", 3, 3, nearlyWhite, red, red, green, blue, nearlyWhite},
      {"bottom row: no rows", 3, 0, white, white, red, white, blue, blue},
      {"bottom row stays white", 3, 0, white, white, red, white, white, white},
      {"top row: no rows", 6, 9, white, red, white, green, blue, green},
      {"left column: no columns", 0, 3, white, white, white, white, blue, white},
      {"left column: rows", 0, 6, white, white, red, white, blue, red},
      {"right column: no columns", 9, 3, white, white, white, green, white, white},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestImage image = solidImage(10, 10, 3, 40);
    auto put = [&](int x, int y, const Pixel& p) {
      if (x < 0 || x > 9 || y < 0 || y > 9) return;
      for (int k = 0; k < 3; ++k) image.at(x, y, k) = p[static_cast<std::size_t>(k)];
    };
    put(c.x, c.y, c.sample);
    put(c.x, c.y - 1, c.below);
    put(c.x, c.y + 1, c.above);
    put(c.x - 1, c.y, c.left);
    put(c.x + 1, c.y, c.right);
    StageFixture fx("4\n");
    resize(fx, image);
    const TestImage out = fx.image();
    const Pixel got = {out.at(c.x / 3, c.y / 3, 0), out.at(c.x / 3, c.y / 3, 1),
                       out.at(c.x / 3, c.y / 3, 2)};
    EXPECT_EQ(got, c.expected);
  }
}

TEST(ResizePixels, ClampedRowsAreTopRows) {
  // W = 100, H = 200, W′ = 50: output row 99 maps to row 200, read as row 199, column 2.
  TestImage colour = solidImage(100, 200, 3, 40);
  for (int k = 0; k < 3; ++k) colour.at(2, 199, k) = 255;
  for (int k = 0; k < 3; ++k) colour.at(1, 199, k) = 255;
  for (int k = 0; k < 3; ++k) colour.at(3, 199, k) = 255;
  StageFixture fx("50\n");
  resize(fx, colour);
  ASSERT_EQ(fx.state.height, 100);
  EXPECT_EQ(fx.image().at(1, 99, 0), 255);  // the row below is not consulted

  TestImage grey = patternImage(100, 200, 1);
  StageFixture fy("50\n");
  resize(fy, grey);
  const std::vector<std::int32_t> columns = columnsFor(100, 50, 50, 100);
  for (int x = 0; x < 50; ++x) {
    EXPECT_EQ(fy.image().at(x, 99), grey.at(columns[static_cast<std::size_t>(x)], 199)) << x;
  }
}

TEST(ResizePixels, GreySmoothingAwayFromEdges) {
  TestImage image = solidImage(10, 10, 1, 0);
  image.at(3, 3) = 100;  // four neighbours of 0: 200 / 6
  image.at(6, 6) = 90;
  image.at(5, 6) = 30;
  image.at(7, 6) = 60;
  image.at(6, 5) = 255;
  image.at(6, 7) = 0;  // (255 + 30 + 180 + 60 + 0) / 6 = 87
  for (int i = 0; i < 10; i += 3) {
    image.at(i, 0) = 200;  // the edges: taken as they are
    image.at(0, i) = 201;
    image.at(i, 9) = 202;
    image.at(9, i) = 203;
  }
  image.at(3, 1) = 250;  // beside an edge sample: no effect there
  StageFixture fx("4\n");
  resize(fx, image);
  const TestImage out = fx.image();
  EXPECT_EQ(out.at(1, 1), 33);
  EXPECT_EQ(out.at(2, 2), 87);
  EXPECT_EQ(out.at(1, 0), 200);
  EXPECT_EQ(out.at(0, 2), 201);
  EXPECT_EQ(out.at(2, 3), 202);
  EXPECT_EQ(out.at(3, 1), 203);
}

TEST(ResizeProgram, OddWidthIsWrittenWithFillBytesAndReadBack) {
  Sandbox box;
  TestImage image = patternImage(4, 3, 3);
  box.writeFile("in.bmp", buildBmp(image));
  RunResult first = box.run("in.bmp\nout.bmp\n3\n6\n");
  ASSERT_EQ(first.status, 0) << first.output;
  EXPECT_NE(first.output.find(kPrompt + accepted(6, 5)), std::string::npos) << first.output;
  std::vector<std::uint8_t> file = box.readFile("out.bmp");
  EXPECT_EQ(file.size(), 54u + 5 * 20 + 2);
  StageFixture fx("6\n");
  resize(fx, image);
  EXPECT_EQ(decodeBmp(file), fx.image());

  // The program reads its own file back: keeping the width copies it byte for byte.
  RunResult second = box.run("out.bmp\nagain.bmp\n3\n6\n");
  ASSERT_EQ(second.status, 0) << second.output;
  EXPECT_EQ(box.readFile("again.bmp"), file);
}

TEST(ResizeProgram, GreyDialogueWithRefusalsThenReduction) {
  Sandbox box;
  TestImage image = patternImage(10, 10, 1);
  box.writeFile("in.bmp", buildBmp(image));
  RunResult result = box.run("in.bmp\nout.bmp\n3\n5000\nx\n7\n");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find(kPrompt + tooLarge(4096) + kPrompt + tooLarge(4096) + kPrompt +
                               accepted(7, 7)),
            std::string::npos)
      << result.output;
  StageFixture fx("7\n");
  resize(fx, image);
  EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), fx.image());
}

TEST(ResizeProgram, EndOfInputAtThePromptEndsWithStatus1) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(8, 8, 3)));
  RunResult result = box.run("in.bmp\nout.bmp\n3\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.output.ends_with(kPrompt + text::kEndOfInput)) << result.output;
  EXPECT_FALSE(box.exists("out.bmp"));
}

}  // namespace
}  // namespace pixamorph::testing
