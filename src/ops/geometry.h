// Pure kernels of trimming, turning and mirroring over image rows, with no console and no files.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "dialogue/run_state.h"

namespace pixamorph::geometry {

// Image rows: row r (0 = the bottom row) starts `stride` bytes after row r - 1. A plane is one
// such view; the tests use tightly packed buffers so that a stray write shows.
struct Rows {
  std::uint8_t* first;
  std::ptrdiff_t stride;

  std::uint8_t* row(int r) const { return first + r * stride; }
};

inline Rows rowsOf(Plane& plane) { return {plane.row(0), plane.stride}; }

constexpr std::size_t byteCount(int pixels, int bytesPerPixel) {
  return static_cast<std::size_t>(pixels) * static_cast<std::size_t>(bytesPerPixel);
}

// Moves the `width` × `height` region whose lower-left pixel is (x1, y1) to the lower-left
// corner, in place. Every source lies in the same row as its destination or above it, and in the
// same row at or to the right of it, so moving the rows in ascending order reads each pixel
// before anything overwrites it.
inline void moveRegionToOrigin(Rows rows, int x1, int y1, int width, int height,
                               int bytesPerPixel) {
  if (x1 == 0 && y1 == 0) return;
  std::size_t offset = byteCount(x1, bytesPerPixel);
  std::size_t length = byteCount(width, bytesPerPixel);
  for (int y = 0; y < height; ++y) std::memmove(rows.row(y), rows.row(y + y1) + offset, length);
}

// dst pixel x = src pixel width − 1 − x, for pixels of 3 bytes; the rows do not overlap.
inline void reverseColourPixels(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                                int width) {
  if (width <= 0) return;
  const std::uint8_t* last = src + byteCount(width - 1, 3);
  // The source's last pixel goes first and alone: a 4-byte load there would pass the row's end.
  std::memcpy(dst, last, 3);
  // Each pixel moves as 4 bytes; the byte stored past it is overwritten by the next pixel.
  for (int x = 1; x < width - 1; ++x) {
    std::uint32_t pixel;
    std::memcpy(&pixel, last - byteCount(x, 3), 4);
    std::memcpy(dst + byteCount(x, 3), &pixel, 4);
  }
  if (width > 1) std::memcpy(dst + byteCount(width - 1, 3), src, 3);
}

// dst byte x = src byte width − 1 − x; the rows do not overlap.
inline void reverseGreyPixels(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                              int width) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    std::uint64_t eight;
    std::memcpy(&eight, src + (width - 8 - x), 8);
    eight = __builtin_bswap64(eight);
    std::memcpy(dst + x, &eight, 8);
  }
  for (; x < width; ++x) dst[x] = src[width - 1 - x];
}

// dst pixel x = src pixel width − 1 − x; the bytes of a pixel keep their order.
inline void reversePixels(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                          int width, int bytesPerPixel) {
  if (bytesPerPixel == 3) {
    reverseColourPixels(dst, src, width);
  } else {
    reverseGreyPixels(dst, src, width);
  }
}

// A row's worth of room for reversing a row in place.
using RowBuffer = std::array<std::uint8_t, kRowBytes>;

// Reverses the pixels of one row in place, through `buffer`.
inline void reverseRowInPlace(std::uint8_t* row, int width, int bytesPerPixel, RowBuffer& buffer) {
  reversePixels(buffer.data(), row, width, bytesPerPixel);
  std::memcpy(row, buffer.data(), byteCount(width, bytesPerPixel));
}

// Upside down, in place: row y trades places with row height − 1 − y; an odd middle row stays.
inline void flipTopToBottom(Rows rows, int width, int height, int bytesPerPixel) {
  std::size_t length = byteCount(width, bytesPerPixel);
  for (int y = 0; y < height / 2; ++y) {
    std::uint8_t* low = rows.row(y);
    std::swap_ranges(low, low + length, rows.row(height - 1 - y));
  }
}

// Left to right, in place: pixel x of every row trades places with pixel width − 1 − x.
inline void flipLeftToRight(Rows rows, int width, int height, int bytesPerPixel) {
  RowBuffer buffer;
  for (int y = 0; y < height; ++y) reverseRowInPlace(rows.row(y), width, bytesPerPixel, buffer);
}

