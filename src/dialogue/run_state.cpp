// Small helpers over the run state: pixel size, the planes and the end of a run.
#include "dialogue/run_state.h"

#include <sys/mman.h>
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

namespace {

// Huge pages make the first touch of a large image cost a few hundred page faults, not tens of
// thousands. The blocks are aligned to them so that they can be used where they are asked for.
constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

void providePlane(Plane& plane, std::ptrdiff_t rowBytes, bool hugePages) {
  if (plane.bytes) return;
  auto planeBytes = static_cast<std::size_t>(kMaxSide) * static_cast<std::size_t>(rowBytes);
  // new[] without an initialiser leaves the pages untouched, so they cost no resident memory.
  plane.bytes.reset(new (std::align_val_t{kHugePageBytes}, std::nothrow) std::uint8_t[planeBytes]);
  plane.stride = rowBytes;
  if (plane.bytes && hugePages) madvise(plane.bytes.get(), planeBytes, MADV_HUGEPAGE);
}

}  // namespace

void Plane::Release::operator()(std::uint8_t* block) const {
  ::operator delete[](block, std::align_val_t{kHugePageBytes});
}

bool providePlanes(RunState& state, std::ptrdiff_t rowBytes, bool hugePages) {
  providePlane(state.work, rowBytes, hugePages);
  providePlane(state.scratch, rowBytes, hugePages);
  return state.work.bytes && state.scratch.bytes;
}

void finishRun(RunState& state, int status) {
  state.finished = true;
  state.exitStatus = status;
}

}  // namespace pixamorph
