#include "session/trouble_codes.h"

#include <gtest/gtest.h>

#include "expected_trouble_code_lines.h"
#include "fake_controls.h"

namespace m797::session::test {
namespace {

using Lines = std::vector<std::string>;

ResponseData Answer(std::vector<std::uint8_t> bytes) {
  ResponseData d;
  std::copy(bytes.begin(), bytes.end(), d.bytes.begin());
  d.length = bytes.size();
  return d;
}

std::string LineOf(const char* code) {
  return TroubleCodeLine(*FindTroubleCode(code));
}

TEST(TroubleCodeTable, EveryRowReadsAsTheMechanicExpects) {
  const auto table = TroubleCodeTable();
  ASSERT_EQ(table.size(), std::size(kExpectedTroubleCodeLines));
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(TroubleCodeLine(table[i]), kExpectedTroubleCodeLines[i]) << "row " << i + 1;
  }
  EXPECT_EQ(LineOf("0603").back(), ' ');
}

TEST(TroubleCodes, CodeTextIsUpperCaseHexWithLeadingZeros) {
  EXPECT_EQ(TroubleCodeText(0x01, 0x02), "0102");
  EXPECT_EQ(TroubleCodeText(0x0A, 0xBC), "0ABC");
  EXPECT_EQ(FindTroubleCode("0abc"), nullptr);
  EXPECT_EQ(FindTroubleCode("0ABC"), nullptr);
}

TEST(TroubleCodes, StorageStateChoosesTheList) {
  const std::pair<std::uint8_t, int> cases[] = {{0x60, 1}, {0xE0, 1}, {0x7F, 1}, {0x20, 2},
                                                {0x40, 2}, {0x00, 0}, {0x1F, 0}, {0x80, 0}};
  for (auto [status, list] : cases) {
    FakeControls c;
    ShowTroubleCodes(Answer({0x58, 0x01, 0x01, 0x02, status}), c);
    const Lines expected = {LineOf("0102")};
    EXPECT_EQ(c.memo1, list == 1 ? expected : Lines{}) << int(status);
    EXPECT_EQ(c.memo2, list == 2 ? expected : Lines{}) << int(status);
  }
  EXPECT_EQ(LineOf("0102"),
            "0102 - Датчик массового расхода воздуха, низкий уровень выходного сигнала");
}

TEST(TroubleCodes, ListsAreRebuiltInAnswerOrder) {
  FakeControls c;
  c.memo1 = {"old"};
  c.memo2 = {"old"};
  ShowTroubleCodes(Answer({0x58, 0x03, 0x03, 0x00, 0x60, 0x01, 0x71, 0x20, 0x03, 0x01, 0xE0}), c);
  EXPECT_EQ(c.memo1, (Lines{LineOf("0300"), LineOf("0301")}));
  EXPECT_EQ(c.memo2, (Lines{LineOf("0171")}));

  ShowTroubleCodes(Answer({0x58, 0x02, 0x06, 0x03, 0x60, 0x06, 0x03, 0x60}), c);
  EXPECT_EQ(c.memo1, (Lines{LineOf("0603"), LineOf("0603")}));
  EXPECT_TRUE(c.memo2.empty());
}

TEST(TroubleCodes, UnknownCodesAndMissingEntriesShowNothing) {
  FakeControls c;
  c.memo1 = {"old"};
  ShowTroubleCodes(Answer({0x58, 0x01, 0x01, 0x11, 0x60}), c);
  EXPECT_TRUE(c.memo1.empty());
  ShowTroubleCodes(Answer({0x58, 0x01, 0x0A, 0xBC, 0x60}), c);
  EXPECT_TRUE(c.memo1.empty());
  // Five announced, one carried: the rest read as zeros and show nothing.
  ShowTroubleCodes(Answer({0x58, 0x05, 0x03, 0x01, 0x60}), c);
  EXPECT_EQ(c.memo1, (Lines{LineOf("0301")}));
  EXPECT_TRUE(c.memo2.empty());
  // 255 announced with none carried reads nothing past the answer buffer.
  ShowTroubleCodes(Answer({0x58, 0xFF}), c);
  EXPECT_TRUE(c.memo1.empty());
}

TEST(TroubleCodes, AnswerWithoutEntriesEmptiesBothLists) {
  FakeControls c;
  c.memo1 = {LineOf("0300")};
  c.memo2 = {LineOf("0171")};
  ShowTroubleCodes(Answer({0x58, 0x00}), c);
  EXPECT_TRUE(c.memo1.empty());
  EXPECT_TRUE(c.memo2.empty());
}

}  // namespace
}  // namespace m797::session::test
