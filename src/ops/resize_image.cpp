// Option 3: enlarges or reduces the image to a width the user types, keeping its proportions.
#include <algorithm>
#include <cstring>
#include <utility>

#include "dialogue/console.h"
#include "dialogue/dialogue.h"
#include "dialogue/messages.h"
#include "ops/ops.h"
#include "ops/resize.h"

namespace pixamorph {

namespace {

constexpr char kWidthPrompt[] = " 出力画像の横寸法を４の倍数で指定して下さい(.bmpの仕様)";
constexpr char kRatioPrompt[] = "\n 　　　　　　（縦横の比率は変わりません)　 = ";
constexpr char kWidthTooLarge[] = " 横寸法が大きすぎます！ %d以下にして下さい\a\n";
constexpr char kWidthTooSmall[] = " 横寸法が小さすぎます！ 2以上にして下さい\a\n";
constexpr char kImageTooSmall[] = " 画像が小さすぎるため拡大・縮小できません\a\n";
constexpr char kResized[] = " 画像サイズの調整処理をしました\n";

// A derived height at or beyond this does not fit a signed 32-bit integer.
constexpr double kBeyondInt32 = 2147483648.0;

bool isPureWhite(const std::uint8_t* pixel) { return (pixel[0] & pixel[1] & pixel[2]) == 255; }

// The widest width whose height fits: ⌊W′ × 4096 / H′⌋ in 64 bits, brought down to a multiple
// of 4, and never more than the width limit itself.
std::int32_t largestAllowedWidth(std::int32_t newWidth, std::int32_t newHeight) {
  std::int64_t widest = std::int64_t{newWidth} * kMaxSide / newHeight;
  widest -= widest % 4;
  return static_cast<std::int32_t>(std::min<std::int64_t>(widest, kMaxSide));
}

// The nearest pixel for each of `count` output pixels: the pixel of `in` at its source column.
template <int kBytes>
void sampleRow(const std::uint8_t* __restrict in, std::uint8_t* __restrict out,
               const std::int32_t* columns, std::size_t count) {
  for (std::size_t x = 0; x < count; ++x) {
    const std::uint8_t* pixel = in + std::ptrdiff_t{columns[x]} * kBytes;
    for (int k = 0; k < kBytes; ++k) out[x * kBytes + static_cast<std::size_t>(k)] = pixel[k];
  }
}

// One output row of a colour reduction from source row srcY. A pure white sample takes the first
// neighbour that is not pure white, in the order below, above, left, right; the rows are
// consulted only when srcY is neither the bottom nor the top row, the columns only when the
// sample is neither in the left nor in the right column.
void reduceColourRow(const Plane& source, std::uint8_t* __restrict out,
                     const std::vector<std::int32_t>& columns, std::int32_t srcY,
                     std::int32_t srcWidth, std::int32_t srcHeight) {
  const std::uint8_t* row = source.row(srcY);
  const bool rowsConsulted = srcY != 0 && srcY != srcHeight - 1;
  const std::uint8_t* below = rowsConsulted ? source.row(srcY - 1) : row;
  const std::uint8_t* above = rowsConsulted ? source.row(srcY + 1) : row;
  for (std::size_t x = 0; x < columns.size(); ++x) {
    const std::int32_t srcX = columns[x];
    const std::ptrdiff_t at = std::ptrdiff_t{srcX} * 3;
    const std::uint8_t* pick = row + at;
    if (isPureWhite(pick)) [[unlikely]] {
      if (rowsConsulted) {
        if (!isPureWhite(below + at)) {
          pick = below + at;
        } else if (!isPureWhite(above + at)) {
          pick = above + at;
        }
      }
      if (isPureWhite(pick) && srcX != 0 && srcX != srcWidth - 1) {
        pick = isPureWhite(row + at - 3) ? row + at + 3 : row + at - 3;
      }
    }
    std::memcpy(out + x * 3, pick, 3);
  }
}

// One output row of a grey reduction from source row srcY: output columns [first, end) take
// samples away from the left and right source columns; there, and only when srcY is neither the
// bottom nor the top row, a sample becomes (below + left + 2 × itself + right + above) / 6,
// an integer division that truncates. Elsewhere the sample is taken as it is.
void reduceGreyRow(const Plane& source, std::uint8_t* __restrict out,
                   const std::vector<std::int32_t>& columns, std::size_t first, std::size_t end,
                   std::int32_t srcY, std::int32_t srcHeight) {
  const std::uint8_t* __restrict row = source.row(srcY);
  if (srcY == 0 || srcY == srcHeight - 1) {
    sampleRow<1>(row, out, columns.data(), columns.size());
    return;
  }
  const std::uint8_t* __restrict below = source.row(srcY - 1);
  const std::uint8_t* __restrict above = source.row(srcY + 1);
  sampleRow<1>(row, out, columns.data(), first);
  for (std::size_t x = first; x < end; ++x) {
    const std::int32_t c = columns[x];
    const std::int32_t sum = below[c] + row[c - 1] + 2 * row[c] + row[c + 1] + above[c];
    out[x] = static_cast<std::uint8_t>(sum / 6);
  }
  sampleRow<1>(row, out + end, columns.data() + end, columns.size() - end);
}

// Asks for the new width until one is accepted, leaving it in `width` and its height in
// `height`; false when the console input ends first.
bool askNewWidth(RunState& state, std::int32_t srcWidth, std::int32_t srcHeight) {
  Console& console = state.console;
  for (;;) {
    console.print(kWidthPrompt);
    console.print(kRatioPrompt);
    ReadResult read = console.readInt(state.width);
    if (read == ReadResult::EndOfInput) return false;
    WidthVerdict verdict = judgeWidth(srcWidth, srcHeight, state.width);
    switch (verdict.judgement) {
      case WidthJudgement::Accepted:
        state.height = verdict.height;
        return true;
      case WidthJudgement::TooTall:
      case WidthJudgement::TooWide:
        console.printf(kWidthTooLarge, verdict.offeredWidth);
        break;
      case WidthJudgement::TooNarrow:
        console.print(kWidthTooSmall);
        break;
    }
    // The text that could not be read would be met again at once: read the next line instead.
    if (read == ReadResult::NotRead) console.discardLine();
  }
}

}  // namespace

WidthVerdict judgeWidth(std::int32_t srcWidth, std::int32_t srcHeight, std::int32_t newWidth) {
  // A width below 2 gives a height of at most 2048 and so is neither too tall nor too wide:
  // testing it first leaves the order of the messages as it is.
  if (newWidth < kResizeMinWidth) return {WidthJudgement::TooNarrow, 0, 0};
  // H × W′ is exact in double; the quotient and the added half are rounded in double, and the
  // conversion truncates.
  const double height = static_cast<double>(srcHeight) * newWidth / srcWidth + 0.5;
  if (height >= kBeyondInt32) return {WidthJudgement::TooWide, 0, kMaxSide};
  const auto newHeight = static_cast<std::int32_t>(height);
  if (newHeight > kMaxSide) {
    return {WidthJudgement::TooTall, 0, largestAllowedWidth(newWidth, newHeight)};
  }
  if (newWidth > kMaxSide) return {WidthJudgement::TooWide, 0, kMaxSide};
  return {WidthJudgement::Accepted, newHeight, 0};
}

float resizeScale(std::int32_t srcWidth, std::int32_t newWidth) {
  const double ratio = static_cast<double>(newWidth - 1) / static_cast<double>(srcWidth - 1);
  return static_cast<float>(ratio);
}

std::vector<std::int32_t> sourceIndices(std::int32_t count, float scale, std::int32_t sourceSize) {
  std::vector<std::int32_t> indices(static_cast<std::size_t>(std::max(count, 0)));
  const double last = sourceSize - 1;
  for (std::size_t i = 0; i < indices.size(); ++i) {
    // Rounded by adding 0.5 and truncating; clamping before the conversion keeps it in range.
    const double position = static_cast<double>(i) / static_cast<double>(scale) + 0.5;
    indices[i] = static_cast<std::int32_t>(std::min(position, last));
  }
  return indices;
}

void resamplePixels(const Plane& source, Plane& target, std::int32_t srcWidth,
                    std::int32_t srcHeight, std::int32_t newWidth, std::int32_t newHeight,
                    int bytesPerPixel) {
  const float scale = resizeScale(srcWidth, newWidth);
  const std::vector<std::int32_t> columns = sourceIndices(newWidth, scale, srcWidth);
  const std::vector<std::int32_t> rows = sourceIndices(newHeight, scale, srcHeight);
  // The columns run upward, so those away from the left and right source edges are one span.
  const auto first = static_cast<std::size_t>(std::upper_bound(columns.begin(), columns.end(), 0) -
                                              columns.begin());
  const auto end = static_cast<std::size_t>(
      std::lower_bound(columns.begin(), columns.end(), srcWidth - 1) - columns.begin());
  const auto rowBytes = columns.size() * static_cast<std::size_t>(bytesPerPixel);
  const bool enlarging = scale >= 1.0f;
  for (std::int32_t y = 0; y < newHeight; ++y) {
    std::uint8_t* out = target.row(y);
    const std::int32_t srcY = rows[static_cast<std::size_t>(y)];
    // Output rows taken from the same source row are the same bytes.
    if (y > 0 && srcY == rows[static_cast<std::size_t>(y - 1)]) {
      std::memcpy(out, target.row(y - 1), rowBytes);
    } else if (newWidth == srcWidth) {
      // Equal widths take every column onto itself.
      std::memcpy(out, source.row(srcY), rowBytes);
    } else if (enlarging && bytesPerPixel == 3) {
      sampleRow<3>(source.row(srcY), out, columns.data(), columns.size());
    } else if (enlarging) {
      sampleRow<1>(source.row(srcY), out, columns.data(), columns.size());
    } else if (bytesPerPixel == 3) {
      reduceColourRow(source, out, columns, srcY, srcWidth, srcHeight);
    } else {
      reduceGreyRow(source, out, columns, first, end, srcY, srcHeight);
    }
  }
}

void resizeImage(RunState& state) {
  if (state.flags.resize != 1) return;
  Console& console = state.console;
  const std::int32_t srcWidth = state.width;
  const std::int32_t srcHeight = state.height;
  if (srcWidth < kResizeMinWidth) {
    console.print(kImageTooSmall);
    return;
  }
  if (!askNewWidth(state, srcWidth, srcHeight)) {
    stopAtEndOfInput(state);
    return;
  }
  console.printf(text::kDimensions, state.width, state.height);
  // The same width maps every pixel onto itself: the image is already the result.
  if (state.width != srcWidth) {
    resamplePixels(state.work, state.scratch, srcWidth, srcHeight, state.width, state.height,
                   bytesPerPixel(state));
    std::swap(state.work, state.scratch);
  }
  console.print(kResized);
  console.printf(text::kDimensions, state.width, state.height);
}

}  // namespace pixamorph
