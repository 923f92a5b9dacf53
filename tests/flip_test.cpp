// Options 7 and 8: rows or pixels trade places pairwise, the middle one stays, bytes keep order.
#include <gtest/gtest.h>

#include <string>

#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

const std::string kUpsideDown = " 画像を上下に反転しました\n";
const std::string kMirrored = " 画像を左右に反転しました\n";

void expectPixel(const TestImage& out, int x, int y, const TestImage& in, int fromX, int fromY) {
  for (int k = 0; k < in.bytesPerPixel; ++k) {
    ASSERT_EQ(out.at(x, y, k), in.at(fromX, fromY, k))
        << "pixel " << x << ", " << y << " should be " << fromX << ", " << fromY;
  }
}

TEST(Flip, TopToBottomSwapsRowPairsAndKeepsTheMiddleRow) {
  for (PixelPath path : kPixelPaths) {
    for (int height : {5, 4, 1}) {
      SCOPED_TRACE(::testing::Message() << path.name << ", height " << height);
      StageFixture fx;
      fx.load(patternImage(3, height, path.bytesPerPixel), path.toGrey);
      TestImage before = fx.image();
      fx.state.flags.flipUpDown = 1;
      flipVertical(fx.state);
      TestImage after = fx.image();
      ASSERT_EQ(after.height, height);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 3; ++x) expectPixel(after, x, y, before, x, height - 1 - y);
      }
      EXPECT_EQ(fx.printed(), kUpsideDown);
    }
  }
}

TEST(Flip, LeftToRightSwapsPixelPairsAndKeepsTheMiddleColumn) {
  for (PixelPath path : kPixelPaths) {
    for (int width : {5, 4, 1}) {
      SCOPED_TRACE(::testing::Message() << path.name << ", width " << width);
      StageFixture fx;
      fx.load(patternImage(width, 3, path.bytesPerPixel), path.toGrey);
      TestImage before = fx.image();
      fx.state.flags.flipLeftRight = 1;
      flipHorizontal(fx.state);
      TestImage after = fx.image();
      ASSERT_EQ(after.width, width);
      for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < width; ++x) expectPixel(after, x, y, before, width - 1 - x, y);
      }
      EXPECT_EQ(fx.printed(), kMirrored);
    }
  }
}

TEST(Flip, MirroredPixelKeepsItsByteOrder) {
  StageFixture fx;
  TestImage input = patternImage(4, 2, 3);
  input.at(0, 1, 0) = 10;
  input.at(0, 1, 1) = 20;
  input.at(0, 1, 2) = 30;
  fx.load(input);
  fx.state.flags.flipLeftRight = 1;
  flipHorizontal(fx.state);
  TestImage after = fx.image();
  EXPECT_EQ(after.at(3, 1, 0), 10);
  EXPECT_EQ(after.at(3, 1, 1), 20);
  EXPECT_EQ(after.at(3, 1, 2), 30);
}

TEST(Flip, BothFlipsThroughTheProgram) {
  Sandbox box;
  TestImage input = patternImage(5, 3, 1);
  box.writeFile("in.bmp", buildBmp(input));
  RunResult result = box.run("in.bmp\nout.bmp\n87\n");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find(kUpsideDown + kMirrored), std::string::npos) << result.output;
  TestImage output = decodeBmp(box.readFile("out.bmp"));
  ASSERT_EQ(output.width, 5);
  ASSERT_EQ(output.height, 3);
  ASSERT_EQ(output.bytesPerPixel, 1);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) expectPixel(output, x, y, input, 4 - x, 2 - y);
  }
}

}  // namespace
}  // namespace pixamorph::testing
