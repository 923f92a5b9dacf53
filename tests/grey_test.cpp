// Conversion to grey (option 1): the luma weights, which inputs it applies to, and whole runs.
#include "ops/grey.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

constexpr char kConverted[] = " カラー画像のグレー画像への変換をしました\n";

// The conversion pixel by pixel with the weights written out: the yardstick for the kernel.
TestImage greyByDefinition(const TestImage& colour) {
  TestImage grey{colour.width, colour.height, 1, {}};
  for (int y = 0; y < colour.height; ++y) {
    for (int x = 0; x < colour.width; ++x) {
      int sum = 29 * colour.at(x, y, 0) + 150 * colour.at(x, y, 1) + 77 * colour.at(x, y, 2);
      grey.pixels.push_back(static_cast<std::uint8_t>(sum / 256));
    }
  }
  return grey;
}

TEST(GreyConversion, KnownColoursAndEveryGreyKeepItsValue) {
  struct Case {
    std::uint8_t blue, green, red, grey;
  };
  std::vector<Case> cases = {
      {255, 255, 255, 255}, {0, 0, 0, 0}, {0, 0, 255, 76}, {0, 255, 0, 149}, {255, 0, 0, 28}};
  for (int v = 0; v < 256; ++v) {
    auto g = static_cast<std::uint8_t>(v);
    cases.push_back({g, g, g, g});
  }
  TestImage image{static_cast<int>(cases.size()), 1, 3, {}};
  for (const Case& c : cases) image.pixels.insert(image.pixels.end(), {c.blue, c.green, c.red});

  StageFixture fx;
  fx.load(image, true);
  convertToGrey(fx.state);
  TestImage grey = fx.image();
  ASSERT_EQ(grey.bytesPerPixel, 1);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(grey.pixels[i], c.grey)
        << "blue " << int{c.blue} << " green " << int{c.green} << " red " << int{c.red};
  }
  EXPECT_EQ(fx.printed(), kConverted);
}

TEST(GreyConversion, MatchesTheDefinitionOnImagesOfOddSizes) {
  const int sizes[][2] = {{1, 1}, {3, 2}, {7, 5}, {31, 3}, {33, 17}, {101, 4}, {4096, 2}};
  for (const auto& size : sizes) {
    TestImage image = patternImage(size[0], size[1], 3, static_cast<unsigned>(size[0]));
    StageFixture fx;
    fx.load(image, true);
    convertToGrey(fx.state);
    EXPECT_EQ(fx.image(), greyByDefinition(image)) << size[0] << " x " << size[1];
    EXPECT_EQ(fx.state.mode, PixelMode::ColourToGrey);
    EXPECT_EQ(fx.state.channels, 3);
    EXPECT_EQ(fx.state.width, size[0]);
    EXPECT_EQ(fx.state.height, size[1]);
  }
}

TEST(GreyConversion, RunsOnlyForColourInputWithTheOption) {
  struct Case {
    const char* name;
    int bytesPerPixel;
    bool toGrey;
  };
  for (Case c : {Case{"grey input, option 1", 1, true}, Case{"colour input, no option 1", 3, false},
                 Case{"grey input, no option 1", 1, false}}) {
    TestImage image = patternImage(5, 3, c.bytesPerPixel);
    StageFixture fx;
    fx.load(image, c.toGrey);
    convertToGrey(fx.state);
    EXPECT_EQ(fx.image(), image) << c.name;
    EXPECT_EQ(fx.printed(), "") << c.name;
  }
}

TEST(GreyConversion, EmptyImageStillReports) {
  for (auto [width, height] : {std::pair{0, 4}, std::pair{4, 0}}) {
    StageFixture fx;
    fx.load(solidImage(width, height, 3, 9), true);
    convertToGrey(fx.state);
    EXPECT_EQ(fx.printed(), kConverted) << width << " x " << height;
  }
}

TEST(GreyConversion, ColourFileWithOptionOneIsWrittenGrey) {
  Sandbox box;
  TestImage image = patternImage(8, 3, 3);
  box.writeFile("in.bmp", buildBmp(image));
  RunResult result = box.run("in.bmp\nout.bmp\n1\n");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find(kConverted), std::string::npos) << result.output;
  EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), greyByDefinition(image));
}

TEST(GreyConversion, GreyFileWithOptionOneIsCopiedSilently) {
  Sandbox box;
  TestImage image = patternImage(8, 3, 1);
  box.writeFile("in.bmp", buildBmp(image));
  RunResult result = box.run("in.bmp\nout.bmp\n1\n");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output.find(kConverted), std::string::npos) << result.output;
  EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), image);
}

}  // namespace
}  // namespace pixamorph::testing
