// The fast trimming, turning and mirroring kernels against the plain pixel-by-pixel definitions,
// on many sizes: odd ones, the smallest ones and ones that cross the edges of the turn tiles.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ops/geometry.h"
#include "support/bmp_builder.h"

namespace pixamorph::testing {
namespace {

// Rows packed back to back, so that a byte written past a row's end lands in the next row.
// An empty image still gets an address, as every plane row has one.
geometry::Rows rowsOf(TestImage& image) {
  image.pixels.reserve(1);
  return {image.pixels.data(), static_cast<std::ptrdiff_t>(image.width * image.bytesPerPixel)};
}

TestImage blankImage(int width, int height, int bytesPerPixel) {
  return solidImage(width, height, bytesPerPixel, 0xEE);
}

void copyPixel(TestImage& to, int x, int y, const TestImage& from, int fromX, int fromY) {
  for (int k = 0; k < to.bytesPerPixel; ++k) to.at(x, y, k) = from.at(fromX, fromY, k);
}

TestImage trimmedByDefinition(const TestImage& in, int x1, int y1, int width, int height) {
  TestImage out = blankImage(width, height, in.bytesPerPixel);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) copyPixel(out, x, y, in, x + x1, y + y1);
  }
  return out;
}

// Pixel x of row y of a quarter or half turn, as the turn is defined.
TestImage turnedByDefinition(const TestImage& in, char option) {
  int newWidth = option == '6' ? in.width : in.height - in.height % 4;
  int newHeight = option == '6' ? in.height : in.width;
  TestImage out = blankImage(newWidth, newHeight, in.bytesPerPixel);
  for (int y = 0; y < newHeight; ++y) {
    for (int x = 0; x < newWidth; ++x) {
      if (option == '4') copyPixel(out, x, y, in, in.width - 1 - y, x);
      if (option == '5') copyPixel(out, x, y, in, y, newWidth - 1 - x);
      if (option == '6') copyPixel(out, x, y, in, in.width - 1 - x, in.height - 1 - y);
    }
  }
  return out;
}

TestImage flippedByDefinition(const TestImage& in, char option) {
  TestImage out = in;
  for (int y = 0; y < in.height; ++y) {
    for (int x = 0; x < in.width; ++x) {
      if (option == '7') copyPixel(out, x, y, in, x, in.height - 1 - y);
      if (option == '8') copyPixel(out, x, y, in, in.width - 1 - x, y);
    }
  }
  return out;
}

struct Size {
  int width;
  int height;
};

// Every small size, sizes on both sides of a tile edge, and random sizes up to three tiles.
std::vector<Size> testSizes() {
  std::vector<Size> sizes;
  for (int w = 0; w <= 9; ++w) {
    for (int h = 0; h <= 9; ++h) sizes.push_back({w, h});
  }
  for (int side : {127, 128, 129, 131}) {
    sizes.push_back({side, 5});
    sizes.push_back({7, side});
    sizes.push_back({side, side + 4});
  }
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> side(0, 3 * geometry::kTileSide + 3);
  for (int i = 0; i < 40; ++i) sizes.push_back({side(random), side(random)});
  return sizes;
}

TEST(GeometryKernels, QuarterAndHalfTurnsMatchTheirDefinitions) {
  for (Size size : testSizes()) {
    for (int bpp : {1, 3}) {
      TestImage in = patternImage(size.width, size.height, bpp, static_cast<unsigned>(size.width));
      SCOPED_TRACE(::testing::Message()
                   << size.width << " x " << size.height << ", " << bpp << " bytes per pixel");
      for (char option : {'4', '5'}) {
        TestImage source = in;
        TestImage out = blankImage(in.height - in.height % 4, in.width, bpp);
        geometry::turnQuarter(rowsOf(source), rowsOf(out), in.width, out.width, bpp,
                              option == '4' ? geometry::Turn::Right : geometry::Turn::Left);
        EXPECT_EQ(out, turnedByDefinition(in, option)) << "option " << option;
        EXPECT_EQ(source, in) << "option " << option << " changed its source";
      }
      TestImage half = in;
      geometry::turnHalf(rowsOf(half), in.width, in.height, bpp);
      EXPECT_EQ(half, turnedByDefinition(in, '6'));
    }
  }
}

