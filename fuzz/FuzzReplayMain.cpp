// Entry point of a fuzzer built without a fuzzing engine: runs LLVMFuzzerTestOneInput once on
// every regular file of every directory named on the command line (in name order, so runs are
// reproducible). Fails when a file cannot be read or nothing was run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::set<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i)
    for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
      if (entry.is_regular_file()) inputs.insert(entry.path());
  for (const std::filesystem::path& input : inputs) {
    std::ifstream stream(input, std::ios::binary);
    if (!stream) {
      std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
      return 1;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replayed %zu input(s)\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
