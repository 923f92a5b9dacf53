// The last stage: writes the image as a BMP file, through a temporary file that replaces the
// named one only once every byte is on disk, so that a failure never destroys an earlier file.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "bitmap/bmp_format.h"
#include "bitmap/file_io.h"
#include "dialogue/console.h"
#include "dialogue/messages.h"

namespace pixamorph {

namespace {

// The folder a name lives in: the part before its last slash, or the working folder.
std::string folderOf(const std::string& name) {
  std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return name.substr(0, slash);
}

// The permissions the finished file gets: those of the file it replaces, or the usual ones.
mode_t permissionsFor(const std::string& name) {
  struct stat existing;
  if (stat(name.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    return existing.st_mode & 07777;
  }
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Header, rows each followed by zero fill bytes up to a multiple of 4, and two closing zeros.
bool writeImage(int fd, RunState& state) {
  int bpp = bytesPerPixel(state);
  std::size_t headerBytes = buildOutputHeader(state.header, state.width, state.height, bpp);
  auto rowBytes = static_cast<std::size_t>(state.width) * static_cast<std::size_t>(bpp);
  auto fillBytes = static_cast<std::size_t>(storedRowBytes(state.width, bpp)) - rowBytes;
  std::array<std::uint8_t, 4> zeros{};
  std::vector<iovec> buffers;
  buffers.reserve(static_cast<std::size_t>(state.height) * 2 + 2);
  buffers.push_back({state.header.data(), headerBytes});
  for (int y = 0; y < state.height; ++y) {
    buffers.push_back({state.work.row(y), rowBytes});
    if (fillBytes > 0) buffers.push_back({zeros.data(), fillBytes});
  }
  buffers.push_back({zeros.data(), static_cast<std::size_t>(kClosingBytes)});
  return writeAll(fd, buffers);
}

// Writes the whole file under a temporary name beside `name`, then renames it over `name`.
bool replaceFile(RunState& state, const std::string& name) {
  std::string temporary = folderOf(name) + "/.pixamorph-XXXXXX";
  FileHandle file(mkstemp(temporary.data()));
  if (!file.isOpen()) return false;
  bool written = fchmod(file.fd, permissionsFor(name)) == 0 && writeImage(file.fd, state);
  bool closed = ::close(file.fd) == 0;
  file.fd = -1;
  if (written && closed && rename(temporary.c_str(), name.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

}  // namespace

bool outputFolderUsable(const std::string& name) {
  struct stat folder;
  std::string path = folderOf(name);
  return stat(path.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode) &&
         access(path.c_str(), W_OK | X_OK) == 0;
}

void writeOutput(RunState& state) {
  if (!replaceFile(state, state.outName)) {
    state.console.print(text::kOutputCannotCreate);
    finishRun(state, 1);
    return;
  }
  openInViewer(state.outName);
  state.console.printf(text::kOutputWritten, state.outName.c_str());
}

}  // namespace pixamorph
