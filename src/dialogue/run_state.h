// The one record of state that every stage of a conversion run reads and changes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "bitmap/bmp_format.h"

namespace pixamorph {

class Console;

inline constexpr int kMaxSide = 4096;
// One row of a plane holds kMaxSide colour pixels of three bytes.
inline constexpr std::ptrdiff_t kRowBytes = 12288;

// A pixel plane of kMaxSide rows, `stride` bytes apart (kRowBytes, or less for a run that never
// holds colour pixels); row 0 is the bottom row of the image. Its memory is reserved but not
// touched, so only the rows an image uses become resident.
struct Plane {
  // Releases the aligned block that providePlanes reserved.
  struct Release {
    void operator()(std::uint8_t* block) const;
  };

  std::unique_ptr<std::uint8_t[], Release> bytes;
  std::ptrdiff_t stride = kRowBytes;

  std::uint8_t* row(int r) { return bytes.get() + r * stride; }
  const std::uint8_t* row(int r) const { return bytes.get() + r * stride; }
};

// How `work` holds pixels, and whether conversion to grey was asked for.
enum class PixelMode : std::int32_t { GreyInput = 0, Colour = 1, ColourToGrey = 2 };

// One flag per optional stage, 0 or 1, set from the option line.
struct StageFlags {
  std::int32_t trim = 0;
  std::int32_t resize = 0;
  std::int32_t turnRight = 0;
  std::int32_t turnLeft = 0;
  std::int32_t turn180 = 0;
  std::int32_t flipUpDown = 0;
  std::int32_t flipLeftRight = 0;
  std::int32_t brighten = 0;
  std::int32_t darken = 0;
  std::int32_t invert = 0;
  std::int32_t edges = 0;
};

// An open file descriptor that is closed when it goes out of scope.
struct FileHandle {
  int fd = -1;

  FileHandle() = default;
  explicit FileHandle(int descriptor) : fd(descriptor) {}
  FileHandle(FileHandle&& other) noexcept : fd(other.fd) { other.fd = -1; }
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { close(); }

  void close();
  bool isOpen() const { return fd >= 0; }
};

struct RunState {
  explicit RunState(Console& runConsole) : console(runConsole) {}

  Console& console;

  Plane work;
  Plane scratch;

  std::int32_t srcWidth = 0;
  std::int32_t srcHeight = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t channels = 0;
  PixelMode mode = PixelMode::Colour;
  StageFlags flags;

  std::int32_t x1 = 0;
  std::int32_t y1 = 0;
  std::int32_t x2 = 0;
  std::int32_t y2 = 0;

  std::string inName;
  std::string outName;
  std::array<std::uint8_t, 1078> header{};

  // The input file, opened and examined by the dialogue, read and closed by readInput.
  FileHandle inFile;
  PixelLayout inLayout;
  std::int64_t fileSize = 0;  // the true length of the input file

  // Set when the run ends before the pipeline is through; exitStatus is the process status.
  bool finished = false;
  int exitStatus = 0;
};

// Bytes per pixel of `work` in the current mode: 3 for colour, 1 for grey.
int bytesPerPixel(const RunState& state);

// True when the stages take their grey path.
inline bool isGrey(const RunState& state) { return state.mode != PixelMode::Colour; }

// Reserves the two planes, rows `rowBytes` apart (at most kRowBytes), without touching their
// pages; `hugePages` suits an image whose rows fill most of each plane row. False when the
// memory cannot be had.
bool providePlanes(RunState& state, std::ptrdiff_t rowBytes = kRowBytes, bool hugePages = false);

// Ends the run: no later stage runs and the process exits with `status`.
void finishRun(RunState& state, int status);

}  // namespace pixamorph