TEST(GeometryKernels, SquareQuarterTurnsInPlaceMatchTheirDefinitions) {
  std::vector<int> sides = {0, 4, 8, 12, 124, 128, 132, 256, 260, 4 * geometry::kTileSide + 8};
  for (int side : sides) {
    for (int bpp : {1, 3}) {
      TestImage in = patternImage(side, side, bpp, static_cast<unsigned>(side) + 3);
      for (char option : {'4', '5'}) {
        TestImage turned = in;
        geometry::turnSquareInPlace(rowsOf(turned), side, bpp,
                                    option == '4' ? geometry::Turn::Right : geometry::Turn::Left);
        EXPECT_EQ(turned, turnedByDefinition(in, option))
            << side << " x " << side << ", " << bpp << " bytes per pixel, option " << option;
      }
    }
  }
}

TEST(GeometryKernels, FlipsMatchTheirDefinitions) {
  for (Size size : testSizes()) {
    for (int bpp : {1, 3}) {
      TestImage in = patternImage(size.width, size.height, bpp, static_cast<unsigned>(size.height));
      SCOPED_TRACE(::testing::Message()
                   << size.width << " x " << size.height << ", " << bpp << " bytes per pixel");
      TestImage upsideDown = in;
      geometry::flipTopToBottom(rowsOf(upsideDown), in.width, in.height, bpp);
      EXPECT_EQ(upsideDown, flippedByDefinition(in, '7'));
      TestImage mirrored = in;
      geometry::flipLeftToRight(rowsOf(mirrored), in.width, in.height, bpp);
      EXPECT_EQ(mirrored, flippedByDefinition(in, '8'));
    }
  }
}

// The move is checked in the source image's own rows, as the stage does it in place; bytes
// outside the moved region are left out of the comparison.
TEST(GeometryKernels, RegionMoveMatchesItsDefinition) {
  std::mt19937 random(7);
  for (Size size : testSizes()) {
    if (size.width < 2 || size.height < 2) continue;
    for (int bpp : {1, 3}) {
      TestImage in = patternImage(size.width, size.height, bpp, 3);
      for (int attempt = 0; attempt < 4; ++attempt) {
        int x1 = std::uniform_int_distribution<int>(0, size.width - 2)(random);
        int y1 = std::uniform_int_distribution<int>(0, size.height - 2)(random);
        if (attempt == 0) x1 = 0;
        if (attempt == 1) y1 = 0;
        int width = std::uniform_int_distribution<int>(0, size.width - x1)(random) / 4 * 4;
        int height = std::uniform_int_distribution<int>(1, size.height - y1)(random);
        SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height << ", " << bpp
                                          << " bytes per pixel, region " << width << " x " << height
                                          << " at " << x1 << ", " << y1);
        TestImage moved = in;
        geometry::moveRegionToOrigin(rowsOf(moved), x1, y1, width, height, bpp);
        TestImage result = blankImage(width, height, bpp);
        for (int y = 0; y < height; ++y) {
          for (int x = 0; x < width; ++x) copyPixel(result, x, y, moved, x, y);
        }
        EXPECT_EQ(result, trimmedByDefinition(in, x1, y1, width, height));
      }
    }
  }
}

// The first and last pixels of a row move as 3 bytes: a row that fills a whole plane row must
// not read or write past it. The bytes beyond the row stay as they were.
TEST(GeometryKernels, ReversingAFullRowStaysInsideIt) {
  for (int bpp : {1, 3}) {
    TestImage in = patternImage(kMaxSide, 1, bpp, 9);
    std::vector<std::uint8_t> row(in.pixels);
    row.push_back(0x5A);
    std::vector<std::uint8_t> reversed(row.size(), 0xA5);
    geometry::reversePixels(reversed.data(), row.data(), kMaxSide, bpp);
    TestImage expected = flippedByDefinition(in, '8');
    EXPECT_TRUE(std::equal(expected.pixels.begin(), expected.pixels.end(), reversed.begin()));
    EXPECT_EQ(reversed.back(), 0xA5) << bpp << " bytes per pixel";
  }
}

}  // namespace
}  // namespace pixamorph::testing
