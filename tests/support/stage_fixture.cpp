// In-memory console and planes for stage tests.
#include "support/stage_fixture.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace pixamorph::testing {

namespace {

// fmemopen refuses an empty buffer, so an empty answer is a stream that is at its end.
std::FILE* openAnswers(std::string& answers) {
  if (answers.empty()) return std::fopen("/dev/null", "r");
  return fmemopen(answers.data(), answers.size(), "r");
}

}  // namespace

std::string dimensionsMessage(int width, int height) {
  return " （出力画像の寸法は " + std::to_string(width) + "×" + std::to_string(height) +
         " となります）\n";
}

StageFixture::StageFixture(const std::string& answers)
    : answers_(answers),
      in_(openAnswers(answers_)),
      out_(open_memstream(&outBuffer_, &outSize_)),
      console_(std::make_unique<Console>(in_, out_, false)),
      state(*console_) {
  if (in_ == nullptr || out_ == nullptr) throw std::runtime_error("cannot open memory streams");
}

StageFixture::~StageFixture() {
  console_.reset();
  std::fclose(in_);
  std::fclose(out_);
  std::free(outBuffer_);
}

void StageFixture::load(const TestImage& image, bool toGrey) {
  if (!providePlanes(state)) throw std::runtime_error("no memory for the planes");
  state.srcWidth = state.width = image.width;
  state.srcHeight = state.height = image.height;
  state.channels = image.bytesPerPixel;
  state.mode = image.bytesPerPixel == 1 ? PixelMode::GreyInput
                                        : (toGrey ? PixelMode::ColourToGrey : PixelMode::Colour);
  state.x1 = 0;
  state.y1 = 0;
  state.x2 = image.width - 1;
  state.y2 = image.height - 1;
  auto rowBytes = static_cast<std::size_t>(image.width * image.bytesPerPixel);
  for (int y = 0; y < image.height && rowBytes > 0; ++y) {
    std::memcpy(state.work.row(y), image.pixels.data() + static_cast<std::size_t>(y) * rowBytes,
                rowBytes);
  }
}

TestImage StageFixture::image() const {
  TestImage image{state.width, state.height, bytesPerPixel(state), {}};
  auto rowBytes = static_cast<std::size_t>(image.width * image.bytesPerPixel);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* row = state.work.row(y);
    image.pixels.insert(image.pixels.end(), row, row + rowBytes);
  }
  return image;
}

std::string StageFixture::printed() {
  std::fflush(out_);
  return std::string(outBuffer_, outSize_);
}

}  // namespace pixamorph::testing
