// What the fuzz targets share: checks that stop the run, a console on memory streams, the input
// file as a memory-backed descriptor, and planes kept from one input to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "dialogue/console.h"
#include "dialogue/run_state.h"

namespace pixamorph::fuzz {

// Prints what failed and aborts, so that libFuzzer and ctest both count the input as a crash.
[[noreturn]] void failCheck(const char* condition, const char* file, int line);

// A check that stays on in optimised builds, unlike assert.
#define FUZZ_CHECK(condition)         \
  ((condition) ? static_cast<void>(0) \
               : ::pixamorph::fuzz::failCheck(#condition, __FILE__, __LINE__))

// A console that reads `answers` and prints into memory.
class MemoryConsole {
 public:
  explicit MemoryConsole(std::string answers);
  ~MemoryConsole();
  MemoryConsole(const MemoryConsole&) = delete;
  MemoryConsole& operator=(const MemoryConsole&) = delete;

  Console& console() { return *console_; }
  // Everything printed so far.
  std::string printed();

 private:
  std::string answers_;
  std::FILE* in_;
  char* outBuffer_ = nullptr;
  std::size_t outSize_ = 0;
  std::FILE* out_;
  std::unique_ptr<Console> console_;
};

// An open descriptor on an unnamed in-memory file holding `bytes`, positioned at its start.
FileHandle memoryFile(std::span<const std::uint8_t> bytes);

// The two planes, provided once and then lent to each input's run state and given back
// afterwards: providing 100 MB per input would cost more than the run itself. They stay heap
// blocks of their own, so reads past either end of a plane are still caught.
class PlaneLoan {
 public:
  explicit PlaneLoan(RunState& state);
  ~PlaneLoan();
  PlaneLoan(const PlaneLoan&) = delete;
  PlaneLoan& operator=(const PlaneLoan&) = delete;

  // Makes the bytes of `work` near an image of `width` × `height` pixels of `pixelBytes` bytes, but
  // outside it, poisoned for AddressSanitizer, so that code reaching beyond the image inside the
  // plane is caught; `scratch` is left open.
  void guardImage(int width, int height, int pixelBytes);
  // Lifts every poisoning guardImage made.
  void unguard();

 private:
  RunState& state_;
  const std::uint8_t* guardedPlane_ = nullptr;
  int guardedRows_ = 0;
};

}  // namespace pixamorph::fuzz
