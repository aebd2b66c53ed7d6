// The libFuzzer entry of one target: M797_FUZZ_TARGET names the reader it drives.
#include <cstdio>
#include <cstdlib>

#include "fuzz_entries.h"

namespace {

const m797::fuzz::FuzzEntry& Target() {
  static const m797::fuzz::FuzzEntry* const entry = m797::fuzz::FindFuzzEntry(M797_FUZZ_TARGET);
  if (!entry) {
    std::fprintf(stderr, "fuzz: no reader named %s\n", M797_FUZZ_TARGET);
    std::abort();
  }
  return *entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Target().run(data, size);
  return 0;
}
