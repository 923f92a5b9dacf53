// Failures around the output file through the real binary: names refused at the prompt, writes
// that fail part way or cannot be finished. Each ends with the program's message and status 1,
// leaves every earlier file byte-identical and no temporary file behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/bmp_builder.h"
#include "support/run_program.h"

namespace pixamorph::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOutPrompt = " OutFile.bmp = ";
const std::string kCannotCreate = " 出力ファイルを作成できません！\a\n";
const std::string kReadDone = " 入力画像ファイルの読み込みを終了しました\n";
const std::string kEndOfInput = "\n 入力が終わったため処理を中止します\n";
const std::string kFinished = "\n 変換処理を終了しました\a\n\n";

// Every path under the sandbox with its bytes, folders marked as such: equal snapshots before
// and after a run mean nothing was changed, added or left behind.
std::map<std::string, std::vector<std::uint8_t>> snapshot(const Sandbox& box) {
  std::map<std::string, std::vector<std::uint8_t>> tree;
  for (const auto& entry : fs::recursive_directory_iterator(box.folder())) {
    std::string name = fs::relative(entry.path(), box.folder()).string();
    tree[name] = entry.is_directory() ? std::vector<std::uint8_t>{'/'} : box.readFile(name);
  }
  return tree;
}

// An earlier file, different from anything the runs below write.
std::vector<std::uint8_t> earlierFile() { return buildBmp(patternImage(4, 4, 3, 99)); }

TEST(OutputFailure, NameWhoseFolderCannotTakeFilesIsAskedForAgain) {
  const std::pair<std::string, std::string> rows[] = {
      {"missing folder", "nosuch/out.bmp"},
      {"missing folder two levels down", "nosuch/deeper/out.bmp"},
      {"folder part that is a file", "in.bmp/out.bmp"},
  };
  for (const auto& [label, name] : rows) {
    SCOPED_TRACE(label);
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
    auto before = snapshot(box);
    RunResult result = box.run("in.bmp\n" + name + "\n");
    EXPECT_TRUE(result.output.ends_with(kOutPrompt + kCannotCreate + kOutPrompt + kEndOfInput))
        << result.output;
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(snapshot(box), before);
  }
}

// Root may write into any folder, so as root the program is run as the user nobody.
TEST(OutputFailure, FolderWithoutWritePermissionIsAskedForAgain) {
  Sandbox box;
  box.writeFile("in.bmp", buildBmp(patternImage(4, 2, 1)));
  fs::create_directory(box.path("locked"));
  box.writeFile("locked/out.bmp", earlierFile());
  fs::permissions(box.path("locked"), fs::perms::owner_read | fs::perms::owner_exec |
                                          fs::perms::group_read | fs::perms::group_exec |
                                          fs::perms::others_read | fs::perms::others_exec);
  std::string prefix;
  if (geteuid() == 0) {
    const auto readable = fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(box.folder(), readable, fs::perm_options::add);
    fs::permissions(box.path("in.bmp"), fs::perms::others_read, fs::perm_options::add);
    const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    prefix = "command -v setpriv >/dev/null || exit 125;" + asNobody +
             "test -x \"$0\" || exit 125;" + "exec " + asNobody + "\"$0\";";
  }
  auto before = snapshot(box);
  RunResult result = box.run("in.bmp\nlocked/out.bmp\n", prefix);
  auto after = snapshot(box);
  fs::permissions(box.path("locked"), fs::perms::owner_write, fs::perm_options::add);
  if (result.status == 125) {
    GTEST_SKIP() << "running as root, and the user nobody cannot run the program here "
                    "(setpriv is missing or the build folder is closed to other users)";
  }
  EXPECT_TRUE(result.output.ends_with(kOutPrompt + kCannotCreate + kOutPrompt + kEndOfInput))
      << result.output;
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(after, before);
}

struct WriteFailure {
  std::string label;
  TestImage image;
  std::string outName;
  std::string shellPrefix;
};

// The name is accepted at the prompt; the write fails and the run ends after the message. The
// transcript of every row stays well below the smallest file-size limit used.
TEST(OutputFailure, WriteThatCannotBeFinishedKeepsTheEarlierFile) {
  const WriteFailure rows[] = {
      {"file-size limit in the grey pixel rows", patternImage(128, 128, 1), "out.bmp",
       "ulimit -f 8;"},
      {"file-size limit in the colour pixel rows", patternImage(64, 64, 3), "out.bmp",
       "ulimit -f 16;"},
      {"file-size limit with the input's own name", patternImage(128, 128, 1), "in.bmp",
       "ulimit -f 8;"},
      {"name of an existing folder", patternImage(4, 2, 1), "folder.bmp", ""},
      {"name of an existing folder with a slash at its end", patternImage(4, 2, 1), "folder.bmp/",
       ""},
  };
  for (const WriteFailure& row : rows) {
    SCOPED_TRACE(row.label);
    Sandbox box;
    box.writeFile("in.bmp", buildBmp(row.image));
    box.writeFile("out.bmp", earlierFile());
    fs::create_directory(box.path("folder.bmp"));
    box.writeFile("folder.bmp/keep.bmp", earlierFile());
    auto before = snapshot(box);
    RunResult result = box.run("in.bmp\n" + row.outName + "\n9\n", row.shellPrefix);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find(kReadDone), std::string::npos) << result.output;
    EXPECT_TRUE(result.output.ends_with(kCannotCreate)) << result.output;
    EXPECT_EQ(snapshot(box), before);
  }
}

TEST(OutputFailure, OutputNamedLikeTheInputReplacesIt) {
  Sandbox box;
  TestImage image = patternImage(5, 3, 1);
  box.writeFile("in.bmp", buildBmp(image, {.dropLastFill = true}));
  RunResult result = box.run("in.bmp\nin.bmp\n1\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.output.ends_with(" ビットマップファイル in.bmp を出力しました\n" + kFinished))
      << result.output;
  std::vector<std::uint8_t> written = box.readFile("in.bmp");
  EXPECT_EQ(written.size(), 1078u + 8 * 3 + 2);
  EXPECT_EQ(decodeBmp(written), image);
  EXPECT_EQ(box.listFiles(), std::vector<std::string>{"in.bmp"});
}

}  // namespace
}  // namespace pixamorph::testing
