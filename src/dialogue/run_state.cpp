// Small helpers over the run state: pixel size, the planes and the end of a run.
#include "dialogue/run_state.h"

#include <unistd.h>

#include <new>

namespace pixamorph {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    fd = other.fd;
    other.fd = -1;
  }
  return *this;
}

void FileHandle::close() {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

int bytesPerPixel(const RunState& state) { return state.mode == PixelMode::Colour ? 3 : 1; }

// new[] without an initialiser leaves the pages untouched, so they cost no resident memory.
bool providePlanes(RunState& state) {
  if (!state.work.bytes) state.work.bytes.reset(new (std::nothrow) std::uint8_t[kPlaneBytes]);
  if (!state.scratch.bytes) {
    state.scratch.bytes.reset(new (std::nothrow) std::uint8_t[kPlaneBytes]);
  }
  return state.work.bytes && state.scratch.bytes;
}

void finishRun(RunState& state, int status) {
  state.finished = true;
  state.exitStatus = status;
}

}  // namespace pixamorph