// A half turn in place: pixel x of row y trades places with pixel width − 1 − x of row
// height − 1 − y, which is both flips in one pass over the rows.
inline void turnHalf(Rows rows, int width, int height, int bytesPerPixel) {
  RowBuffer buffer;
  std::size_t length = byteCount(width, bytesPerPixel);
  for (int y = 0; y < height / 2; ++y) {
    std::uint8_t* low = rows.row(y);
    std::uint8_t* high = rows.row(height - 1 - y);
    reversePixels(buffer.data(), low, width, bytesPerPixel);
    reversePixels(low, high, width, bytesPerPixel);
    std::memcpy(high, buffer.data(), length);
  }
  if (height % 2 == 1) reverseRowInPlace(rows.row(height / 2), width, bytesPerPixel, buffer);
}

// Quarter turns go through square tiles of this many pixels a side: a tile's source rows are
// read into one buffer, turned there, and written out as runs of whole destination rows, so that
// both planes are read and written in runs of a tile row (384 colour bytes) rather than pixel by
// pixel down columns.
inline constexpr int kTileSide = 128;
// The 4-byte pixel moves inside the tile buffers may touch one byte past the last pixel.
inline constexpr std::size_t kTileBytes = byteCount(kTileSide * kTileSide, 3) + 4;

// out pixel (k, i) (row k of `columns` pixels) = the pixel at `origin` + k·`stepK` + i·`stepI`
// bytes, for k < rows and i < columns; `out` is packed.
inline void gatherTurned(std::uint8_t* __restrict out, const std::uint8_t* __restrict origin,
                         std::ptrdiff_t stepK, std::ptrdiff_t stepI, int rows, int columns,
                         int bytesPerPixel) {
  for (int k = 0; k < rows; ++k) {
    const std::uint8_t* in = origin + k * stepK;
    std::uint8_t* outRow = out + byteCount(k * columns, bytesPerPixel);
    if (bytesPerPixel == 3) {
      for (int i = 0; i < columns; ++i) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in + i * stepI, 4);
        std::memcpy(outRow + byteCount(i, 3), &pixel, 4);
      }
    } else {
      for (int i = 0; i < columns; ++i) outRow[i] = in[i * stepI];
    }
  }
}

// Which way a quarter turn goes.
enum class Turn { Right, Left };

// Tile-sized room for a block of pixels.
using TileBuffer = std::array<std::uint8_t, kTileBytes>;

// Copies the `columns` × `rows` pixels whose lower-left pixel is (column, row) into `block`,
// packed.
inline void packRegion(Rows src, int column, int row, int columns, int rows, int bytesPerPixel,
                       TileBuffer& block) {
  std::size_t rowBytes = byteCount(columns, bytesPerPixel);
  for (int r = 0; r < rows; ++r) {
    std::memcpy(block.data() + static_cast<std::size_t>(r) * rowBytes,
                src.row(row + r) + byteCount(column, bytesPerPixel), rowBytes);
  }
}

// Writes the quarter turn of a packed block (`columns` × `rows` pixels, taken from column
// `column`, row `row` of an image `width` pixels wide) where the turn puts it in `dst`:
//   Right: source pixel (c, r) goes to column r, row width − 1 − c;
//   Left:  source pixel (c, r) goes to column newWidth − 1 − r, row c.
inline void placeTurned(const TileBuffer& block, int column, int row, int columns, int rows,
                        Rows dst, int width, int newWidth, int bytesPerPixel, Turn turn,
                        TileBuffer& turned) {
  const int bpp = bytesPerPixel;
  auto rowStep = static_cast<std::ptrdiff_t>(byteCount(columns, bpp));
  // The turned block is `columns` rows of `rows` pixels, placed with its lower-left pixel here.
  int toColumn = turn == Turn::Right ? row : newWidth - row - rows;
  int toRow = turn == Turn::Right ? width - column - columns : column;
  const std::uint8_t* origin = turn == Turn::Right ? block.data() + byteCount(columns - 1, bpp)
                                                   : block.data() + (rows - 1) * rowStep;
  std::ptrdiff_t stepK = turn == Turn::Right ? -bpp : bpp;
  std::ptrdiff_t stepI = turn == Turn::Right ? rowStep : -rowStep;
  gatherTurned(turned.data(), origin, stepK, stepI, columns, rows, bpp);
  std::size_t runBytes = byteCount(rows, bpp);
  for (int k = 0; k < columns; ++k) {
    std::memcpy(dst.row(toRow + k) + byteCount(toColumn, bpp),
                turned.data() + static_cast<std::size_t>(k) * runBytes, runBytes);
  }
}

