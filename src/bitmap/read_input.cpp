// The first stage: reports the input file and reads its pixel rows into `work`.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <vector>

#include "bitmap/bitmap.h"
#include "bitmap/bmp_format.h"
#include "bitmap/file_io.h"
#include "dialogue/console.h"
#include "dialogue/messages.h"

namespace pixamorph {

namespace {

void reportInput(RunState& state) {
  Console& console = state.console;
  console.printf(text::kInputSize, static_cast<long>(state.fileSize));
  if (state.channels == 3) console.print(text::kInputIsColour);
  if (state.channels == 1) console.print(text::kInputIsGrey);
  console.printf(text::kInputWidth, state.srcWidth);
  console.printf(text::kInputHeight, state.srcHeight);
}

// Reads the stored rows straight into the plane, dropping the fill bytes of every row but the
// last (whose fill bytes may be missing from the file). A top-down file fills the rows from the
// top.
bool readPixelRows(RunState& state) {
  const PixelLayout& layout = state.inLayout;
  if (layout.width == 0 || layout.height == 0) return true;
  if (lseek(state.inFile.fd, layout.pixelStart, SEEK_SET) != layout.pixelStart) return false;
  auto rowBytes =
      static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.bytesPerPixel);
  auto fillBytes = static_cast<std::size_t>(layout.storedRowBytes) - rowBytes;
  std::array<std::uint8_t, 3> fillSink;
  std::vector<iovec> buffers;
  buffers.reserve(static_cast<std::size_t>(layout.height) * 2);
  for (int stored = 0; stored < layout.height; ++stored) {
    int y = layout.topDown ? layout.height - 1 - stored : stored;
    buffers.push_back({state.work.row(y), rowBytes});
    if (fillBytes > 0 && stored + 1 < layout.height)
      buffers.push_back({fillSink.data(), fillBytes});
  }
  return readAll(state.inFile.fd, buffers);
}

}  // namespace

int openRegularFile(const std::string& name) {
  if (name.find('\0') != std::string::npos) return -1;
  int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

HeaderVerdict examineInput(RunState& state) {
  struct stat info;
  state.fileSize = fstat(state.inFile.fd, &info) == 0 ? info.st_size : 0;
  ssize_t got = pread(state.inFile.fd, state.header.data(), kFileHeaderBytes, 0);
  std::size_t length = got > 0 ? static_cast<std::size_t>(got) : 0;
  return classifyHeader(std::span(state.header.data(), length), state.fileSize, state.inLayout);
}

void readInput(RunState& state) {
  Console& console = state.console;
  console.print(text::kReadStart);
  // A grey input stays grey through the whole run, so its rows need kMaxSide bytes at most.
  const PixelLayout& layout = state.inLayout;
  std::ptrdiff_t rowBytes = std::ptrdiff_t{kMaxSide} * layout.bytesPerPixel;
  bool denseRows = std::ptrdiff_t{layout.width} * layout.bytesPerPixel * 2 >= rowBytes;
  if (!providePlanes(state, rowBytes, denseRows)) {
    console.print(text::kNoMemory);
    finishRun(state, 1);
    return;
  }
  console.print(text::kReadingPixels);

  state.srcWidth = state.width = layout.width;
  state.srcHeight = state.height = layout.height;
  state.x1 = 0;
  state.y1 = 0;
  state.x2 = state.width - 1;
  state.y2 = state.height - 1;
  state.channels = layout.bytesPerPixel;
  if (state.channels == 1) state.mode = PixelMode::GreyInput;
  reportInput(state);

  if (layout.tooLarge) {
    console.print(text::kInputTooLarge);
    state.inFile.close();
    finishRun(state, 1);
    return;
  }
  bool complete = readPixelRows(state);
  state.inFile.close();
  if (!complete) {
    console.print(text::kInputBrokenOff);
    finishRun(state, 1);
    return;
  }
  console.print(text::kReadDone);
}

}  // namespace pixamorph
