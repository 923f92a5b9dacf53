// Checks, memory consoles, memory files and lent planes for the fuzz targets.
#include "fuzz_support.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pixamorph::fuzz {

namespace {

// Rows above the image that guardImage poisons too: enough to catch a stage that runs past the
// top or mixes up width and height, few enough to keep each input fast.
constexpr int kGuardMarginRows = 16;

// fmemopen refuses an empty buffer, so no answers is a stream that is at its end.
std::FILE* openAnswers(std::string& answers) {
  if (answers.empty()) return std::fopen("/dev/null", "r");
  return fmemopen(answers.data(), answers.size(), "r");
}

// The planes kept between inputs. libFuzzer calls a plain function for each input, so they can
// only live in a static.
std::array<Plane, 2>& sparePlanes() {
  static std::array<Plane, 2> planes;
  return planes;
}

}  // namespace

void failCheck(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}

MemoryConsole::MemoryConsole(std::string answers)
    : answers_(std::move(answers)),
      in_(openAnswers(answers_)),
      out_(open_memstream(&outBuffer_, &outSize_)) {
  FUZZ_CHECK(in_ != nullptr && out_ != nullptr);
  console_ = std::make_unique<Console>(in_, out_, false);
}

MemoryConsole::~MemoryConsole() {
  console_.reset();
  std::fclose(in_);
  std::fclose(out_);
  std::free(outBuffer_);
}

std::string MemoryConsole::printed() {
  std::fflush(out_);
  return std::string(outBuffer_, outSize_);
}

FileHandle memoryFile(std::span<const std::uint8_t> bytes) {
  FileHandle file(memfd_create("fuzz-input.bmp", MFD_CLOEXEC));
  FUZZ_CHECK(file.isOpen());
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote = write(file.fd, bytes.data() + done, bytes.size() - done);
    FUZZ_CHECK(wrote > 0);
    done += static_cast<std::size_t>(wrote);
  }
  FUZZ_CHECK(lseek(file.fd, 0, SEEK_SET) == 0);
  return file;
}

PlaneLoan::PlaneLoan(RunState& state) : state_(state) {
  std::array<Plane, 2>& spare = sparePlanes();
  state_.work = std::move(spare[0]);
  state_.scratch = std::move(spare[1]);
  FUZZ_CHECK(providePlanes(state_));
}

PlaneLoan::~PlaneLoan() {
  unguard();
  std::array<Plane, 2>& spare = sparePlanes();
  spare[0] = std::move(state_.work);
  spare[1] = std::move(state_.scratch);
}

void PlaneLoan::guardImage(int width, int height, int pixelBytes) {
  unguard();
  width = std::clamp(width, 0, kMaxSide);
  height = std::clamp(height, 0, kMaxSide);
  auto imageRowBytes = static_cast<std::size_t>(width * pixelBytes);
  int rows = std::min(kMaxSide, std::max(width, height) + kGuardMarginRows);
  std::uint8_t* first = state_.work.row(0);
  ASAN_POISON_MEMORY_REGION(
      first, static_cast<std::size_t>(rows) * static_cast<std::size_t>(state_.work.stride));
  for (int y = 0; y < height; ++y) ASAN_UNPOISON_MEMORY_REGION(state_.work.row(y), imageRowBytes);
  guardedPlane_ = first;
  guardedRows_ = rows;
}

void PlaneLoan::unguard() {
  if (guardedPlane_ == nullptr) return;
  ASAN_UNPOISON_MEMORY_REGION(guardedPlane_, static_cast<std::size_t>(guardedRows_) *
                                                 static_cast<std::size_t>(state_.work.stride));
  guardedPlane_ = nullptr;
  guardedRows_ = 0;
}

}  // namespace pixamorph::fuzz