// A quarter turn from `src` (`width` pixels wide) into `dst`, `width` rows of `newWidth` pixels:
//   Right: dst pixel x of row y = src pixel width − 1 − y of row x;
//   Left:  dst pixel x of row y = src pixel y of row newWidth − 1 − x.
// Source rows from newWidth on are not read.
inline void turnQuarter(Rows src, Rows dst, int width, int newWidth, int bytesPerPixel, Turn turn) {
  alignas(64) TileBuffer block{};
  alignas(64) TileBuffer turned{};
  for (int row = 0; row < newWidth; row += kTileSide) {
    int rows = std::min(kTileSide, newWidth - row);
    for (int column = 0; column < width; column += kTileSide) {
      int columns = std::min(kTileSide, width - column);
      packRegion(src, column, row, columns, rows, bytesPerPixel, block);
      placeTurned(block, column, row, columns, rows, dst, width, newWidth, bytesPerPixel, turn,
                  turned);
    }
  }
}

// The same turn in place, for a square image whose side is a multiple of 4 (so that nothing is
// lost and no second plane is needed). A turn carries each quadrant onto the next, so the tiles
// of the lower-left quadrant and their three images move round in a cycle of four, the first
// tile kept aside until the last move.
inline void turnSquareInPlace(Rows rows, int side, int bytesPerPixel, Turn turn) {
  alignas(64) TileBuffer kept{};
  alignas(64) TileBuffer block{};
  alignas(64) TileBuffer turned{};
  const int half = side / 2;
  const int bpp = bytesPerPixel;
  for (int row0 = 0; row0 < half; row0 += kTileSide) {
    for (int column0 = 0; column0 < half; column0 += kTileSide) {
      // The cycle: tile k + 1 is where the turn puts tile k; even tiles are w × h, odd h × w.
      int w = std::min(kTileSide, half - column0);
      int h = std::min(kTileSide, half - row0);
      int column[4] = {column0};
      int row[4] = {row0};
      for (int k = 1; k < 4; ++k) {
        int kw = k % 2 == 1 ? w : h;  // the width and height of tile k - 1
        int kh = k % 2 == 1 ? h : w;
        column[k] = turn == Turn::Right ? row[k - 1] : side - row[k - 1] - kh;
        row[k] = turn == Turn::Right ? side - column[k - 1] - kw : column[k - 1];
      }
      packRegion(rows, column[0], row[0], w, h, bpp, kept);
      for (int k = 3; k >= 1; --k) {
        int kw = k % 2 == 0 ? w : h;
        int kh = k % 2 == 0 ? h : w;
        packRegion(rows, column[k], row[k], kw, kh, bpp, block);
        placeTurned(block, column[k], row[k], kw, kh, rows, side, side, bpp, turn, turned);
      }
      placeTurned(kept, column[0], row[0], w, h, rows, side, side, bpp, turn, turned);
    }
  }
}

// The bookkeeping both quarter-turn stages share: the sides swap, the new width drops to a
// multiple of 4 (the top height mod 4 rows are lost), and the turned image built in `scratch`
// becomes `work`.
inline void turnImageQuarter(RunState& state, Turn turn) {
  const int oldWidth = state.width;
  const int oldHeight = state.height;
  state.height = oldWidth;
  state.width = oldHeight - oldHeight % 4;
  if (oldWidth == oldHeight && oldHeight % 4 == 0) {
    turnSquareInPlace(rowsOf(state.work), oldWidth, bytesPerPixel(state), turn);
    return;
  }
  turnQuarter(rowsOf(state.work), rowsOf(state.scratch), oldWidth, state.width,
              bytesPerPixel(state), turn);
  std::swap(state.work, state.scratch);
}

}  // namespace pixamorph::geometry
