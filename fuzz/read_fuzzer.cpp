// Fuzz target for the header gate and the pixel reader: the input is the whole file, examined
// and read through a file descriptor exactly as the dialogue and readInput do it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>

#include "bitmap/bitmap.h"
#include "bitmap/bmp_format.h"
#include "dialogue/messages.h"
#include "fuzz_support.h"

namespace pixamorph::fuzz {

namespace {

std::uint32_t fieldAt(std::span<const std::uint8_t> file, std::size_t offset, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | file[offset + static_cast<std::size_t>(i)];
  return value;
}

std::string formatted(const char* format, long value) {
  char buffer[256];
  int length = std::snprintf(buffer, sizeof buffer, format, value);
  return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// An accepted header is one the program can read: checked against the raw fields, and for an
// image within the size limit, every byte of it but the last row's fill lies inside the file.
void checkAcceptedLayout(std::span<const std::uint8_t> file, const PixelLayout& layout) {
  FUZZ_CHECK(file.size() >= static_cast<std::size_t>(kFileHeaderBytes));
  FUZZ_CHECK(file[0] == 'B' && file[1] == 'M');
  FUZZ_CHECK(fieldAt(file, 14, 4) >= 40);
  FUZZ_CHECK(fieldAt(file, 30, 4) == 0);
  std::uint32_t bits = fieldAt(file, 28, 2);
  FUZZ_CHECK(bits == 8 || bits == 24);
  auto width = static_cast<std::int32_t>(fieldAt(file, 18, 4));
  auto height = static_cast<std::int32_t>(fieldAt(file, 22, 4));
  FUZZ_CHECK(width >= 0 && height != std::numeric_limits<std::int32_t>::min());

  std::int64_t packedRow = std::int64_t{width} * (bits / 8);
  FUZZ_CHECK(layout.width == width);
  FUZZ_CHECK(layout.height == (height < 0 ? -std::int64_t{height} : height));
  FUZZ_CHECK(layout.topDown == (height < 0));
  FUZZ_CHECK(layout.bytesPerPixel == static_cast<int>(bits / 8));
  FUZZ_CHECK(layout.pixelStart == std::max<std::int64_t>(kFileHeaderBytes, fieldAt(file, 10, 4)));
  FUZZ_CHECK(layout.tooLarge == (layout.width > kMaxSide || layout.height > kMaxSide));
  if (layout.tooLarge || layout.width == 0 || layout.height == 0) return;
  FUZZ_CHECK(layout.storedRowBytes == packedRow ||
             layout.storedRowBytes == (packedRow + 3) / 4 * 4);
  auto needed = layout.pixelStart + layout.storedRowBytes * (layout.height - 1) + packedRow;
  FUZZ_CHECK(static_cast<std::int64_t>(file.size()) >= needed);
}

// What readInput left: the announced sizes, and every stored row in its place in `work`.
void checkReadImage(std::span<const std::uint8_t> file, const RunState& state,
                    const std::string& printed) {
  const PixelLayout& layout = state.inLayout;
  FUZZ_CHECK(!state.finished && state.exitStatus == 0);
  FUZZ_CHECK(!state.inFile.isOpen());
  FUZZ_CHECK(state.srcWidth == layout.width && state.width == layout.width);
  FUZZ_CHECK(state.srcHeight == layout.height && state.height == layout.height);
  FUZZ_CHECK(state.channels == layout.bytesPerPixel);
  FUZZ_CHECK(state.mode == (layout.bytesPerPixel == 1 ? PixelMode::GreyInput : PixelMode::Colour));
  FUZZ_CHECK(state.x1 == 0 && state.y1 == 0);
  FUZZ_CHECK(state.x2 == state.width - 1 && state.y2 == state.height - 1);
  FUZZ_CHECK(contains(printed, formatted(text::kInputSize, static_cast<long>(file.size()))));
  FUZZ_CHECK(contains(printed, formatted(text::kInputWidth, layout.width)));
  FUZZ_CHECK(contains(printed, formatted(text::kInputHeight, layout.height)));
  FUZZ_CHECK(contains(printed, text::kReadDone));

  auto rowBytes = static_cast<std::size_t>(layout.width * layout.bytesPerPixel);
  for (int stored = 0; stored < layout.height; ++stored) {
    int y = layout.topDown ? layout.height - 1 - stored : stored;
    auto start = static_cast<std::size_t>(layout.pixelStart + layout.storedRowBytes * stored);
    FUZZ_CHECK(std::memcmp(state.work.row(y), file.data() + start, rowBytes) == 0);
  }
}

void checkRefusedAsTooLarge(const RunState& state, const std::string& printed) {
  FUZZ_CHECK(state.finished && state.exitStatus == 1);
  FUZZ_CHECK(!state.inFile.isOpen());
  FUZZ_CHECK(contains(printed, text::kInputTooLarge));
  FUZZ_CHECK(!contains(printed, text::kReadDone));
}

}  // namespace

}  // namespace pixamorph::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pixamorph;
  using namespace pixamorph::fuzz;
  std::span<const std::uint8_t> file(data, size);
  MemoryConsole console("");
  RunState state(console.console());
  PlaneLoan planes(state);
  state.inFile = memoryFile(file);

  HeaderVerdict verdict = examineInput(state);
  FUZZ_CHECK(state.fileSize == static_cast<std::int64_t>(size));
  if (verdict != HeaderVerdict::Accepted) return 0;
  checkAcceptedLayout(file, state.inLayout);

  // The reader may write the image and nothing else of `work`.
  const PixelLayout& layout = state.inLayout;
  if (!layout.tooLarge) planes.guardImage(layout.width, layout.height, layout.bytesPerPixel);
  readInput(state);
  if (layout.tooLarge) {
    checkRefusedAsTooLarge(state, console.printed());
  } else {
    checkReadImage(file, state, console.printed());
  }
  return 0;
}
