// Reading input files in every form the program accepts and writing its own form, through the
// real binary.
#include <gtest/gtest.h>

#include <string>

#include "support/bmp_builder.h"
#include "support/run_program.h"

namespace pixamorph::testing {
namespace {

// Converts `input` with an option line and returns the output file. The line 678 (a half turn,
// then both flips) gives back the input image of any size and form.
std::vector<std::uint8_t> convert(Sandbox& box, const std::vector<std::uint8_t>& input,
                                  const std::string& options, RunResult* result = nullptr) {
  box.writeFile("in.bmp", input);
  RunResult run = box.run("in.bmp\nout.bmp\n" + options + "\n");
  EXPECT_EQ(run.status, 0) << run.output;
  if (result != nullptr) *result = run;
  return box.readFile("out.bmp");
}

TEST(ReadWrite, ColourFourByTwoIsCopiedExactly) {
  Sandbox box;
  TestImage image = patternImage(4, 2, 3);
  std::vector<std::uint8_t> out = convert(box, buildBmp(image), "678");
  ASSERT_EQ(out.size(), 80u);
  EXPECT_EQ(fieldAt(out, 2), 80u);
  EXPECT_EQ(fieldAt(out, 10), 54u);
  EXPECT_EQ(fieldAt(out, 28, 2), 24u);
  EXPECT_EQ(fieldAt(out, 34), 26u);
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 54, out.begin() + 78), image.pixels);
  EXPECT_EQ(out[78], 0);
  EXPECT_EQ(out[79], 0);
}

TEST(ReadWrite, GreyFourByTwoGetsTheGreyRamp) {
  Sandbox box;
  TestImage image = patternImage(4, 2, 1);
  std::vector<std::uint8_t> input = buildBmp(image);
  for (std::size_t i = 54; i < 1078; ++i) input[i] = static_cast<std::uint8_t>(i * 7);
  std::vector<std::uint8_t> out = convert(box, input, "1");
  ASSERT_EQ(out.size(), 1088u);
  EXPECT_EQ(fieldAt(out, 2), 1088u);
  EXPECT_EQ(fieldAt(out, 10), 1078u);
  EXPECT_EQ(fieldAt(out, 28, 2), 8u);
  EXPECT_EQ(fieldAt(out, 34), 10u);
  for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(fieldAt(out, 54 + 4 * i), i * 0x010101u);
  EXPECT_EQ(decodeBmp(out), image);
}

TEST(ReadWrite, InputHeaderBytesNeverReachTheOutput) {
  Sandbox box;
  std::vector<std::uint8_t> input = buildBmp(patternImage(4, 2, 3));
  setField(input, 6, 0xDEADBEEF);
  setField(input, 38, 99);
  setField(input, 46, 7);
  std::vector<std::uint8_t> out = convert(box, input, "678");
  EXPECT_EQ(fieldAt(out, 6), 0u);
  EXPECT_EQ(fieldAt(out, 38), 2834u);
  EXPECT_EQ(fieldAt(out, 46), 0u);
}

struct FormCase {
  const char* name;
  int width;
  int height;
  int bytesPerPixel;
  BmpForm form;
};

