#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace m797::fuzz {

// One reader of outside bytes driven by an arbitrary input: the libFuzzer targets call it with
// generated inputs, and the corpus replay test with every kept one.  An input the reader refuses
// is fine; a broken promise of the reader (a frame read past its end, a value that is not a
// number) ends the process through Violated.
struct FuzzEntry {
  const char* name;  // the target is fuzz_<name>, its inputs are in corpus/<name>
  void (*run)(const std::uint8_t* data, std::size_t size);
};

std::span<const FuzzEntry> FuzzEntries();
const FuzzEntry* FindFuzzEntry(std::string_view name);

void FrameAssemblerInput(const std::uint8_t* data, std::size_t size);
void SessionReceiveInput(const std::uint8_t* data, std::size_t size);
void WireLogInput(const std::uint8_t* data, std::size_t size);
void ReplayInput(const std::uint8_t* data, std::size_t size);
void RecordingInput(const std::uint8_t* data, std::size_t size);
void RequestReaderInput(const std::uint8_t* data, std::size_t size);
void Elm327ReaderInput(const std::uint8_t* data, std::size_t size);

// Prints what was broken and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void Violated(const char* what);
inline void Expect(bool holds, const char* what) {
  if (!holds) Violated(what);
}

}  // namespace m797::fuzz
