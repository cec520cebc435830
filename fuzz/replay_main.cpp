// Without libFuzzer (gcc builds), each target is a program that feeds it
// every file of the directories or files it is given: the seed corpus then
// runs as an ordinary test under the build's sanitizers, with the same
// invariants as the fuzzer checks.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReplayFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return false;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int fed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        if (entry.is_regular_file()) {
          if (!ReplayFile(entry.path())) return 1;
          ++fed;
        }
    } else {
      if (!ReplayFile(path)) return 1;
      ++fed;
    }
  }
  if (fed == 0) {
    std::fprintf(stderr, "no inputs: give the corpus directories or files to replay\n");
    return 1;
  }
  std::printf("%d inputs replayed\n", fed);
  return 0;
}
