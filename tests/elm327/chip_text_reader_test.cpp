// The reader of an ELM327's text: its lines as the data sheet and users' logs show them, cut
// anywhere, and input it must bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elm327/chip_text_reader.h"

namespace m797::elm327 {
namespace {

using K = ChipLineKind;

TEST(ChipTextReader, ClassifiesTheChipsLines) {
  const struct {
    const char* text;
    K kind;
  } cases[] = {
      {"83 F1 11 C1 EF 8F C4 ", K::Frame},    // blanks between bytes, one after the last
      {"83F111C1EF8FC4", K::Frame},           // without blanks (ATS0)
      {"80 F1 11 03 7F 18 22 3E", K::Frame},  // a separate length byte
      {"83 F1 11 C1 EF 8F", K::Other},        // shorter than its header says
      {"83 F1 11 C1 EF 8F C4 00", K::Other},  // longer
      {"C1 33 F1 3E", K::Other},              // functional addressing
      {"83 F1 11 C1 EF 8F C 4", K::Other},    // a lone digit
      {"83 F1 11 C1 EF 8F C5 <DATA ERROR", K::AnswerLost},
      {"FB ERROR", K::BusFault},  // starts with hex digits
      {"CAN ERROR", K::BusFault},
      {"ERR94", K::BusFault},
      {"OK", K::Ok},
      {"?", K::Refused},
      {"NO DATA", K::NoData},
      {"BUS INIT: OK", K::BusInitOk},
      {"BUS INIT: ...OK", K::BusInitOk},
      {"BUS INIT: ...ERROR", K::InitFailed},
      {"UNABLE TO CONNECT", K::InitFailed},
      {"STOPPED", K::Stopped},
      {"SEARCHING...", K::Searching},
      {"BUFFER FULL", K::AnswerLost},
      {"ELM327 v1.5", K::Restarted},
      {"LV RESET", K::Restarted},
      {"ATE0", K::Other},  // the echo of a command
      {"\xfc\x01garbage", K::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ChipLine line = ClassifyLine(c.text);
    EXPECT_EQ(line.kind, c.kind);
    EXPECT_EQ(line.frame.empty(), c.kind != K::Frame);
  }
}

// The text of a start-up and an answer, fed in every cut of two pieces: the same lines and
// prompts come out, and an endless line is cut to the bound and ends as an unknown one.
TEST(ChipTextReader, GivesTheSameLinesHoweverTheTextIsCutAndBoundsALine) {
  const std::string text = std::string("\xfc\0\r\rELM327 v1.5\r\r>", 18) +
                           "BUS INIT: ...OK\r\n83 F1 11 C1 EF 8F C4 \r\r>";
  const auto read = [](const std::string& t, std::size_t cut) {
    ChipTextReader reader;
    std::vector<std::string> events;
    const auto sink = [&](const ChipTextReader::Event& e) {
      events.push_back(e.prompt ? ">"
                                : std::to_string(static_cast<int>(e.line.kind)) + e.line.text);
    };
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(t.data());
    reader.Feed(bytes, cut, sink);
    reader.Feed(bytes + cut, t.size() - cut, sink);
    return events;
  };
  const auto whole = read(text, 0);
  ASSERT_EQ(whole.size(), 6u);
  EXPECT_EQ(whole[1], std::to_string(static_cast<int>(K::Restarted)) + "ELM327 v1.5");
  for (std::size_t cut = 1; cut < text.size(); ++cut)
    EXPECT_EQ(read(text, cut), whole) << cut;

  ChipTextReader reader;
  std::vector<ChipLine> lines;
  const std::string endless(10'000, '8');
  for (int i = 0; i < 3; ++i) {
    reader.Feed(reinterpret_cast<const std::uint8_t*>(endless.data()), endless.size(),
                [&](const ChipTextReader::Event& e) { lines.push_back(e.line); });
  }
  EXPECT_TRUE(lines.empty());
  reader.Feed(reinterpret_cast<const std::uint8_t*>("\r"), 1,
              [&](const ChipTextReader::Event& e) { lines.push_back(e.line); });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].kind, K::Other);
  EXPECT_EQ(lines[0].text.size(), ChipTextReader::kMaxLineLength);
}

}  // namespace
}  // namespace m797::elm327
