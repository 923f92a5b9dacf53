// Option 2: the trim prompts and their refusals, the width cut to a multiple of 4, and the move.
#include <gtest/gtest.h>

#include <string>

#include "dialogue/messages.h"
#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

const std::string kIntroduction =
    " 画像のトリミングをします\n"
    " 切り出す領域を指定してください\n"
    " 画像の左下隅が原点 (x=0,y=0) です\n";
const std::string kX1 = " 切り出す領域の左下隅のｘ座標 x1 = ";
const std::string kY1 = " 　　同　上　　左下隅のｙ座標 y1 = ";
const std::string kX2 = " 　　同　上　　右上隅のｘ座標 x2 = ";
const std::string kY2 = " 　　同　上　　右上隅のｙ座標 y2 = ";
const std::string kOutside = " 領域外です！\a\n";
const std::string kTooSmall = " 画像が小さすぎるためトリミングできません\a\n";

std::string trimmed(int width, int height) {
  return " 処理対象領域をトリムしました\n" + dimensionsMessage(width, height);
}

// The region of `image` with lower-left pixel (x1, y1), pixel by pixel.
TestImage region(const TestImage& image, int x1, int y1, int width, int height) {
  TestImage out{width, height, image.bytesPerPixel, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int k = 0; k < image.bytesPerPixel; ++k) {
        out.pixels.push_back(image.at(x + x1, y + y1, k));
      }
    }
  }
  return out;
}

TEST(Trim, CutsTheRegionOnEveryPath) {
  for (PixelPath path : kPixelPaths) {
    SCOPED_TRACE(path.name);
    StageFixture fx("10\n20\n50\n60\n");
    TestImage input = patternImage(100, 80, path.bytesPerPixel);
    fx.load(input, path.toGrey);
    TestImage before = fx.image();
    fx.state.flags.trim = 1;
    trimImage(fx.state);
    EXPECT_EQ(fx.printed(), kIntroduction + kX1 + kY1 + kX2 + kY2 + trimmed(40, 41));
    EXPECT_EQ(fx.image(), region(before, 10, 20, 40, 41));
    EXPECT_EQ(fx.state.x2, 49);
    EXPECT_EQ(fx.state.y2, 60);
  }
}

TEST(Trim, WidthIsCutToAMultipleOfFourFromTheRight) {
  struct Row {
    int x1, x2, width;
  };
  for (Row row :
       {Row{5, 6, 0}, Row{5, 7, 0}, Row{5, 8, 4}, Row{5, 9, 4}, Row{0, 63, 64}, Row{1, 99, 96}}) {
    SCOPED_TRACE(::testing::Message() << "x1 " << row.x1 << ", x2 " << row.x2);
    StageFixture fx(std::to_string(row.x1) + "\n0\n" + std::to_string(row.x2) + "\n47\n");
    TestImage input = patternImage(100, 60, 3);
    fx.load(input);
    fx.state.flags.trim = 1;
    trimImage(fx.state);
    EXPECT_EQ(fx.state.width, row.width);
    EXPECT_EQ(fx.state.height, 48);
    EXPECT_EQ(fx.state.x2, row.x1 + row.width - 1);
    EXPECT_EQ(fx.image(), region(input, row.x1, 0, row.width, 48));
    EXPECT_TRUE(fx.printed().ends_with(trimmed(row.width, 48)));
  }
}

