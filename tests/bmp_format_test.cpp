// Header fields, the header gate and the output header.
#include "bitmap/bmp_format.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/bmp_builder.h"

namespace pixamorph {
namespace {

using testing::BmpForm;
using testing::buildBmp;
using testing::fieldAt;
using testing::patternImage;
using testing::setField;

TEST(BmpFields, LittleEndianHelpersUseTheWholeField) {
  std::uint8_t bytes[4];
  writeLe32(bytes, 0x12345678u);
  EXPECT_EQ(bytes[0], 0x78);
  EXPECT_EQ(bytes[3], 0x12);
  EXPECT_EQ(readLe32(bytes), 0x12345678u);
  writeLe32(bytes, 0xFFFFFFFEu);
  EXPECT_EQ(readLeSigned32(bytes), -2);
  writeLe16(bytes, 0xBEEF);
  EXPECT_EQ(readLe16(bytes), 0xBEEF);
}

TEST(BmpFields, StoredRowsAreWholeFourByteUnits) {
  EXPECT_EQ(storedRowBytes(0, 3), 0);
  EXPECT_EQ(storedRowBytes(1, 3), 4);
  EXPECT_EQ(storedRowBytes(4, 3), 12);
  EXPECT_EQ(storedRowBytes(5, 1), 8);
  EXPECT_EQ(storedRowBytes(4096, 3), 12288);
}

TEST(BmpFields, ParsesTheConsultedFieldsWhole) {
  std::vector<std::uint8_t> file = buildBmp(patternImage(5, 3, 3), {.topDown = true});
  setField(file, 10, 0x00010036);  // a pixel offset above 65535 keeps its high bytes
  BmpFields fields = parseFields(std::span<const std::uint8_t, 54>(file.data(), 54));
  EXPECT_EQ(fields.pixelOffset, 0x00010036u);
  EXPECT_EQ(fields.width, 5);
  EXPECT_EQ(fields.height, -3);
  EXPECT_EQ(fields.bitsPerPixel, 24);
  EXPECT_EQ(fields.infoHeaderSize, 40u);
  EXPECT_EQ(fields.compression, 0u);
}

struct GateCase {
  const char* name;
  std::size_t offset;
  std::uint32_t value;
  int bytes;
  HeaderVerdict verdict;

  friend void PrintTo(const GateCase& c, std::ostream* out) { *out << c.name; }
};

class HeaderGate : public ::testing::TestWithParam<GateCase> {};

TEST_P(HeaderGate, GivesTheVerdictOfTheFirstRuleThatFails) {
  const GateCase& c = GetParam();
  std::vector<std::uint8_t> file = buildBmp(patternImage(6, 4, 3));
  setField(file, c.offset, c.value, c.bytes);
  PixelLayout layout;
  EXPECT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout), c.verdict)
      << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderGate,
    ::testing::Values(
        GateCase{"unchanged", 26, 1, 2, HeaderVerdict::Accepted},
        GateCase{"signature", 0, 'B' | 'A' << 8, 2, HeaderVerdict::NotABitmap},
        GateCase{"info header 39", 14, 39, 4, HeaderVerdict::NotABitmap},
        GateCase{"info header 124", 14, 124, 4, HeaderVerdict::Accepted},
        GateCase{"negative width", 18, 0xFFFFFFFFu, 4, HeaderVerdict::NotABitmap},
        GateCase{"height INT32_MIN", 22, 0x80000000u, 4, HeaderVerdict::NotABitmap},
        GateCase{"bits 16", 28, 16, 2, HeaderVerdict::Unsupported},
        GateCase{"bits 8 with bits 24 data", 28, 8, 2, HeaderVerdict::Accepted},
        GateCase{"compression", 30, 1, 4, HeaderVerdict::Unsupported},
        GateCase{"not a bitmap comes before unsupported", 14, 12, 4, HeaderVerdict::NotABitmap},
        GateCase{"pixel offset past the end", 10, 0xFFFFFFFFu, 4, HeaderVerdict::Truncated},
        GateCase{"height beyond the data", 22, 5, 4, HeaderVerdict::Truncated},
        GateCase{"too large is not truncated", 18, 4097, 4, HeaderVerdict::Accepted}),
    [](const auto& testCase) {
      std::string name = testCase.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(HeaderGateLayout, ShortFilesAreNotBitmaps) {
  std::vector<std::uint8_t> file = buildBmp(patternImage(4, 1, 3));
  PixelLayout layout;
  EXPECT_EQ(classifyHeader(std::span(file.data(), 53), 53, layout), HeaderVerdict::NotABitmap);
  EXPECT_EQ(classifyHeader({}, 0, layout), HeaderVerdict::NotABitmap);
}

TEST(HeaderGateLayout, DescribesTopDownAndTooLargeFiles) {
  std::vector<std::uint8_t> file = buildBmp(patternImage(5, 3, 3), {.topDown = true});
  PixelLayout layout;
  ASSERT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout),
            HeaderVerdict::Accepted);
  EXPECT_TRUE(layout.topDown);
  EXPECT_EQ(layout.height, 3);
  EXPECT_EQ(layout.storedRowBytes, 16);
  EXPECT_EQ(layout.pixelStart, 54);
  EXPECT_FALSE(layout.tooLarge);

