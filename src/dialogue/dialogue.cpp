// The console dialogue: file names, the menu, the option line, and the fixed pipeline.
#include "dialogue/dialogue.h"

#include <array>
#include <string>

#include "bitmap/bitmap.h"
#include "bitmap/bmp_format.h"
#include "dialogue/messages.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

// The option line holds at most this many characters, its line end included.
constexpr std::size_t kOptionLineChars = 17;

bool hasBmpExtension(const std::string& name) {
  return name.find(".BMP") != std::string::npos || name.find(".bmp") != std::string::npos;
}

// Reads one file name; false when the console input has ended.
bool readFileName(RunState& state, std::string& name) {
  do {
    if (state.console.readWord(name) == ReadResult::EndOfInput) return false;
  } while (name.empty() || name[0] == '\0');
  return true;
}

// The message that refuses an input file for what the header gate found, or null.
const char* refusalFor(HeaderVerdict verdict) {
  switch (verdict) {
    case HeaderVerdict::Accepted:
      return nullptr;
    case HeaderVerdict::NotABitmap:
      return text::kInputNotBitmap;
    case HeaderVerdict::Unsupported:
      return text::kInputUnsupported;
    case HeaderVerdict::Truncated:
      return text::kInputTruncated;
  }
  return text::kInputNotBitmap;
}

bool askInputName(RunState& state) {
  Console& console = state.console;
  for (;;) {
    console.print(text::kInputPrompt);
    if (!readFileName(state, state.inName)) return false;
    if (!hasBmpExtension(state.inName)) {
      console.print(text::kInputExtension);
      continue;
    }
    state.inFile = FileHandle(openRegularFile(state.inName));
    if (!state.inFile.isOpen()) {
      console.print(text::kInputCannotOpen);
      continue;
    }
    if (const char* refusal = refusalFor(examineInput(state))) {
      state.inFile.close();
      console.print(refusal);
      continue;
    }
    return true;
  }
}

bool askOutputName(RunState& state) {
  Console& console = state.console;
  for (;;) {
    console.print(text::kOutputPrompt);
    if (!readFileName(state, state.outName)) return false;
    if (!hasBmpExtension(state.outName)) {
      console.print(text::kOutputExtension);
    } else if (state.outName.find('\0') != std::string::npos ||
               !outputFolderUsable(state.outName)) {
      console.print(text::kOutputCannotCreate);
    } else {
      return true;
    }
  }
}

bool isOptionCharacter(char c) { return (c >= '1' && c <= '9') || (c >= 'a' && c <= 'c'); }

// Asks for the option line until its first character is an option; false at end of input.
bool askOptionLine(RunState& state) {
  Console& console = state.console;
  std::string line;
  for (;;) {
    console.print(text::kOptionsPrompt);
    state.mode = PixelMode::Colour;
    state.flags = StageFlags{};
    if (console.readLine(line, kOptionLineChars) == ReadResult::EndOfInput) return false;
    if (isOptionCharacter(line[0])) {
      applyOptionLine(state, line);
      return true;
    }
    console.print(text::kOptionsRejected);
  }
}

void converse(RunState& state) {
  Console& console = state.console;
  console.print(text::kBanner);
  console.print(text::kBitmapOnly);
  if (!askInputName(state) || !askOutputName(state)) {
    stopAtEndOfInput(state);
    return;
  }
  openInViewer(state.inName);
  console.print(text::kMenu);
  if (!askOptionLine(state)) {
    stopAtEndOfInput(state);
    return;
  }
  runPipeline(state);
  if (!state.finished) console.print(text::kFinished);
}

using Stage = void (*)(RunState&);

constexpr std::array<Stage, 14> kPipeline = {
    readInput,    convertToGrey, trimImage,    resizeImage,    rotateRight90,
    rotateLeft90, rotate180,     flipVertical, flipHorizontal, brightenImage,
    darkenImage,  invertImage,   extractEdges, writeOutput,
};

}  // namespace

void applyOptionLine(RunState& state, const std::string& line) {
  StageFlags& f = state.flags;
  for (char c : line) {
    switch (c) {
      case '\0':
        return;
      case '1':
        state.mode = PixelMode::ColourToGrey;
        break;
      case '2':
        f.trim = 1;
        break;
      case '3':
        f.resize = 1;
        break;
      case '4':
        f.turnRight = 1;
        break;
      case '5':
        f.turnLeft = 1;
        break;
      case '6':
        f.turn180 = 1;
        break;
      case '7':
        f.flipUpDown = 1;
        break;
      case '8':
        f.flipLeftRight = 1;
        break;
      case '9':
        f.brighten = 1;
        break;
      case 'a':
        f.darken = 1;
        break;
      case 'b':
        f.invert = 1;
        break;
      case 'c':
        f.edges = 1;
        break;
      default:
        break;
    }
  }
}

void runPipeline(RunState& state) {
  for (Stage stage : kPipeline) {
    stage(state);
    if (state.finished) return;
  }
}

void stopAtEndOfInput(RunState& state) {
  state.console.print(text::kEndOfInput);
  finishRun(state, 1);
}

int runDialogue(Console& console) {
  RunState state(console);
  converse(state);
  return state.exitStatus;
}

}  // namespace pixamorph
