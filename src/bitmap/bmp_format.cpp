// BMP header fields, the header gate and the output header.
#include "bitmap/bmp_format.h"

#include <algorithm>
#include <limits>

#include "dialogue/run_state.h"

namespace pixamorph {

std::uint16_t readLe16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readLe32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::int32_t readLeSigned32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(readLe32(bytes));
}

void writeLe16(std::uint8_t* bytes, std::uint16_t value) {
  bytes[0] = static_cast<std::uint8_t>(value);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

void writeLe32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::int64_t storedRowBytes(std::int64_t width, int bytesPerPixel) {
  return (width * bytesPerPixel + 3) / 4 * 4;
}

BmpFields parseFields(std::span<const std::uint8_t, kFileHeaderBytes> header) {
  const std::uint8_t* h = header.data();
  BmpFields fields;
  fields.signature[0] = h[0];
  fields.signature[1] = h[1];
  fields.pixelOffset = readLe32(h + 10);
  fields.infoHeaderSize = readLe32(h + 14);
  fields.width = readLeSigned32(h + 18);
  fields.height = readLeSigned32(h + 22);
  fields.bitsPerPixel = readLe16(h + 28);
  fields.compression = readLe32(h + 30);
  return fields;
}

namespace {

bool isNotABitmap(const BmpFields& f) {
  return f.signature[0] != 'B' || f.signature[1] != 'M' || f.infoHeaderSize < 40 || f.width < 0 ||
         f.height == std::numeric_limits<std::int32_t>::min();
}

bool isUnsupported(const BmpFields& f) {
  return (f.bitsPerPixel != 8 && f.bitsPerPixel != 24) || f.compression != 0;
}

// Files written by earlier versions of the program have rows back to back without fill bytes
// and end in two zero bytes; they are recognised by their exact length.
bool isUnpaddedForm(const PixelLayout& layout, std::int64_t fileLength) {
  std::int64_t packedRow = std::int64_t{layout.width} * layout.bytesPerPixel;
  std::int64_t unpaddedLength = layout.pixelStart + packedRow * layout.height + kClosingBytes;
  std::int64_t paddedLength = layout.pixelStart + layout.storedRowBytes * layout.height;
  return fileLength == unpaddedLength && unpaddedLength < paddedLength;
}

// The fill bytes after the last stored row may be missing; everything before them must be there.
bool isTruncated(const PixelLayout& layout, std::int64_t fileLength) {
  if (layout.width == 0 || layout.height == 0) return false;
  std::int64_t lastRow = std::int64_t{layout.width} * layout.bytesPerPixel;
  std::int64_t needed = layout.pixelStart + layout.storedRowBytes * (layout.height - 1) + lastRow;
  return fileLength < needed;
}

}  // namespace

HeaderVerdict classifyHeader(std::span<const std::uint8_t> header, std::int64_t fileLength,
                             PixelLayout& layout) {
  if (header.size() < kFileHeaderBytes || fileLength < kFileHeaderBytes) {
    return HeaderVerdict::NotABitmap;
  }
  BmpFields f = parseFields(header.first<kFileHeaderBytes>());
  if (isNotABitmap(f)) return HeaderVerdict::NotABitmap;
  if (isUnsupported(f)) return HeaderVerdict::Unsupported;

  // Bounded first: the width is not negative and the height is not INT32_MIN.
  PixelLayout found;
  found.width = f.width;
  found.topDown = f.height < 0;
  found.height = found.topDown ? -f.height : f.height;
  found.bytesPerPixel = f.bitsPerPixel / 8;
  found.tooLarge = found.width > kMaxSide || found.height > kMaxSide;
  found.pixelStart = std::max<std::int64_t>(kFileHeaderBytes, f.pixelOffset);
  found.storedRowBytes = storedRowBytes(found.width, found.bytesPerPixel);
  if (!found.tooLarge) {
    if (isUnpaddedForm(found, fileLength)) {
      found.storedRowBytes = std::int64_t{found.width} * found.bytesPerPixel;
    } else if (isTruncated(found, fileLength)) {
      return HeaderVerdict::Truncated;
    }
  }
  layout = found;
  return HeaderVerdict::Accepted;
}

std::size_t buildOutputHeader(std::span<std::uint8_t, kGreyPixelStart> header, std::int32_t width,
                              std::int32_t height, int bytesPerPixel) {
  bool grey = bytesPerPixel == 1;
  std::int64_t pixelStart = grey ? kGreyPixelStart : kFileHeaderBytes;
  std::int64_t imageBytes = storedRowBytes(width, bytesPerPixel) * height + kClosingBytes;
  std::uint8_t* h = header.data();
  std::fill(header.begin(), header.end(), std::uint8_t{0});
  h[0] = 'B';
  h[1] = 'M';
  writeLe32(h + 2, static_cast<std::uint32_t>(pixelStart + imageBytes));  // file size
  writeLe32(h + 10, static_cast<std::uint32_t>(pixelStart));              // pixel offset
  writeLe32(h + 14, 40);                                                  // info header size
  writeLe32(h + 18, static_cast<std::uint32_t>(width));                   // width
  writeLe32(h + 22, static_cast<std::uint32_t>(height));                  // height
  writeLe16(h + 26, 1);                                                   // planes
  writeLe16(h + 28, static_cast<std::uint16_t>(bytesPerPixel * 8));       // bits per pixel
  writeLe32(h + 30, 0);                                                   // compression
  writeLe32(h + 34, static_cast<std::uint32_t>(imageBytes));              // image size
  writeLe32(h + 38, 2834);  // horizontal resolution, pixels per metre
  writeLe32(h + 42, 2834);  // vertical resolution
  writeLe32(h + 46, 0);     // colours used
  writeLe32(h + 50, 0);     // important colours
  if (!grey) return kFileHeaderBytes;
  for (int i = 0; i < 256; ++i) {
    std::uint8_t* entry = h + kFileHeaderBytes + 4 * i;
    entry[0] = entry[1] = entry[2] = static_cast<std::uint8_t>(i);
    entry[3] = 0;
  }
  return kGreyPixelStart;
}

}  // namespace pixamorph
