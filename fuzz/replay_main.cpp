// Runs a fuzz target once on every file of the folders (or files) named on the command line, so
// that the corpus runs as an ordinary test in builds without libFuzzer. A failing input aborts the
// run; the name printed last is the culprit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& place) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(place)) {
    for (const auto& entry : std::filesystem::directory_iterator(place)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
  } else if (std::filesystem::is_regular_file(place)) {
    inputs.push_back(place);
  }
  return inputs;
}

std::vector<std::uint8_t> contentsOf(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(stream),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> inputs = inputsIn(argv[i]);
    if (inputs.empty()) {
      std::fprintf(stderr, "no inputs in %s\n", argv[i]);
      return 1;
    }
    for (const auto& input : inputs) {
      std::fprintf(stderr, "replaying %s\n", input.c_str());
      std::vector<std::uint8_t> bytes = contentsOf(input);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  std::printf("%zu inputs replayed\n", replayed);
  return replayed > 0 ? 0 : 1;
}
