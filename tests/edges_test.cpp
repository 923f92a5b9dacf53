// Contour extraction (option c): the worked values, the white frame, small and empty images,
// the channels kept apart, and whole runs.
#include "ops/edges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "ops/ops.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

constexpr char kExtracted[] = " 輪郭を抽出しました\n";

// Weights by neighbour row (y − 1, y, y + 1, counted from the bottom) and column (x − 1, x, x + 1).
constexpr int kSobelX[3][3] = {{-1, 0, 1}, {-2, 0, 2}, {-1, 0, 1}};
constexpr int kSobelY[3][3] = {{-1, -2, -1}, {0, 0, 0}, {1, 2, 1}};

// The contour image as defined: white everywhere, then one pass a channel over the inner
// pixels, the sums taken column by column, the gain 0.75 in floating point and truncated.
TestImage contoursByDefinition(const TestImage& image) {
  TestImage out = image;
  std::fill(out.pixels.begin(), out.pixels.end(), std::uint8_t{255});
  for (int channel = 0; channel < image.bytesPerPixel; ++channel) {
    for (int y = 1; y < image.height - 1; ++y) {
      for (int x = 1; x < image.width - 1; ++x) {
        int sx = 0;
        int sy = 0;
        for (int column = 0; column < 3; ++column) {
          for (int row = 0; row < 3; ++row) {
            int v = image.at(x + column - 1, y + row - 1, channel);
            sx += kSobelX[row][column] * v;
            sy += kSobelY[row][column] * v;
          }
        }
        int s = std::abs(sx) + std::abs(sy);
        int r = std::min(255, static_cast<int>(static_cast<double>(0.75f) * s));
        out.at(x, y, channel) = static_cast<std::uint8_t>(255 - r);
      }
    }
  }
  return out;
}

TestImage runEdges(StageFixture& fx, const TestImage& image, bool toGrey = false) {
  fx.load(image, toGrey);
  fx.state.flags.edges = 1;
  extractEdges(fx.state);
  return fx.image();
}

// An image whose every pixel is `inside(x, y)` ? `v` : `ground` in every channel.
template <typename Inside>
TestImage drawn(int width, int height, int bytesPerPixel, std::uint8_t ground, std::uint8_t v,
                Inside inside) {
  TestImage image = solidImage(width, height, bytesPerPixel, ground);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < bytesPerPixel; ++c) {
        if (inside(x, y)) image.at(x, y, c) = v;
      }
    }
  }
  return image;
}

// A grey image of 0 left of a vertical border (or below a horizontal one) and v beyond it: a
// contour two pixels wide of 255 − min(255, 3v), white elsewhere.
TEST(Edges, StraightBorderGivesTwoPixelContour) {
  struct Case {
    int v, contour;
  };
  const Case cases[] = {{1, 252}, {84, 3}, {85, 0}, {200, 0}};
  for (const Case& c : cases) {
    auto v = static_cast<std::uint8_t>(c.v);
    TestImage vertical = drawn(8, 6, 1, 0, v, [](int x, int) { return x >= 4; });
    StageFixture fx;
    TestImage out = runEdges(fx, vertical);
    TestImage horizontal = drawn(6, 8, 1, 0, v, [](int, int y) { return y >= 4; });
    StageFixture fy;
    TestImage outY = runEdges(fy, horizontal);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 8; ++x) {
        bool inner = y > 0 && y < 5 && x > 0 && x < 7;
        int expected = inner && (x == 3 || x == 4) ? c.contour : 255;
        EXPECT_EQ(out.at(x, y), expected) << "vertical, v " << c.v << " at " << x << "," << y;
        EXPECT_EQ(outY.at(y, x), expected) << "horizontal, v " << c.v << " at " << y << "," << x;
      }
    }
  }
}

// A dot of v on 0: a ring of 255 − floor(1.5 v) around a white centre.
TEST(Edges, DotBecomesRingAroundWhiteCentre) {
  const int cases[][2] = {{64, 159}, {169, 2}, {170, 0}, {255, 0}};
  for (const auto& c : cases) {
    TestImage dot = drawn(7, 7, 1, 0, static_cast<std::uint8_t>(c[0]),
                          [](int x, int y) { return x == 3 && y == 3; });
    StageFixture fx;
    TestImage out = runEdges(fx, dot);
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 7; ++x) {
        bool ring = std::max(std::abs(x - 3), std::abs(y - 3)) == 1;
        EXPECT_EQ(out.at(x, y), ring ? c[1] : 255) << "v " << c[0] << " at " << x << "," << y;
      }
    }
  }
}

// Pure blue left of pure red: blue and red change across the border, green does not.
TEST(Edges, BorderBetweenBlueAndRedIsGreen) {
  TestImage image = solidImage(8, 5, 3, 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) image.at(x, y, x < 4 ? 0 : 2) = 255;
  }
  StageFixture fx;
  TestImage out = runEdges(fx, image);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool contour = y > 0 && y < 4 && (x == 3 || x == 4);
      EXPECT_EQ(out.at(x, y, 0), contour ? 0 : 255) << x << "," << y;
      EXPECT_EQ(out.at(x, y, 1), 255) << x << "," << y;
      EXPECT_EQ(out.at(x, y, 2), contour ? 0 : 255) << x << "," << y;
    }
  }
}

