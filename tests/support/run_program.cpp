// Starts the real binary with fork and exec, standard input from a file, output to a file.
#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace pixamorph::testing {

namespace fs = std::filesystem;

namespace {

// Records each call as one line: its arguments, each ended by a NUL byte. The line is built
// apart and appended by one write, so that two viewers running at once do not mix their lines.
constexpr char kFakeViewer[] =
    "#!/bin/sh\n"
    "dir=$(dirname \"$0\")\n"
    "record=$(mktemp \"$dir/call.XXXXXX\")\n"
    "{ for a in \"$@\"; do printf '%s\\0' \"$a\"; done; printf '\\n'; } > \"$record\"\n"
    "cat \"$record\" >> \"$dir/viewer.log\"\n"
    "rm -f \"$record\"\n";

std::string readWhole(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

Sandbox::Sandbox() {
  std::string pattern = (fs::temp_directory_path() / "pixamorph-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  tools_ = folder_.string() + "-tools";
  fs::create_directory(tools_);
  std::ofstream(tools_ / "xdg-open") << kFakeViewer;
  fs::permissions(tools_ / "xdg-open", fs::perms::owner_all);
}

Sandbox::~Sandbox() {
  std::error_code ignored;
  fs::permissions(folder_, fs::perms::owner_all, ignored);
  fs::remove_all(folder_, ignored);
  fs::remove_all(tools_, ignored);
}

void Sandbox::writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  std::ofstream out(path(name), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Sandbox::readFile(const std::string& name) const {
  std::string bytes = readWhole(path(name));
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool Sandbox::exists(const std::string& name) const { return fs::exists(path(name)); }

std::vector<std::string> Sandbox::listFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

RunResult Sandbox::run(const std::string& input, const std::string& shellPrefix) const {
  fs::path inputFile = tools_ / "stdin";
  fs::path outputFile = tools_ / "stdout";
  std::ofstream(inputFile, std::ios::binary) << input;
  std::string pathVariable =
      tools_.string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int in = open(inputFile.c_str(), O_RDONLY);
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || chdir(folder_.c_str()) != 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    setenv("PATH", pathVariable.c_str(), 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    if (shellPrefix.empty()) {
      execl(PIXAMORPH_BINARY, "pixamorph", static_cast<char*>(nullptr));
    } else {
      std::string command = shellPrefix + " exec \"$0\"";
      execl("/bin/sh", "sh", "-c", command.c_str(), PIXAMORPH_BINARY, static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.output = readWhole(outputFile);
  return result;
}

std::vector<std::vector<std::string>> Sandbox::viewerCalls(std::size_t calls) const {
  std::vector<std::vector<std::string>> parsed;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    parsed.clear();
    std::istringstream log(readWhole(tools_ / "viewer.log"));
    std::string line;
    while (std::getline(log, line)) {
      std::vector<std::string> arguments;
      std::size_t start = 0;
      for (std::size_t end; (end = line.find('\0', start)) != std::string::npos; start = end + 1) {
        arguments.push_back(line.substr(start, end - start));
      }
      parsed.push_back(arguments);
    }
    if (parsed.size() >= calls || std::chrono::steady_clock::now() > deadline) {
      std::sort(parsed.begin(), parsed.end());
      return parsed;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace pixamorph::testing
