// Resizing kernels: the width test, the scale factor, the index tables and the resampling.
#pragma once

#include <cstdint>
#include <vector>

#include "dialogue/run_state.h"

namespace pixamorph {

// The narrowest width that resizing takes or gives: the scale factor divides by width − 1.
inline constexpr std::int32_t kResizeMinWidth = 2;

// What the width dialogue makes of one typed width.
enum class WidthJudgement {
  Accepted,
  TooTall,   // the derived height is over the limit; `offeredWidth` is the widest that fits
  TooWide,   // the width (or a height beyond 32 bits) is over kMaxSide, which is offered
  TooNarrow  // below 2, zero and negative widths included
};

struct WidthVerdict {
  WidthJudgement judgement = WidthJudgement::Accepted;
  std::int32_t height = 0;        // the derived height, when accepted
  std::int32_t offeredWidth = 0;  // the width the too-large message offers
};

// Judges `newWidth` for an image of `srcWidth` × `srcHeight` (srcWidth at least 2): the height
// that keeps the proportions, trunc(H × W′ / W + 0.5) in double precision, then the tests in
// their order: too tall, too wide, too narrow.
WidthVerdict judgeWidth(std::int32_t srcWidth, std::int32_t srcHeight, std::int32_t newWidth);

// The scale factor (W′ − 1) / (W − 1), formed in double precision and kept as a 32-bit float,
// which decides which source pixels are taken. Enlarging when it is at least 1.
float resizeScale(std::int32_t srcWidth, std::int32_t newWidth);

// The source index trunc(i / scale + 0.5) for each of `count` output indices, in double
// precision with the float `scale`, clamped to sourceSize − 1 (a clamped row counts as the top
// row). scale must be above 0 and sourceSize at least 1.
std::vector<std::int32_t> sourceIndices(std::int32_t count, float scale, std::int32_t sourceSize);

// Resamples the srcWidth × srcHeight image in `source` to newWidth × newHeight in `target`,
// `bytesPerPixel` 3 (colour) or 1 (grey), with srcWidth and newWidth at least 2. Enlarging
// takes the nearest pixel; reducing repairs pure white colour pixels from their neighbours and
// smooths grey samples away from the source's edges. `source` is only read.
void resamplePixels(const Plane& source, Plane& target, std::int32_t srcWidth,
                    std::int32_t srcHeight, std::int32_t newWidth, std::int32_t newHeight,
                    int bytesPerPixel);

}  // namespace pixamorph
