#pragma once

#include <cstdint>

namespace m797::session {

// Poll states: each selects the request that goes out next.
namespace poll {
inline constexpr std::uint8_t kStartCommunication = 0;
inline constexpr std::uint8_t kLiveData06 = 1;
inline constexpr std::uint8_t kReadTroubleCodes = 2;
inline constexpr std::uint8_t kClearTroubleCodes = 3;
inline constexpr std::uint8_t kLiveData02 = 6;
inline constexpr std::uint8_t kLiveData04 = 7;
inline constexpr std::uint8_t kLiveData05 = 8;
inline constexpr std::uint8_t kLiveData03 = 9;
inline constexpr std::uint8_t kStartDiagnosticSession = 10;
}  // namespace poll

inline constexpr const char* kStartCommunicationRequest = "81";

// Service identifiers in the controller's answers: the first data byte, by which the session
// tells the answers apart.  A negative answer is followed by the service refused; the clearing
// of the trouble codes is the one such service a shell names.
inline constexpr std::uint8_t kReadDataByLocalIdentifierAnswer = 0x61;
inline constexpr std::uint8_t kTroubleCodesAnswer = 0x58;
inline constexpr std::uint8_t kClearAnswer = 0x54;
inline constexpr std::uint8_t kStartCommunicationAnswer = 0xC1;
inline constexpr std::uint8_t kStartDiagnosticSessionAnswer = 0x50;
inline constexpr std::uint8_t kStopCommunicationAnswer = 0xC2;
inline constexpr std::uint8_t kNegativeAnswer = 0x7F;
inline constexpr std::uint8_t kClearService = 0x14;

// The request that the regular next-request step sends in `state`, and the one the retry sends
// (they differ only while reading trouble codes).  nullptr where the state keeps the current
// request text: state 0, whose text is always "81", and values no state uses.
const char* NextRequestText(std::uint8_t state);
const char* RetryRequestText(std::uint8_t state);

}  // namespace m797::session
