// Brightening, darkening and inverting (options 9, a, b): the values, the paths and their
// messages, and how the options combine in a run.
#include "ops/tone.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

using Stage = void (*)(RunState&);

// One tone operation: its stage, how to switch it on, its messages and its value as defined,
// in single-precision floating point truncated toward zero.
struct Tone {
  const char* name;
  Stage stage;
  std::int32_t StageFlags::*flag;
  const char* colourMessage;
  const char* greyMessage;
  int (*byDefinition)(int v);
};

const Tone kBrighten{"brighten",
                     brightenImage,
                     &StageFlags::brighten,
                     " カラー画像を明るくしました\n",
                     " グレースケール画像を明るくしました\n",
                     [](int v) { return static_cast<int>(0.75f * static_cast<float>(v) + 64.0f); }};
const Tone kDarken{"darken",
                   darkenImage,
                   &StageFlags::darken,
                   " カラー画像を暗くしました\n",
                   " グレースケール画像を暗くしました\n",
                   [](int v) { return static_cast<int>(0.75f * static_cast<float>(v)); }};
const Tone kInvert{"invert",
                   invertImage,
                   &StageFlags::invert,
                   " カラー画像の明度の反転をしました\n",
                   " グレースケール画像の明度の反転をしました\n",
                   [](int v) { return 255 - v; }};
const Tone kTones[] = {kBrighten, kDarken, kInvert};

TestImage byDefinition(const Tone& tone, TestImage image) {
  for (auto& sample : image.pixels) sample = static_cast<std::uint8_t>(tone.byDefinition(sample));
  return image;
}

// Runs one tone stage on `image` (a colour image in grey mode when `toGrey`); returns `work`.
TestImage runTone(StageFixture& fx, const Tone& tone, const TestImage& image, bool toGrey = false) {
  fx.load(image, toGrey);
  fx.state.flags.*tone.flag = 1;
  tone.stage(fx.state);
  return fx.image();
}

TestImage oneGreyRow(const std::vector<std::uint8_t>& values) {
  return TestImage{static_cast<int>(values.size()), 1, 1, values};
}

TEST(Tone, SingleSampleTable) {
  struct Row {
    int old, brightened, darkened, inverted;
  };
  const Row table[] = {{0, 64, 0, 255},     {1, 64, 0, 254},    {2, 65, 1, 253},
                       {128, 160, 96, 127}, {254, 254, 190, 1}, {255, 255, 191, 0}};
  for (const Row& row : table) {
    EXPECT_EQ(brightened(static_cast<std::uint8_t>(row.old)), row.brightened) << row.old;
    EXPECT_EQ(darkened(static_cast<std::uint8_t>(row.old)), row.darkened) << row.old;
    EXPECT_EQ(inverted(static_cast<std::uint8_t>(row.old)), row.inverted) << row.old;
  }
}

// Every value 0 to 255 in every channel, through the stage on both paths.
TEST(Tone, EveryValueAsDefinedOnBothPaths) {
  std::vector<std::uint8_t> all;
  for (int v = 0; v < 256; ++v) all.push_back(static_cast<std::uint8_t>(v));
  TestImage grey = oneGreyRow(all);
  TestImage colour{256, 1, 3, {}};
  for (int v = 0; v < 256; ++v) {
    auto a = static_cast<std::uint8_t>(v);
    auto b = static_cast<std::uint8_t>(255 - v);
    auto c = static_cast<std::uint8_t>(v * 7);
    colour.pixels.insert(colour.pixels.end(), {a, b, c});
  }
  for (const Tone& tone : kTones) {
    StageFixture greyRun;
    EXPECT_EQ(runTone(greyRun, tone, grey), byDefinition(tone, grey)) << tone.name;
    EXPECT_EQ(greyRun.printed(), tone.greyMessage) << tone.name;
    StageFixture colourRun;
    EXPECT_EQ(runTone(colourRun, tone, colour), byDefinition(tone, colour)) << tone.name;
    EXPECT_EQ(colourRun.printed(), tone.colourMessage) << tone.name;
  }
}

