// A run state for calling one stage directly: a console on in-memory streams (the answers the
// stage will read, and everything it prints) and planes holding a test image.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "dialogue/console.h"
#include "dialogue/run_state.h"
#include "support/bmp_builder.h"

namespace pixamorph::testing {

// The three ways a stage meets pixels: colour, an 8-bit input, a 24-bit input with option 1.
struct PixelPath {
  const char* name;
  int bytesPerPixel;
  bool toGrey;
};
inline constexpr PixelPath kPixelPaths[] = {
    {"colour", 3, false}, {"grey input", 1, false}, {"colour with option 1", 3, true}};

// The message every size-changing stage prints for its new size, width first.
std::string dimensionsMessage(int width, int height);

class StageFixture {
 public:
  // `answers` is what the console will read; `mode` is the pixel mode the dialogue chose.
  explicit StageFixture(const std::string& answers = "");
  ~StageFixture();
  StageFixture(const StageFixture&) = delete;
  StageFixture& operator=(const StageFixture&) = delete;

  // Puts `image` into `work` as readInput would: sizes, channels, mode and trim rectangle.
  // A colour image with `toGrey` is left as readInput leaves it when option 1 was typed.
  void load(const TestImage& image, bool toGrey = false);
  // The image `work` holds now, in the current mode and size.
  TestImage image() const;
  // Everything the stage printed so far.
  std::string printed();

 private:
  std::string answers_;
  std::FILE* in_;
  char* outBuffer_ = nullptr;
  std::size_t outSize_ = 0;
  std::FILE* out_;
  std::unique_ptr<Console> console_;

 public:
  RunState state;
};

}  // namespace pixamorph::testing