  setField(file, 22, static_cast<std::uint32_t>(-4097));
  ASSERT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout),
            HeaderVerdict::Accepted);
  EXPECT_TRUE(layout.tooLarge);
  EXPECT_EQ(layout.height, 4097);
}

TEST(HeaderGateLayout, MissingFillAfterTheLastRowIsAccepted) {
  std::vector<std::uint8_t> file = buildBmp(patternImage(5, 3, 3), {.dropLastFill = true});
  PixelLayout layout;
  EXPECT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout),
            HeaderVerdict::Accepted);
  file.pop_back();
  EXPECT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout),
            HeaderVerdict::Truncated);
}

TEST(HeaderGateLayout, RecognisesFilesWithRowsBackToBack) {
  std::vector<std::uint8_t> file = buildBmp(patternImage(5, 3, 3), {.unpadded = true});
  PixelLayout layout;
  ASSERT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout),
            HeaderVerdict::Accepted);
  EXPECT_EQ(layout.storedRowBytes, 15);
}

TEST(HeaderGateLayout, PixelOffsetBelowTheHeaderReadsFromTheHeaderEnd) {
  std::vector<std::uint8_t> file = buildBmp(patternImage(4, 2, 3));
  setField(file, 10, 0);
  PixelLayout layout;
  ASSERT_EQ(classifyHeader(file, static_cast<std::int64_t>(file.size()), layout),
            HeaderVerdict::Accepted);
  EXPECT_EQ(layout.pixelStart, 54);
}

TEST(OutputHeader, ColourFormCountsFillAndClosingBytes) {
  std::array<std::uint8_t, 1078> header{};
  header.fill(0xAA);
  std::vector<std::uint8_t> file(header.begin(), header.end());
  ASSERT_EQ(buildOutputHeader(header, 5, 3, 3), 54u);
  file.assign(header.begin(), header.end());
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(fieldAt(file, 2), 54u + 16 * 3 + 2);
  EXPECT_EQ(fieldAt(file, 6), 0u);
  EXPECT_EQ(fieldAt(file, 10), 54u);
  EXPECT_EQ(fieldAt(file, 14), 40u);
  EXPECT_EQ(fieldAt(file, 18), 5u);
  EXPECT_EQ(fieldAt(file, 22), 3u);
  EXPECT_EQ(fieldAt(file, 26, 2), 1u);
  EXPECT_EQ(fieldAt(file, 28, 2), 24u);
  EXPECT_EQ(fieldAt(file, 30), 0u);
  EXPECT_EQ(fieldAt(file, 34), 16u * 3 + 2);
  EXPECT_EQ(fieldAt(file, 38), 2834u);
  EXPECT_EQ(fieldAt(file, 42), 2834u);
  EXPECT_EQ(fieldAt(file, 46), 0u);
  EXPECT_EQ(fieldAt(file, 50), 0u);
}

TEST(OutputHeader, GreyFormCarriesTheGreyRamp) {
  std::array<std::uint8_t, 1078> header{};
  ASSERT_EQ(buildOutputHeader(header, 4, 2, 1), 1078u);
  std::vector<std::uint8_t> file(header.begin(), header.end());
  EXPECT_EQ(fieldAt(file, 2), 1088u);
  EXPECT_EQ(fieldAt(file, 10), 1078u);
  EXPECT_EQ(fieldAt(file, 28, 2), 8u);
  EXPECT_EQ(fieldAt(file, 34), 10u);
  for (std::size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(fieldAt(file, 54 + 4 * i), i * 0x010101u) << "palette entry " << i;
  }
}

}  // namespace
}  // namespace pixamorph
