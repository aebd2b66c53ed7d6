// Every kept input of every fuzz target, the seed corpus and the inputs of faults found, fed to the
// same reader the target drives; so the faults stay mended in every build, sanitized ones too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_entries.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> KeptInputs(const std::string& target) {
  std::vector<fs::path> files;
  for (const char* folder : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(M797_FUZZ_DATA_DIR) / folder / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  return files;
}

TEST(FuzzCorpus, EveryKeptInputIsReadWithoutFault) {
  for (const m797::fuzz::FuzzEntry& entry : m797::fuzz::FuzzEntries()) {
    const auto files = KeptInputs(entry.name);
    EXPECT_FALSE(files.empty()) << "no seed inputs for " << entry.name;
    for (const fs::path& file : files) {
      SCOPED_TRACE(file.string());
      std::ifstream in(file, std::ios::binary);
      const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      entry.run(bytes.data(), bytes.size());
    }
  }
}

}  // namespace
