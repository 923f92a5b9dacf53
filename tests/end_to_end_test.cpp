// End-to-end runs of the real binary: console bytes, output files, exit status and viewer calls.
#include <gtest/gtest.h>

#include "support/bmp_builder.h"
#include "support/run_program.h"

namespace pixamorph::testing {
namespace {

TEST(EndToEnd, CopiesColourImageAndShowsBothFiles) {
  Sandbox box;
  TestImage image = patternImage(4, 2, 3);
  box.writeFile("in.bmp", buildBmp(image));
  // Trimming to the whole image leaves it as it was.
  RunResult result = box.run("in.bmp\nout.bmp\n2\n0\n0\n3\n1\n");
  EXPECT_EQ(result.status, 0) << result.output;
  std::vector<std::uint8_t> out = box.readFile("out.bmp");
  ASSERT_EQ(out.size(), 80u);
  EXPECT_EQ(decodeBmp(out), image);
  auto calls = box.viewerCalls(2);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], std::vector<std::string>{"in.bmp"});
  EXPECT_EQ(calls[1], std::vector<std::string>{"out.bmp"});
}

}  // namespace
}  // namespace pixamorph::testing
