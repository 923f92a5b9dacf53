// File names that a command interpreter would act on, through the real binary: each reaches the
// fake viewer as one argument, exactly as typed, and runs nothing else. A name that begins with
// `-` is handed over as ./ and the name, so that the viewer cannot take it for an option.
//
// Names are read from the console as whitespace-delimited words, so a name typed there can hold
// no blank, tab or line end: a blank ends the name. Names with blanks therefore cannot be typed
// and are not among the cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/bmp_builder.h"
#include "support/run_program.h"

namespace pixamorph::testing {
namespace {

struct ViewerCase {
  std::string inName;
  std::string outName;
  std::string inArgument;
  std::string outArgument;
};

// Each name carries a command that, run by a shell, would make a file in the working folder, or
// characters that a shell or a format string would read as its own.
const ViewerCase kCases[] = {
    {";touch${IFS}pwned;.bmp", "x.bmp;touch${IFS}pwned", ";touch${IFS}pwned;.bmp",
     "x.bmp;touch${IFS}pwned"},
    {"$(touch${IFS}pwned).bmp", "$(touch${IFS}pwned)-out.bmp", "$(touch${IFS}pwned).bmp",
     "$(touch${IFS}pwned)-out.bmp"},
    {"`touch${IFS}pwned`.bmp", "o`touch${IFS}pwned`.bmp", "`touch${IFS}pwned`.bmp",
     "o`touch${IFS}pwned`.bmp"},
    {"it's.bmp", "\"quoted\".bmp", "it's.bmp", "\"quoted\".bmp"},
    {"'$(touch${IFS}pwned)'.bmp", "\"`touch${IFS}pwned`\".bmp", "'$(touch${IFS}pwned)'.bmp",
     "\"`touch${IFS}pwned`\".bmp"},
    {"a|touch${IFS}pwned|.bmp", "a&&touch${IFS}pwned&&.bmp", "a|touch${IFS}pwned|.bmp",
     "a&&touch${IFS}pwned&&.bmp"},
    {">pwned.bmp", "<in.bmp", ">pwned.bmp", "<in.bmp"},
    {"*.bmp", "?.bmp", "*.bmp", "?.bmp"},
    {"\\n$HOME.bmp", "~.bmp", "\\n$HOME.bmp", "~.bmp"},
    {"-in.bmp", "--out.bmp", "./-in.bmp", "./--out.bmp"},
    {"--help.bmp", "-.bmp", "./--help.bmp", "./-.bmp"},
    {"%s%n.bmp", "%n%x%s.bmp", "%s%n.bmp", "%n%x%s.bmp"},
};

TEST(ViewerNames, ReachTheViewerAsOneArgumentAndRunNothingElse) {
  for (const ViewerCase& c : kCases) {
    SCOPED_TRACE(c.inName + " → " + c.outName);
    Sandbox box;
    TestImage image = patternImage(4, 2, 1);
    box.writeFile(c.inName, buildBmp(image));
    RunResult result = box.run(c.inName + "\n" + c.outName + "\n1\n");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(result.output.ends_with(" ビットマップファイル " + c.outName +
                                        " を出力しました\n\n 変換処理を終了しました\a\n\n"))
        << result.output;
    EXPECT_EQ(decodeBmp(box.readFile(c.outName)), image);
    std::vector<std::vector<std::string>> expected = {{c.inArgument}, {c.outArgument}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(box.viewerCalls(2), expected);
    std::vector<std::string> files = {c.inName, c.outName};
    std::sort(files.begin(), files.end());
    EXPECT_EQ(box.listFiles(), files);
  }
}

}  // namespace
}  // namespace pixamorph::testing
