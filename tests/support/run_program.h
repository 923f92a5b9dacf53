// Runs the real pixamorph binary in a temporary folder, feeding its standard input and
// recording what a fake xdg-open (first on PATH) is handed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pixamorph::testing {

struct RunResult {
  int status = -1;     // exit status, or -1 when the process did not exit normally
  std::string output;  // every byte the program wrote to its standard output
};

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path path(const std::string& name) const { return folder_ / name; }

  void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  std::vector<std::uint8_t> readFile(const std::string& name) const;
  bool exists(const std::string& name) const;
  // Names in the folder, the fake viewer's own files left out.
  std::vector<std::string> listFiles() const;

  // Runs the program with `input` as its standard input. `shellPrefix`, when given, is a shell
  // command line put before the program (for instance "ulimit -f 10;").
  RunResult run(const std::string& input, const std::string& shellPrefix = "") const;

  // The arguments of each call of the fake viewer, one vector per call, sorted (viewers run
  // detached, so they may record in another order than they were started), waiting until at
  // least `calls` have arrived or a few seconds have passed.
  std::vector<std::vector<std::string>> viewerCalls(std::size_t calls) const;

 private:
  std::filesystem::path folder_;
  std::filesystem::path tools_;
};

}  // namespace pixamorph::testing
