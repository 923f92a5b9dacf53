// Small BMP images built in code for the tests: pixel patterns, input files in the forms the
// program must read, and a decoder for the files it writes.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace pixamorph::testing {

// An image with packed rows, bottom row first, as the program's planes hold it.
struct TestImage {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 3;
  std::vector<std::uint8_t> pixels;

  std::uint8_t& at(int x, int y, int channel = 0) {
    return pixels[static_cast<std::size_t>((y * width + x) * bytesPerPixel + channel)];
  }
  std::uint8_t at(int x, int y, int channel = 0) const {
    return pixels[static_cast<std::size_t>((y * width + x) * bytesPerPixel + channel)];
  }
  friend bool operator==(const TestImage&, const TestImage&) = default;
};

// Shows an image in a failed expectation: its size and its samples, row by row.
void PrintTo(const TestImage& image, std::ostream* out);

// An image whose every sample differs from its neighbours and whose channels differ, so that
// no flip, turn or channel swap leaves it unchanged.
TestImage patternImage(int width, int height, int bytesPerPixel, unsigned seed = 1);
// An image of one value in every sample.
TestImage solidImage(int width, int height, int bytesPerPixel, std::uint8_t value);

// How an input file is laid out.
struct BmpForm {
  bool topDown = false;           // negative height, top row stored first
  bool unpadded = false;          // rows back to back and two closing zero bytes
  bool dropLastFill = false;      // the fill bytes after the last row left out
  std::uint32_t pixelOffset = 0;  // 0: right after the header (and palette)
  std::uint32_t infoHeaderSize = 40;
};

std::vector<std::uint8_t> buildBmp(const TestImage& image, const BmpForm& form = {});

// The whole little-endian field at `offset` of a file.
std::uint32_t fieldAt(const std::vector<std::uint8_t>& file, std::size_t offset, int bytes = 4);
void setField(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value,
              int bytes = 4);

// Decodes a file in the form the program writes (padded rows, bottom-up).
TestImage decodeBmp(const std::vector<std::uint8_t>& file);

}  // namespace pixamorph::testing
