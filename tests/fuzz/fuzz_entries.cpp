#include "fuzz_entries.h"

#include <cstdio>
#include <cstdlib>

namespace m797::fuzz {

namespace {

constexpr FuzzEntry kEntries[] = {
    {"frame_assembler", FrameAssemblerInput},
    {"session_receive", SessionReceiveInput},
    {"wire_log", WireLogInput},
    {"replay", ReplayInput},
    {"recording", RecordingInput},
    {"request_reader", RequestReaderInput},
    {"elm327_reader", Elm327ReaderInput},
};

}  // namespace

std::span<const FuzzEntry> FuzzEntries() {
  return kEntries;
}

const FuzzEntry* FindFuzzEntry(std::string_view name) {
  for (const FuzzEntry& entry : kEntries) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

void Violated(const char* what) {
  std::fprintf(stderr, "fuzz: broken: %s\n", what);
  std::abort();
}

}  // namespace m797::fuzz