TEST(ReadWrite, EveryAcceptedFormReadsTheSameImage) {
  const FormCase cases[] = {
      {"colour, width not a multiple of 4", 5, 3, 3, {}},
      {"grey, width not a multiple of 4", 3, 2, 1, {}},
      {"top-down colour", 5, 3, 3, {.topDown = true}},
      {"top-down grey", 6, 4, 1, {.topDown = true}},
      {"rows back to back", 5, 3, 3, {.unpadded = true}},
      {"grey rows back to back", 7, 3, 1, {.unpadded = true}},
      {"last fill bytes missing", 6, 3, 3, {.dropLastFill = true}},
      {"longer information header", 4, 2, 3, {.pixelOffset = 138, .infoHeaderSize = 124}},
      {"gap before the pixels", 3, 3, 1, {.pixelOffset = 1200}},
      {"one pixel", 1, 1, 3, {}},
      {"full width", 4096, 1, 3, {}},
  };
  for (const FormCase& c : cases) {
    Sandbox box;
    TestImage image = patternImage(c.width, c.height, c.bytesPerPixel, 7);
    std::vector<std::uint8_t> out = convert(box, buildBmp(image, c.form), "678");
    EXPECT_EQ(decodeBmp(out), image) << c.name;
    std::size_t stored = (static_cast<std::size_t>(c.width * c.bytesPerPixel) + 3) / 4 * 4;
    std::size_t pixelStart = c.bytesPerPixel == 1 ? 1078 : 54;
    EXPECT_EQ(out.size(), pixelStart + stored * static_cast<std::size_t>(c.height) + 2) << c.name;
    EXPECT_EQ(fieldAt(out, 2), out.size()) << c.name;
    EXPECT_EQ(fieldAt(out, 34), out.size() - pixelStart) << c.name;
  }
}

TEST(ReadWrite, PixelOffsetBelowTheHeaderReadsFromByte54) {
  Sandbox box;
  TestImage image = patternImage(4, 2, 3);
  std::vector<std::uint8_t> input = buildBmp(image);
  setField(input, 10, 20);
  EXPECT_EQ(decodeBmp(convert(box, input, "678")), image);
}

TEST(ReadWrite, EmptyImagesKeepTheirHeaderAndClosingBytes) {
  for (auto [width, height, bpp] : {std::tuple{0, 5, 3}, std::tuple{4, 0, 1}}) {
    Sandbox box;
    std::vector<std::uint8_t> out =
        convert(box, buildBmp(solidImage(width, height, bpp, 9)), "678");
    EXPECT_EQ(out.size(), (bpp == 1 ? 1078u : 54u) + 2);
    EXPECT_EQ(fieldAt(out, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(fieldAt(out, 22), static_cast<std::uint32_t>(height));
  }
}

TEST(ReadWrite, MessagesShowTheTrueLengthAndAPositiveHeight) {
  Sandbox box;
  std::vector<std::uint8_t> input = buildBmp(patternImage(8, 6, 3), {.topDown = true});
  setField(input, 2, 12);  // a wrong size field is not what is shown
  input.resize(input.size() + 100, 0);
  RunResult result;
  convert(box, input, "678", &result);
  EXPECT_NE(result.output.find("\n 入力画像ファイルの大きさは 298 バイトです"
                               "\n 入力画像はカラーです"
                               "\n 入力画像の横寸法は 8 ピクセルです"
                               "\n 入力画像の縦寸法は 6 ピクセルです\n"),
            std::string::npos)
      << result.output;
}

TEST(ReadWrite, TooLargeImageEndsWithStatusOneAndNoOutput) {
  Sandbox box;
  std::vector<std::uint8_t> input = buildBmp(patternImage(4, 1, 3));
  setField(input, 18, 4097);
  box.writeFile("in.bmp", input);
  RunResult result = box.run("in.bmp\nout.bmp\n9\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(
      result.output.ends_with("\n 入力画像の横寸法は 4097 ピクセルです"
                              "\n 入力画像の縦寸法は 1 ピクセルです\n"
                              "\n 入力画像が大きすぎます！\a\n"))
      << result.output;
  EXPECT_FALSE(box.exists("out.bmp"));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(ReadWrite, PlanesThatCannotBeHadEndWithStatusOne) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer runtime cannot start under a memory limit";
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 3)));
  RunResult result = box.run("in.bmp\nout.bmp\n9\n", "ulimit -v 60000;");
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(
      result.output.ends_with("\n 画像ファイルの変換処理を開始します\n"
                              " メモリを確保できません！\a\n"))
      << result.output;
  EXPECT_FALSE(box.exists("out.bmp"));
}

}  // namespace
}  // namespace pixamorph::testing
