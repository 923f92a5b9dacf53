// Option 2: cuts out a rectangle that the user types, corner by corner, and moves it to the origin.
#include "dialogue/console.h"
#include "dialogue/dialogue.h"
#include "dialogue/messages.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kIntroduction[] =
    " 画像のトリミングをします\n"
    " 切り出す領域を指定してください\n"
    " 画像の左下隅が原点 (x=0,y=0) です\n";
constexpr char kAskX1[] = " 切り出す領域の左下隅のｘ座標 x1 = ";
constexpr char kAskY1[] = " 　　同　上　　左下隅のｙ座標 y1 = ";
constexpr char kAskX2[] = " 　　同　上　　右上隅のｘ座標 x2 = ";
constexpr char kAskY2[] = " 　　同　上　　右上隅のｙ座標 y2 = ";
constexpr char kOutside[] = " 領域外です！\a\n";
constexpr char kTooSmall[] = " 画像が小さすぎるためトリミングできません\a\n";
constexpr char kTrimmed[] = " 処理対象領域をトリムしました\n";

// Asks for one coordinate until `accepted` holds for `field`; false when the input has ended.
// Text that is not a number leaves `field` as it was; when that value is refused, the rest of
// the line goes too, or the prompt would meet the same text for ever.
template <typename Test>
bool askCoordinate(RunState& state, const char* prompt, std::int32_t& field, Test accepted) {
  Console& console = state.console;
  for (;;) {
    console.print(prompt);
    ReadResult result = console.readInt(field);
    if (result == ReadResult::EndOfInput) return false;
    if (accepted()) return true;
    console.print(kOutside);
    if (result == ReadResult::NotRead) console.discardLine();
  }
}

// The four corners, each asked until it fits; a lower-left corner is refused when no upper-right
// corner could follow it. False when the input has ended.
bool askRectangle(RunState& state) {
  const std::int32_t width = state.srcWidth;
  const std::int32_t height = state.srcHeight;
  std::int32_t& x1 = state.x1;
  std::int32_t& y1 = state.y1;
  std::int32_t& x2 = state.x2;
  std::int32_t& y2 = state.y2;
  return askCoordinate(state, kAskX1, x1, [&] { return 0 <= x1 && x1 <= width - 2; }) &&
         askCoordinate(state, kAskY1, y1, [&] { return 0 <= y1 && y1 <= height - 2; }) &&
         askCoordinate(state, kAskX2, x2, [&] { return x2 < width && x1 < x2; }) &&
         askCoordinate(state, kAskY2, y2, [&] { return y2 < height && y1 < y2; });
}

}  // namespace

void trimImage(RunState& state) {
  if (state.flags.trim != 1) return;
  Console& console = state.console;
  if (state.srcWidth < 2 || state.srcHeight < 2) {
    console.print(kTooSmall);
    return;
  }
  console.print(kIntroduction);
  if (!askRectangle(state)) {
    stopAtEndOfInput(state);
    return;
  }
  // The output rows need a width that is a multiple of 4: the columns over go from the right.
  state.x2 -= (state.x2 - state.x1 + 1) % 4;
  state.width = state.x2 - state.x1 + 1;
  state.height = state.y2 - state.y1 + 1;
  geometry::moveRegionToOrigin(geometry::rowsOf(state.work), state.x1, state.y1, state.width,
                               state.height, bytesPerPixel(state));
  console.print(kTrimmed);
  console.printf(text::kDimensions, state.width, state.height);
}

}  // namespace pixamorph
