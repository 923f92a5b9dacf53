// The reader stage on its own: a file that no longer holds what its header promised when it is
// finally read.
#include <gtest/gtest.h>
#include <unistd.h>

#include "bitmap/bitmap.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

TEST(ReadInput, FileCutShortAfterItsNameWasTypedEndsWithStatusOne) {
  Sandbox box;
  std::vector<std::uint8_t> file = buildBmp(patternImage(8, 6, 3));
  box.writeFile("in.bmp", file);
  StageFixture fx;
  fx.state.inFile = FileHandle(openRegularFile(box.path("in.bmp").string()));
  ASSERT_EQ(examineInput(fx.state), HeaderVerdict::Accepted);
  ASSERT_EQ(truncate(box.path("in.bmp").c_str(), static_cast<off_t>(file.size() - 10)), 0);

  readInput(fx.state);
  EXPECT_TRUE(fx.state.finished);
  EXPECT_EQ(fx.state.exitStatus, 1);
  EXPECT_TRUE(
      fx.printed().ends_with("\n 入力画像の縦寸法は 6 ピクセルです\n"
                             " 入力画像ファイルが途中で切れています！\a\n"))
      << fx.printed();
  EXPECT_FALSE(fx.state.inFile.isOpen());
}

}  // namespace
}  // namespace pixamorph::testing