TEST(Tone, MatchesTheDefinitionOnImagesOfOddSizes) {
  const int sizes[][3] = {{1, 1, 3}, {5, 3, 3}, {11, 7, 1}, {37, 2, 3}, {67, 5, 1}, {4096, 2, 3}};
  for (const Tone& tone : kTones) {
    for (const auto& size : sizes) {
      TestImage image = patternImage(size[0], size[1], size[2], static_cast<unsigned>(size[0]));
      StageFixture fx;
      EXPECT_EQ(runTone(fx, tone, image), byDefinition(tone, image))
          << tone.name << " " << size[0] << " x " << size[1] << " x " << size[2];
    }
  }
}

// A colour input converted to grey takes the grey path: one sample a pixel, grey message.
TEST(Tone, ConvertedImageTakesTheGreyPath) {
  TestImage colour = patternImage(6, 2, 3);
  for (const Tone& tone : kTones) {
    StageFixture fx;
    fx.load(colour, true);
    convertToGrey(fx.state);
    TestImage grey = fx.image();
    fx.state.flags.*tone.flag = 1;
    tone.stage(fx.state);
    EXPECT_EQ(fx.image(), byDefinition(tone, grey)) << tone.name;
    EXPECT_EQ(fx.printed(),
              std::string(" カラー画像のグレー画像への変換をしました\n") + tone.greyMessage)
        << tone.name;
  }
}

TEST(Tone, OffDoesNothingAndEmptyImageStillReports) {
  TestImage image = patternImage(5, 3, 3);
  for (const Tone& tone : kTones) {
    StageFixture off;
    off.load(image);
    tone.stage(off.state);
    EXPECT_EQ(off.image(), image) << tone.name;
    EXPECT_EQ(off.printed(), "") << tone.name;

    StageFixture empty;
    runTone(empty, tone, TestImage{0, 3, 3, {}});
    EXPECT_EQ(empty.printed(), tone.colourMessage) << tone.name;
  }
}

// Whole runs on a grey file of the samples 0, 128 and 255 (and one more, so that the rows of
// the file need no fill bytes).
TEST(Tone, OptionLinesCombineInTheFixedOrder) {
  struct Case {
    const char* line;
    std::vector<std::uint8_t> expected;
  };
  const Case cases[] = {
      {"9a", {48, 120, 191, 48}}, {"a9", {48, 120, 191, 48}}, {"9ab", {207, 135, 64, 207}},
      {"bb", {255, 127, 0, 255}}, {"b", {255, 127, 0, 255}},  {"9", {64, 160, 255, 64}},
  };
  for (const Case& c : cases) {
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(oneGreyRow({0, 128, 255, 0})));
    RunResult result = box.run(std::string("in.bmp\nout.bmp\n") + c.line + "\n");
    EXPECT_EQ(result.status, 0) << c.line << result.output;
    EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), oneGreyRow(c.expected)) << c.line;
  }
}

// The line 19 on a colour file: converted to grey, then brightened on the grey path.
TEST(Tone, ColourFileWithLine19IsWrittenGreyAndBrightened) {
  Sandbox box;
  TestImage image = patternImage(8, 3, 3);
  box.writeFile("in.bmp", buildBmp(image));
  RunResult result = box.run("in.bmp\nout.bmp\n19\n");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find(std::string(" カラー画像のグレー画像への変換をしました\n") +
                               kBrighten.greyMessage),
            std::string::npos)
      << result.output;
  TestImage expected{8, 3, 1, {}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 8; ++x) {
      int grey = (29 * image.at(x, y, 0) + 150 * image.at(x, y, 1) + 77 * image.at(x, y, 2)) >> 8;
      expected.pixels.push_back(static_cast<std::uint8_t>(kBrighten.byDefinition(grey)));
    }
  }
  EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), expected);
}

}  // namespace
}  // namespace pixamorph::testing
