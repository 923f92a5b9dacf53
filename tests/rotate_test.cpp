// Options 4, 5 and 6: the turned images and their sizes, the messages, and the equalities between
// option lines that turn and flip.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogue/dialogue.h"
#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

const std::string kTurnedRight = " 画像を右に90度回転しました\n";
const std::string kTurnedLeft = " 画像を左に90度回転しました\n";
const std::string kTurnedHalf = " 画像を180度回転しました\n";

// Sets the flags of `line` and runs the turn and flip stages in the pipeline's order.
void runTurnsAndFlips(StageFixture& fx, const std::string& line) {
  applyOptionLine(fx.state, line);
  rotateRight90(fx.state);
  rotateLeft90(fx.state);
  rotate180(fx.state);
  flipVertical(fx.state);
  flipHorizontal(fx.state);
}

// Where pixel (x, y) of a result comes from, given the source's size and the result's width.
using Source =
    std::function<std::pair<int, int>(int x, int y, int width, int height, int newWidth)>;

void expectTurnedFrom(const TestImage& in, const TestImage& out, const Source& source) {
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      auto [sx, sy] = source(x, y, in.width, in.height, out.width);
      for (int k = 0; k < in.bytesPerPixel; ++k) {
        ASSERT_EQ(out.at(x, y, k), in.at(sx, sy, k)) << "pixel " << x << ", " << y;
      }
    }
  }
}

TEST(Rotate, QuarterTurnsTakeEachPixelFromItsSourceAndCutTheWidth) {
  struct Row {
    char option;
    int width, height, newWidth;
  };
  const Source right = [](int x, int y, int w, int, int) { return std::pair{w - 1 - y, x}; };
  const Source left = [](int x, int y, int, int, int nw) { return std::pair{y, nw - 1 - x}; };
  for (PixelPath path : kPixelPaths) {
    for (Row row : {Row{'4', 6, 7, 4}, Row{'5', 6, 7, 4}, Row{'4', 8, 12, 12}, Row{'5', 8, 12, 12},
                    Row{'4', 5, 3, 0}, Row{'5', 3, 1, 0}, Row{'4', 1, 4, 4}, Row{'5', 9, 5, 4}}) {
      SCOPED_TRACE(::testing::Message() << path.name << ", line " << row.option << " on "
                                        << row.width << " x " << row.height);
      StageFixture fx;
      fx.load(patternImage(row.width, row.height, path.bytesPerPixel), path.toGrey);
      TestImage before = fx.image();
      runTurnsAndFlips(fx, std::string(1, row.option));
      TestImage after = fx.image();
      EXPECT_EQ(after.width, row.newWidth);
      EXPECT_EQ(after.height, row.width);
      expectTurnedFrom(before, after, row.option == '4' ? right : left);
      EXPECT_EQ(fx.printed(), (row.option == '4' ? kTurnedRight : kTurnedLeft) +
                                  dimensionsMessage(row.newWidth, row.width));
    }
  }
}

TEST(Rotate, HalfTurnKeepsTheSizeAndTheCentrePixel) {
  for (PixelPath path : kPixelPaths) {
    SCOPED_TRACE(path.name);
    StageFixture fx;
    fx.load(patternImage(5, 3, path.bytesPerPixel), path.toGrey);
    TestImage before = fx.image();
    runTurnsAndFlips(fx, "6");
    TestImage after = fx.image();
    EXPECT_EQ(after.width, 5);
    EXPECT_EQ(after.height, 3);
    expectTurnedFrom(before, after, [](int x, int y, int w, int h, int) {
      return std::pair{w - 1 - x, h - 1 - y};
    });
    EXPECT_EQ(after.at(2, 1), before.at(2, 1));
    EXPECT_EQ(fx.printed(), kTurnedHalf);
  }
}

// Line 45 on 6 × 7: the top 3 rows go in the first turn, the left 2 columns in the second.
TEST(Rotate, RightThenLeftOnSixBySeven) {
  StageFixture fx;
  TestImage input = patternImage(6, 7, 3);
  fx.load(input);
  runTurnsAndFlips(fx, "45");
  TestImage after = fx.image();
  ASSERT_EQ(after.width, 4);
  ASSERT_EQ(after.height, 4);
  expectTurnedFrom(input, after, [](int x, int y, int, int, int) { return std::pair{x + 2, y}; });
  EXPECT_EQ(fx.printed(),
            kTurnedRight + dimensionsMessage(4, 6) + kTurnedLeft + dimensionsMessage(4, 4));
}

