// The BMP file format as this program reads and writes it: little-endian fields, row sizes,
// the header gate that decides whether an input can be read, and the output header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pixamorph {

inline constexpr std::int64_t kFileHeaderBytes = 54;
inline constexpr std::int64_t kPaletteBytes = 1024;
inline constexpr std::int64_t kGreyPixelStart = kFileHeaderBytes + kPaletteBytes;
// Both size fields of a written file count the two zero bytes that close it.
inline constexpr std::int64_t kClosingBytes = 2;

std::uint16_t readLe16(const std::uint8_t* bytes);
std::uint32_t readLe32(const std::uint8_t* bytes);
std::int32_t readLeSigned32(const std::uint8_t* bytes);
void writeLe16(std::uint8_t* bytes, std::uint16_t value);
void writeLe32(std::uint8_t* bytes, std::uint32_t value);

// A stored row of `width` pixels of `bytesPerPixel`, rounded up to a whole number of 4-byte units.
std::int64_t storedRowBytes(std::int64_t width, int bytesPerPixel);

// The header fields the program consults, whole and little-endian.
struct BmpFields {
  std::uint8_t signature[2] = {0, 0};
  std::uint32_t pixelOffset = 0;
  std::uint32_t infoHeaderSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
};

BmpFields parseFields(std::span<const std::uint8_t, kFileHeaderBytes> header);

enum class HeaderVerdict { Accepted, NotABitmap, Unsupported, Truncated };

// Where an accepted file keeps its pixels.
struct PixelLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // always positive: a top-down file says so in `topDown`
  int bytesPerPixel = 0;
  bool topDown = false;
  bool tooLarge = false;  // a side above kMaxSide: accepted here, refused by the reader
  std::int64_t pixelStart = 0;
  std::int64_t storedRowBytes = 0;
};

// The one gate before any pixel is read. The rules are checked in a fixed order and the first
// that fails gives the verdict; `layout` is filled for an accepted file. `header` may be shorter
// than 54 bytes (the file was), which makes it not a bitmap.
HeaderVerdict classifyHeader(std::span<const std::uint8_t> header, std::int64_t fileLength,
                             PixelLayout& layout);

// Builds the header of an output file of `width` × `height` pixels of `bytesPerPixel` into
// `header`: 54 bytes, followed by the grey-ramp palette for grey images. Returns its length.
std::size_t buildOutputHeader(std::span<std::uint8_t, kGreyPixelStart> header, std::int32_t width,
                              std::int32_t height, int bytesPerPixel);

}  // namespace pixamorph
