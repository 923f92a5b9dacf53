// A randomised soak of the real binary with a fixed seed: a few hundred runs on small random
// images with random option lines and random answers to the trim and width prompts. Every run
// ends with status 0 or 1; a written file reads back through the program's own reader with the
// size the program last announced; nothing is left behind in the folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "support/bmp_builder.h"
#include "support/run_program.h"
#include "support/stage_fixture.h"

namespace pixamorph::testing {
namespace {

using namespace std::string_literals;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRuns = 100;  // every run of the sanitized binary takes several times as long
#else
constexpr int kRuns = 300;
#endif
constexpr std::uint64_t kSeed = 20261211;

const std::string kEndOfInput = "\n 入力が終わったため処理を中止します\n";
const std::string kWritten =
    " ビットマップファイル out.bmp を出力しました\n"
    "\n 変換処理を終了しました\a\n\n";

// splitmix64: the same numbers on every platform, unlike the standard distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  // A whole number from `low` to `high`, both included.
  int between(int low, int high) {
    return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool chance(int percent) { return between(1, 100) <= percent; }
  char pick(const std::string& characters) {
    return characters[static_cast<std::size_t>(
        between(0, static_cast<int>(characters.size()) - 1))];
  }

 private:
  std::uint64_t state_;
};

struct SoakCase {
  TestImage image;
  BmpForm form;
  std::string answers;
  bool greyOutput = false;
};

// The option lines: a few refused ones, then one that begins with an option character. A line
// longer than 17 characters is read in parts, and the rest reaches the prompts after it.
std::string optionLines(Random& random, bool& greyOutput) {
  const char* refused[] = {"", "x", " 1", "A9", "\t3", "C", "0"};
  std::string lines;
  for (int n = random.between(0, 2); n > 0; --n) lines += refused[random.between(0, 6)] + "\n"s;
  std::string line(1, random.pick("123456789abc"));
  for (int n = random.between(0, 20); n > 0; --n) line += random.pick("123456789abcABC0xz -");
  line += '\n';
  greyOutput = greyOutput || line.substr(0, 17).find('1') != std::string::npos;
  return lines + line;
}

// Answers for the trim and width prompts: mostly numbers near the image's size, some far off,
// some text that is not a number. The input ends after them.
std::string promptAnswers(Random& random, int side) {
  const char* odd[] = {"zz", "-", "+", "1x", "0x10", "5000", "99999999999", "-2147483649"};
  std::string answers;
  for (int n = random.between(0, 12); n > 0; --n) {
    int kind = random.between(1, 100);
    if (kind <= 75) {
      answers += std::to_string(random.between(-1, side));
    } else if (kind <= 88) {
      answers += std::to_string(random.between(side + 1, 200));
    } else {
      answers += odd[random.between(0, 7)];
    }
    answers += random.chance(80) ? "\n" : " ";
  }
  return answers;
}

SoakCase randomCase(Random& random) {
  SoakCase c;
  int bytesPerPixel = random.chance(50) ? 1 : 3;
  int width = random.between(0, 40);
  int height = random.between(0, 40);
  int fill = random.between(1, 100);
  if (fill <= 70) {
    c.image = patternImage(width, height, bytesPerPixel, static_cast<unsigned>(random.next()));
  } else {
    auto value = static_cast<std::uint8_t>(fill <= 85 ? 255 : random.between(0, 254));
    c.image = solidImage(width, height, bytesPerPixel, value);
  }
  c.form.topDown = random.chance(20);
  c.form.unpadded = random.chance(15);
  c.form.dropLastFill = !c.form.unpadded && random.chance(15);
  c.greyOutput = bytesPerPixel == 1;
  c.answers = "in.bmp\nout.bmp\n" + optionLines(random, c.greyOutput) +
              promptAnswers(random, std::max(width, height));
  return c;
}

std::string describe(int run, const SoakCase& c) {
  std::string text = "run " + std::to_string(run) + ": " + std::to_string(c.image.width) + "×" +
                     std::to_string(c.image.height) +
                     (c.image.bytesPerPixel == 1 ? " grey" : " colour") +
                     (c.form.topDown ? ", top-down" : "") + (c.form.unpadded ? ", unpadded" : "") +
                     (c.form.dropLastFill ? ", last fill dropped" : "") + ", answers \"";
  for (char ch : c.answers) {
    if (ch == '\n') {
      text += "\\n";
    } else if (ch == '\t') {
      text += "\\t";
    } else {
      text += ch;
    }
  }
  return text + "\"";
}

// The number that follows the last `label` in `output`, or -1 when there is none.
int lastNumberAfter(const std::string& output, const std::string& label, std::size_t& at) {
  at = output.rfind(label);
  if (at == std::string::npos) return -1;
  return std::atoi(output.c_str() + at + label.size());
}

struct Size {
  int width = -1;
  int height = -1;
};

// The size of the image as the program last announced it: the last dimensions message, or the
// input's sides when no stage changed them.
Size announcedSize(const std::string& output) {
  std::size_t at;
  Size size;
  size.width = lastNumberAfter(output, " （出力画像の寸法は ", at);
  if (size.width >= 0) {
    size.height = std::atoi(output.c_str() + output.find("×", at) + std::string("×").size());
    return size;
  }
  size.width = lastNumberAfter(output, "\n 入力画像の横寸法は ", at);
  size.height = lastNumberAfter(output, "\n 入力画像の縦寸法は ", at);
  return size;
}

// Reads a written file with the program's own reader and checks it against what was announced.
// One reader state serves every run, so that its planes are provided once (they are slow to
// provide under the sanitizers); the mode is reset before each read, as the dialogue does.
void checkWrittenFile(StageFixture& fx, const Sandbox& box, const std::string& output,
                      bool greyOutput) {
  Size announced = announcedSize(output);
  fx.state.mode = PixelMode::Colour;
  fx.state.inFile = FileHandle(openRegularFile(box.path("out.bmp").string()));
  ASSERT_TRUE(fx.state.inFile.isOpen());
  ASSERT_EQ(examineInput(fx.state), HeaderVerdict::Accepted);
  readInput(fx.state);
  ASSERT_FALSE(fx.state.finished) << fx.printed();
  EXPECT_EQ(fx.state.width, announced.width);
  EXPECT_EQ(fx.state.height, announced.height);
  EXPECT_EQ(fx.state.channels, greyOutput ? 1 : 3);
  std::vector<std::uint8_t> bytes = box.readFile("out.bmp");
  EXPECT_EQ(fx.image(), decodeBmp(bytes));
  std::size_t stored = (static_cast<std::size_t>(fx.state.width * fx.state.channels) + 3) / 4 * 4;
  std::size_t pixelStart = greyOutput ? 1078 : 54;
  EXPECT_EQ(bytes.size(), pixelStart + stored * static_cast<std::size_t>(fx.state.height) + 2);
}

TEST(Soak, RandomImagesOptionsAndAnswers) {
  Random random(kSeed);
  Sandbox box;
  // The soak does not look at what the viewer is handed: a viewer that does nothing, first on
  // PATH, keeps the runs quick. Limits on processor time and file size turn a run that never ends
  // into a failure.
  Sandbox quietViewer;
  std::filesystem::create_symlink("/bin/true", quietViewer.path("xdg-open"));
  const std::string prefix =
      "PATH='" + quietViewer.folder().string() + "':$PATH; ulimit -f 40000; ulimit -t 5;";
  StageFixture reader;
  int written = 0;
  for (int run = 0; run < kRuns && !HasFailure(); ++run) {
    SoakCase c = randomCase(random);
    SCOPED_TRACE(describe(run, c));
    box.writeFile("in.bmp", buildBmp(c.image, c.form));
    RunResult result = box.run(c.answers, prefix);
    if (result.status == 0) {
      ++written;
      EXPECT_TRUE(result.output.ends_with(kWritten)) << result.output;
      EXPECT_EQ(box.listFiles(), (std::vector<std::string>{"in.bmp", "out.bmp"}));
      checkWrittenFile(reader, box, result.output, c.greyOutput);
      std::filesystem::remove(box.path("out.bmp"));
    } else {
      EXPECT_EQ(result.status, 1) << result.output;
      EXPECT_TRUE(result.output.ends_with(kEndOfInput)) << result.output;
      EXPECT_EQ(box.listFiles(), std::vector<std::string>{"in.bmp"});
    }
  }
  // The answers are drawn so that most runs get through to a written file.
  EXPECT_GT(written, kRuns / 2);
}

}  // namespace
}  // namespace pixamorph::testing