// The yardstick for the fused, vectorised sweep, with the frame and every channel included.
TEST(Edges, MatchesTheDefinitionOnImagesOfOddSizes) {
  const int sizes[][2] = {{3, 3}, {4, 7}, {5, 3}, {17, 5}, {33, 9}, {70, 4}, {4096, 3}};
  for (int bytesPerPixel : {1, 3}) {
    for (const auto& size : sizes) {
      TestImage image =
          patternImage(size[0], size[1], bytesPerPixel, static_cast<unsigned>(size[1]));
      StageFixture fx;
      EXPECT_EQ(runEdges(fx, image), contoursByDefinition(image))
          << size[0] << " x " << size[1] << " x " << bytesPerPixel;
    }
  }
}

// The response 255 − min(255, floor(0.75 s)) at the points where it steps, s split between
// the two sums in either sign.
TEST(Edges, ResponseAtItsSteps) {
  const int cases[][3] = {{0, 0, 255}, {1, 0, 255},    {0, -1, 255}, {-1, 1, 254},
                          {5, 0, 252}, {200, -139, 1}, {-340, 0, 0}, {1020, -1020, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(contourOf(c[0], c[1]), c[2]) << "sx " << c[0] << " sy " << c[1];
  }
}

// Low-contrast images give responses below the clamp, where the exact gain shows.
TEST(Edges, MatchesTheDefinitionBelowTheClamp) {
  for (int spread : {4, 40}) {
    TestImage image = patternImage(41, 13, 3, 7);
    for (auto& sample : image.pixels) sample = static_cast<std::uint8_t>(100 + sample % spread);
    StageFixture fx;
    EXPECT_EQ(runEdges(fx, image), contoursByDefinition(image)) << spread;
  }
}

TEST(Edges, ImagesOneOrTwoPixelsAcrossComeOutWhite) {
  const int sizes[][2] = {{1, 1}, {1, 6}, {2, 6}, {6, 1}, {6, 2}, {2, 2}};
  for (int bytesPerPixel : {1, 3}) {
    for (const auto& size : sizes) {
      StageFixture fx;
      TestImage out = runEdges(fx, patternImage(size[0], size[1], bytesPerPixel));
      EXPECT_EQ(out, solidImage(size[0], size[1], bytesPerPixel, 255))
          << size[0] << " x " << size[1] << " x " << bytesPerPixel;
      EXPECT_EQ(fx.printed(), kExtracted);
    }
  }
}

TEST(Edges, EmptyImageStillReportsOnBothPaths) {
  for (auto [width, bytesPerPixel] : {std::pair{0, 1}, std::pair{0, 3}}) {
    StageFixture fx;
    runEdges(fx, TestImage{width, 5, bytesPerPixel, {}});
    EXPECT_EQ(fx.printed(), kExtracted) << bytesPerPixel;
  }
  StageFixture converted;
  runEdges(converted, patternImage(4, 4, 3), true);
  EXPECT_EQ(converted.printed(), kExtracted);
}

TEST(Edges, OffDoesNothing) {
  TestImage image = patternImage(5, 4, 3);
  StageFixture fx;
  fx.load(image);
  extractEdges(fx.state);
  EXPECT_EQ(fx.image(), image);
  EXPECT_EQ(fx.printed(), "");
}

// The weights of each table add up to 0, so inverting first changes no contour.
TEST(Edges, InvertingFirstChangesNothing) {
  for (int bytesPerPixel : {1, 3}) {
    TestImage image = patternImage(13, 6, bytesPerPixel, 3);
    StageFixture alone;
    TestImage expected = runEdges(alone, image);
    StageFixture inverted;
    inverted.load(image);
    inverted.state.flags.invert = 1;
    inverted.state.flags.edges = 1;
    invertImage(inverted.state);
    extractEdges(inverted.state);
    EXPECT_EQ(inverted.image(), expected) << bytesPerPixel;
  }
}

TEST(Edges, WholeRunsInColourAndAfterGreyConversion) {
  TestImage image = patternImage(12, 5, 3);
  TestImage grey{12, 5, 1, {}};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 12; ++x) {
      int sum = 29 * image.at(x, y, 0) + 150 * image.at(x, y, 1) + 77 * image.at(x, y, 2);
      grey.pixels.push_back(static_cast<std::uint8_t>(sum >> 8));
    }
  }
  const std::pair<const char*, TestImage> cases[] = {{"c", contoursByDefinition(image)},
                                                     {"c1", contoursByDefinition(grey)}};
  for (const auto& [line, expected] : cases) {
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(image));
    RunResult result = box.run(std::string("in.bmp\nout.bmp\n") + line + "\n");
    EXPECT_EQ(result.status, 0) << line << result.output;
    EXPECT_NE(result.output.find(kExtracted), std::string::npos) << line << result.output;
    EXPECT_EQ(decodeBmp(box.readFile("out.bmp")), expected) << line;
  }
}

}  // namespace
}  // namespace pixamorph::testing