TEST(Rotate, PureBlueStaysPureBlue) {
  for (const char* line : {"4", "5", "6"}) {
    StageFixture fx;
    TestImage blue = solidImage(5, 8, 3, 0);
    for (int y = 0; y < blue.height; ++y) {
      for (int x = 0; x < blue.width; ++x) blue.at(x, y, 0) = 255;
    }
    fx.load(blue);
    runTurnsAndFlips(fx, line);
    TestImage after = fx.image();
    ASSERT_GT(after.pixels.size(), 0u);
    for (std::size_t i = 0; i < after.pixels.size(); ++i) {
      ASSERT_EQ(after.pixels[i], i % 3 == 0 ? 255 : 0) << "line " << line << ", byte " << i;
    }
  }
}

// Lines that must give the same image, size included; an empty line stands for the input.
// The rows marked `multipleOf4` hold only when both sides are multiples of 4.
TEST(TurnsAndFlips, EqualLinesGiveEqualImages) {
  struct Row {
    const char* line;
    const char* sameAs;
    bool multipleOf4;
  };
  struct Size {
    int width, height;
  };
  for (PixelPath path : kPixelPaths) {
    for (Size size :
         {Size{8, 12}, Size{12, 8}, Size{4, 4}, Size{6, 7}, Size{5, 9}, Size{3, 2}, Size{1, 1}}) {
      bool sidesOf4 = size.width % 4 == 0 && size.height % 4 == 0;
      for (Row row : {Row{"45", "", true}, Row{"46", "5", false}, Row{"56", "4", false},
                      Row{"78", "6", false}, Row{"678", "", false}, Row{"67", "8", false},
                      Row{"68", "7", false}}) {
        if (row.multipleOf4 && !sidesOf4) continue;
        SCOPED_TRACE(::testing::Message()
                     << path.name << ", " << size.width << " x " << size.height << ": line "
                     << row.line << " against '" << row.sameAs << "'");
        TestImage input = patternImage(size.width, size.height, path.bytesPerPixel);
        StageFixture first;
        first.load(input, path.toGrey);
        runTurnsAndFlips(first, row.line);
        StageFixture second;
        second.load(input, path.toGrey);
        runTurnsAndFlips(second, row.sameAs);
        EXPECT_EQ(first.image(), second.image());
      }
      if (sidesOf4) {
        StageFixture fx;
        fx.load(patternImage(size.width, size.height, path.bytesPerPixel), path.toGrey);
        TestImage before = fx.image();
        fx.state.flags.turnRight = 1;
        for (int turn = 0; turn < 4; ++turn) rotateRight90(fx.state);
        EXPECT_EQ(fx.image(), before) << path.name << ", four right turns";
      }
    }
  }
}

TEST(TurnsAndFlips, DoNothingWithoutTheirOption) {
  for (auto stage :
       {trimImage, rotateRight90, rotateLeft90, rotate180, flipVertical, flipHorizontal}) {
    StageFixture fx("1\n1\n5\n5\n");
    TestImage input = patternImage(8, 8, 3);
    fx.load(input);
    stage(fx.state);
    EXPECT_EQ(fx.printed(), "");
    EXPECT_EQ(fx.image(), input);
  }
}

TEST(Rotate, ThroughTheProgram) {
  struct Row {
    const char* line;
    int bytesPerPixel;
    Source source;
    int newWidth, newHeight;
  };
  for (const Row& row : {
           Row{"4", 3,
               [](int x, int y, int w, int, int) {
                 return std::pair{w - 1 - y, x};
               },
               4, 6},
           Row{"5", 1,
               [](int x, int y, int, int, int nw) {
                 return std::pair{y, nw - 1 - x};
               },
               4, 6},
           Row{"678", 3,
               [](int x, int y, int, int, int) {
                 return std::pair{x, y};
               },
               6, 7},
       }) {
    SCOPED_TRACE(row.line);
    Sandbox box;
    TestImage input = patternImage(6, 7, row.bytesPerPixel);
    box.writeFile("in.bmp", buildBmp(input));
    RunResult result = box.run(std::string("in.bmp\nout.bmp\n") + row.line + "\n");
    EXPECT_EQ(result.status, 0) << result.output;
    TestImage output = decodeBmp(box.readFile("out.bmp"));
    ASSERT_EQ(output.width, row.newWidth);
    ASSERT_EQ(output.height, row.newHeight);
    ASSERT_EQ(output.bytesPerPixel, row.bytesPerPixel);
    expectTurnedFrom(input, output, row.source);
  }
}

}  // namespace
}  // namespace pixamorph::testing