// Each coordinate is asked again on its own; those accepted before it are not.
TEST(Trim, RefusesCornersOutsideTheImageOrNotApart) {
  struct Row {
    const char* name;
    std::string answers;
    std::string asked;
  };
  for (const Row& row : {
           Row{"negative x1", "-1\n1\n1\n6\n4\n", kX1 + kOutside + kX1 + kY1 + kX2 + kY2},
           Row{"x1 with no x2 left", "9\n1\n1\n6\n4\n", kX1 + kOutside + kX1 + kY1 + kX2 + kY2},
           Row{"y1 with no y2 left", "1\n7\n1\n6\n4\n", kX1 + kY1 + kOutside + kY1 + kX2 + kY2},
           Row{"x2 equal to x1", "1\n1\n1\n6\n4\n", kX1 + kY1 + kX2 + kOutside + kX2 + kY2},
           Row{"x2 left of x1", "1\n1\n0\n6\n4\n", kX1 + kY1 + kX2 + kOutside + kX2 + kY2},
           Row{"x2 past the right edge", "1\n1\n10\n6\n4\n",
               kX1 + kY1 + kX2 + kOutside + kX2 + kY2},
           Row{"y2 equal to y1", "1\n1\n6\n1\n4\n", kX1 + kY1 + kX2 + kY2 + kOutside + kY2},
           Row{"y2 past the top", "1\n1\n6\n8\n4\n", kX1 + kY1 + kX2 + kY2 + kOutside + kY2},
           Row{"a refused number keeps the rest of its line", "-5 1\n1\n6\n4\n",
               kX1 + kOutside + kX1 + kY1 + kX2 + kY2},
       }) {
    SCOPED_TRACE(row.name);
    StageFixture fx(row.answers);
    TestImage input = patternImage(10, 8, 3);
    fx.load(input);
    fx.state.flags.trim = 1;
    trimImage(fx.state);
    EXPECT_EQ(fx.printed(), kIntroduction + row.asked + trimmed(4, 4));
    EXPECT_EQ(fx.image(), region(input, 1, 1, 4, 4));
  }
}

// Text that is not a number keeps the field's value and stays unread: at the first prompt every
// later prompt meets it too, so the whole image is kept, its width cut to a multiple of 4.
TEST(Trim, TextAtTheFirstPromptSelectsTheWholeImage) {
  StageFixture fx("whole\n");
  TestImage input = patternImage(11, 6, 3);
  fx.load(input);
  fx.state.flags.trim = 1;
  trimImage(fx.state);
  EXPECT_EQ(fx.printed(), kIntroduction + kX1 + kY1 + kX2 + kY2 + trimmed(8, 6));
  EXPECT_EQ(fx.image(), region(input, 0, 0, 8, 6));
}

// When the value left in the field is refused, the rest of the line goes, text and numbers alike.
TEST(Trim, TextMeetingARefusedValueDiscardsTheRestOfItsLine) {
  StageFixture fx("2\n1\n99\nx 3\n6\n4\n");
  TestImage input = patternImage(10, 8, 1);
  fx.load(input);
  fx.state.flags.trim = 1;
  trimImage(fx.state);
  EXPECT_EQ(fx.printed(), kIntroduction + kX1 + kY1 + kX2 + kOutside + kX2 + kOutside + kX2 + kY2 +
                              trimmed(4, 4));
  EXPECT_EQ(fx.image(), region(input, 2, 1, 4, 4));
}

TEST(Trim, EndOfInputStopsTheRun) {
  for (const char* answers : {"", "1\n", "1\n1\n", "1\n1\n6\n", "1\n1\n99\nzz"}) {
    SCOPED_TRACE(answers);
    StageFixture fx(answers);
    TestImage input = patternImage(10, 8, 3);
    fx.load(input);
    fx.state.flags.trim = 1;
    trimImage(fx.state);
    EXPECT_TRUE(fx.printed().ends_with(text::kEndOfInput));
    EXPECT_TRUE(fx.state.finished);
    EXPECT_EQ(fx.state.exitStatus, 1);
    EXPECT_EQ(fx.image(), input);
  }
}

TEST(Trim, ImageBelowTwoPixelsIsLeftAlone) {
  for (auto [width, height] : {std::pair{1, 5}, std::pair{5, 1}, std::pair{1, 1}}) {
    StageFixture fx("0\n0\n1\n1\n");
    TestImage input = patternImage(width, height, 3);
    fx.load(input);
    fx.state.flags.trim = 1;
    trimImage(fx.state);
    EXPECT_EQ(fx.printed(), kTooSmall) << width << " x " << height;
    EXPECT_EQ(fx.image(), input);
    EXPECT_FALSE(fx.state.finished);
  }
}

TEST(Trim, WholeRunThroughTheProgram) {
  Sandbox box;
  TestImage input = patternImage(12, 9, 3);
  box.writeFile("in.bmp", buildBmp(input));
  RunResult result = box.run("in.bmp\nout.bmp\n2\n3\n2\n9\n7\n");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find(kIntroduction + kX1 + kY1 + kX2 + kY2 + trimmed(4, 6)),
            std::string::npos)
      << result.output;
  EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), region(input, 3, 2, 4, 6));
}

}  // namespace
}  // namespace pixamorph::testing
