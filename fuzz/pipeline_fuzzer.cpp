// Fuzz target for the option line and the stages between reading and writing. The input chooses
// a small image, the option line and what the console answers to the stages' prompts; the image
// is read from a file the program could have written, then the stages run in their fixed order.
//
// Input layout: byte 0 bit 0 picks an 8-bit (grey) file over a 24-bit one; bytes 1 and 2 give the
// width and the height (each modulo 41); byte 3 is the length n of the console text that follows
// (the option line, then the answers); the bytes after the text fill the pixels, repeated.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "bitmap/bmp_format.h"
#include "dialogue/dialogue.h"
#include "dialogue/messages.h"
#include "fuzz_support.h"
#include "ops/ops.h"

namespace pixamorph::fuzz {

namespace {

constexpr int kLargestSide = 40;
// The option line is read as the dialogue reads it: at most this many characters, line end
// included.
constexpr std::size_t kOptionLineChars = 17;

struct ChosenImage {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 3;
  std::string answers;
  std::span<const std::uint8_t> pixelSource;
};

ChosenImage chooseImage(std::span<const std::uint8_t> data) {
  ChosenImage image;
  image.bytesPerPixel = (data[0] & 1) != 0 ? 1 : 3;
  image.width = data[1] % (kLargestSide + 1);
  image.height = data[2] % (kLargestSide + 1);
  std::size_t textLength = std::min<std::size_t>(data[3], data.size() - 4);
  image.answers.assign(data.begin() + 4,
                       data.begin() + 4 + static_cast<std::ptrdiff_t>(textLength));
  image.pixelSource = data.subspan(4 + textLength);
  return image;
}

// The image as a file in the form the program writes: padded rows and two closing zero bytes.
std::vector<std::uint8_t> buildFile(const ChosenImage& image) {
  std::array<std::uint8_t, kGreyPixelStart> header;
  std::size_t headerLength =
      buildOutputHeader(header, image.width, image.height, image.bytesPerPixel);
  std::vector<std::uint8_t> file(header.begin(),
                                 header.begin() + static_cast<std::ptrdiff_t>(headerLength));
  auto rowBytes = static_cast<std::size_t>(image.width * image.bytesPerPixel);
  auto storedBytes = static_cast<std::size_t>(storedRowBytes(image.width, image.bytesPerPixel));
  std::size_t next = 0;
  for (int y = 0; y < image.height; ++y) {
    for (std::size_t i = 0; i < rowBytes; ++i, ++next) {
      file.push_back(
          image.pixelSource.empty() ? 255 : image.pixelSource[next % image.pixelSource.size()]);
    }
    file.resize(file.size() + storedBytes - rowBytes, 0);
  }
  file.resize(file.size() + static_cast<std::size_t>(kClosingBytes), 0);
  return file;
}

bool isOptionCharacter(char c) { return (c >= '1' && c <= '9') || (c >= 'a' && c <= 'c'); }

// One optional stage and the condition under which it does anything at all.
struct Stage {
  void (*run)(RunState&);
  bool (*chosen)(const RunState&);
};

constexpr std::array<Stage, 12> kStages = {{
    {convertToGrey,
     [](const RunState& s) { return s.mode == PixelMode::ColourToGrey && s.channels == 3; }},
    {trimImage, [](const RunState& s) { return s.flags.trim == 1; }},
    {resizeImage, [](const RunState& s) { return s.flags.resize == 1; }},
    {rotateRight90, [](const RunState& s) { return s.flags.turnRight == 1; }},
    {rotateLeft90, [](const RunState& s) { return s.flags.turnLeft == 1; }},
    {rotate180, [](const RunState& s) { return s.flags.turn180 == 1; }},
    {flipVertical, [](const RunState& s) { return s.flags.flipUpDown == 1; }},
    {flipHorizontal, [](const RunState& s) { return s.flags.flipLeftRight == 1; }},
    {brightenImage, [](const RunState& s) { return s.flags.brighten == 1; }},
    {darkenImage, [](const RunState& s) { return s.flags.darken == 1; }},
    {invertImage, [](const RunState& s) { return s.flags.invert == 1; }},
    {extractEdges, [](const RunState& s) { return s.flags.edges == 1; }},
}};

// What a stage must not change, and where its printing starts.
struct BeforeStage {
  std::int32_t width;
  std::int32_t height;
  std::int32_t srcWidth;
  std::int32_t srcHeight;
  std::int32_t channels;
  PixelMode mode;
  const std::uint8_t* work;
  std::size_t printedLength;
};

BeforeStage snapshot(const RunState& state, std::size_t printedLength) {
  return {state.width,    state.height, state.srcWidth,    state.srcHeight,
          state.channels, state.mode,   state.work.row(0), printedLength};
}

std::string formatted(const char* format, int first, int second) {
  char buffer[256];
  int length = std::snprintf(buffer, sizeof buffer, format, first, second);
  return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The last dimensions message a stage printed names the size it left; a stage that changed the
// size must have printed one.
void checkAnnouncedSize(const std::string& printed, const RunState& state, bool sizeChanged) {
  std::string format = text::kDimensions;
  std::string lead = format.substr(0, format.find("%d"));
  std::size_t at = printed.rfind(lead);
  if (at == std::string::npos) {
    FUZZ_CHECK(!sizeChanged);
    return;
  }
  std::string expected = formatted(text::kDimensions, state.width, state.height);
  FUZZ_CHECK(printed.compare(at, expected.size(), expected) == 0);
}

// A stage that ran left an image that fits the planes, in the pixel form it found.
void checkStageResult(const RunState& state, const BeforeStage& before,
                      const std::string& printed) {
  FUZZ_CHECK(state.width >= 0 && state.width <= kMaxSide);
  FUZZ_CHECK(state.height >= 0 && state.height <= kMaxSide);
  FUZZ_CHECK(state.mode == before.mode && state.channels == before.channels);
  FUZZ_CHECK(state.srcWidth == before.srcWidth && state.srcHeight == before.srcHeight);
  bool sizeChanged = state.width != before.width || state.height != before.height;
  checkAnnouncedSize(printed, state, sizeChanged);
}

void runStages(RunState& state, MemoryConsole& console, PlaneLoan& planes) {
  // Until the conversion to grey has run, `work` holds the pixels in the file's form.
  int storedPixelBytes = state.channels;
  for (const Stage& stage : kStages) {
    planes.guardImage(state.width, state.height, storedPixelBytes);
    BeforeStage before = snapshot(state, console.printed().size());
    bool chosen = stage.chosen(state);
    stage.run(state);
    std::string printed = console.printed().substr(before.printedLength);
    if (!chosen) {
      FUZZ_CHECK(printed.empty() && !state.finished);
      FUZZ_CHECK(state.width == before.width && state.height == before.height);
      FUZZ_CHECK(state.work.row(0) == before.work);
      continue;
    }
    if (state.finished) {
      FUZZ_CHECK(state.exitStatus == 1 && endsWith(printed, text::kEndOfInput));
      return;
    }
    checkStageResult(state, before, printed);
    storedPixelBytes = bytesPerPixel(state);
  }
}

// The image the stages left would be written with a header that the program's own gate accepts
// with the same size and form, so the output can be read back.
void checkWritable(const RunState& state) {
  std::array<std::uint8_t, kGreyPixelStart> header;
  int pixelBytes = bytesPerPixel(state);
  std::size_t headerLength = buildOutputHeader(header, state.width, state.height, pixelBytes);
  std::int64_t fileLength = static_cast<std::int64_t>(headerLength) +
                            storedRowBytes(state.width, pixelBytes) * state.height + kClosingBytes;
  PixelLayout layout;
  FUZZ_CHECK(classifyHeader(std::span(header).first(headerLength), fileLength, layout) ==
             HeaderVerdict::Accepted);
  FUZZ_CHECK(layout.width == state.width && layout.height == state.height);
  FUZZ_CHECK(layout.bytesPerPixel == pixelBytes && !layout.tooLarge);
}

}  // namespace

}  // namespace pixamorph::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pixamorph;
  using namespace pixamorph::fuzz;
  if (size < 4) return 0;
  ChosenImage image = chooseImage(std::span(data, size));
  MemoryConsole console(image.answers);
  RunState state(console.console());
  PlaneLoan planes(state);

  std::string line;
  if (console.console().readLine(line, kOptionLineChars) != ReadResult::Read) return 0;
  if (!isOptionCharacter(line[0])) return 0;
  applyOptionLine(state, line);

  state.inFile = memoryFile(buildFile(image));
  FUZZ_CHECK(examineInput(state) == HeaderVerdict::Accepted);
  planes.guardImage(image.width, image.height, image.bytesPerPixel);
  readInput(state);
  FUZZ_CHECK(!state.finished);
  FUZZ_CHECK(state.width == image.width && state.height == image.height);
  runStages(state, console, planes);
  if (!state.finished) checkWritable(state);
  return 0;
}
