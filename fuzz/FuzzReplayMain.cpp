// Entry point of a fuzzer built without a fuzzing engine: runs LLVMFuzzerTestOneInput once on
// every file named on the command line, and on every regular file of every directory named
// there (in name order, so runs are reproducible). Fails when nothing was run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Runs the fuzz target on the contents of one file; false when it cannot be read.
bool RunFile(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return false;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

// The regular files under path (path itself when it is a file), sorted by name.
std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& path) {
  std::vector<std::filesystem::path> inputs;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    for (const auto& entry : std::filesystem::directory_iterator(path, error))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  } else {
    inputs.push_back(path);
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  int run = 0;
  for (int i = 1; i < argc; ++i) {
    for (const std::filesystem::path& input : InputsOf(argv[i])) {
      if (!RunFile(input)) {
        std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
        return 1;
      }
      ++run;
    }
  }
  std::printf("replayed %d input(s)\n", run);
  return run > 0 ? 0 : 1;
}
