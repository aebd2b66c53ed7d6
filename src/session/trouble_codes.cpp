#include "session/trouble_codes.h"

#include <vector>

namespace m797::session {

namespace {

// Bits 6 and 5 of the status byte tell whether and how the fault is stored.
constexpr std::uint8_t kStorageMask = 0x60;
constexpr std::uint8_t kPresentNow = 0x60;
constexpr std::uint8_t kNotPresentNow = 0x20;
constexpr std::uint8_t kMaturing = 0x40;

constexpr std::size_t kEntrySize = 3;  // code high byte, code low byte, status

}  // namespace

const TroubleCode* FindTroubleCode(std::string_view code) {
  for (const TroubleCode& row : TroubleCodeTable()) {
    if (code == row.code) return &row;
  }
  return nullptr;
}

std::string TroubleCodeLine(const TroubleCode& row) {
  return std::string(row.code) + " - " + row.description;
}

std::string TroubleCodeText(std::uint8_t high, std::uint8_t low) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[high >> 4], kDigits[high & 0xF], kDigits[low >> 4], kDigits[low & 0xF]};
}

void ShowTroubleCodes(const ResponseData& data, SessionControls& controls) {
  const std::size_t entries = data[1];
  std::vector<std::string> current;
  std::vector<std::string> stored;
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t at = 2 + kEntrySize * i;
    const std::uint8_t storage = data[at + 2] & kStorageMask;
    std::vector<std::string>* list;
    if (storage == kPresentNow) {
      list = &current;
    } else if (storage == kNotPresentNow || storage == kMaturing) {
      list = &stored;
    } else {
      continue;
    }
    if (const TroubleCode* row = FindTroubleCode(TroubleCodeText(data[at], data[at + 1]))) {
      list->push_back(TroubleCodeLine(*row));
    }
  }
  controls.SetMemoLines(Memo::Memo1, current);
  controls.SetMemoLines(Memo::Memo2, stored);
}

}  // namespace m797::session
