#pragma once

#include <cstdint>
#include <initializer_list>

namespace m797::serial {

enum class TSerBaudrate {
  brUser,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};

enum class TSerParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TSerDatabits { db4, db5, db6, db7, db8 };
enum class TSerStopbits { sb1, sb15, sb2 };
enum class TSerControlDtr { dtrDisabled, dtrEnabled, dtrHandshake };
enum class TSerControlRts { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };

enum class TSerCommOption { coErrorChar, coNullStrip, coParityCheck };

enum class TSerCommEvent {
  ceBreak,
  ceCts,
  ceDsr,
  ceError,
  ceRing,
  ceRlsd,
  ceRxChar,
  ceTxEmpty,
  ceRxFlag,
  cePErr,
  ceRx80Full,
  ceEvent1,
  ceEvent2
};

// The seven priority levels a component thread may run at.
enum class TThreadPriority {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

// A small set over one of the enumerations above, stored as bits.
template <typename E>
class TSerSet {
 public:
  constexpr TSerSet() = default;
  constexpr TSerSet(std::initializer_list<E> members) {
    for (E m : members)
      bits_ |= Bit(m);
  }
  constexpr bool Contains(E m) const { return (bits_ & Bit(m)) != 0; }
  constexpr TSerSet& Include(E m) {
    bits_ |= Bit(m);
    return *this;
  }
  constexpr TSerSet& Exclude(E m) {
    bits_ &= ~Bit(m);
    return *this;
  }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const TSerSet&) const = default;

 private:
  static constexpr std::uint32_t Bit(E m) { return 1u << static_cast<unsigned>(m); }
  std::uint32_t bits_ = 0;
};

using TSerCommOptions = TSerSet<TSerCommOption>;
using TSerCommEvents = TSerSet<TSerCommEvent>;

// Line event bits, as the Win32 communications interface numbers them.
inline constexpr std::uint32_t kEvRxChar = 0x0001;
inline constexpr std::uint32_t kEvRxFlag = 0x0002;
inline constexpr std::uint32_t kEvTxEmpty = 0x0004;
inline constexpr std::uint32_t kEvCts = 0x0008;
inline constexpr std::uint32_t kEvDsr = 0x0010;
inline constexpr std::uint32_t kEvRlsd = 0x0020;
inline constexpr std::uint32_t kEvBreak = 0x0040;
inline constexpr std::uint32_t kEvErr = 0x0080;
inline constexpr std::uint32_t kEvRing = 0x0100;
inline constexpr std::uint32_t kEvPErr = 0x0200;
inline constexpr std::uint32_t kEvRx80Full = 0x0400;
inline constexpr std::uint32_t kEvEvent1 = 0x0800;
inline constexpr std::uint32_t kEvEvent2 = 0x1000;

// Line error bits reported by the status query (Win32 CE_ values).
inline constexpr std::uint32_t kCeRxOver = 0x0001;
inline constexpr std::uint32_t kCeOverrun = 0x0002;
inline constexpr std::uint32_t kCeRxParity = 0x0004;
inline constexpr std::uint32_t kCeFrame = 0x0008;
inline constexpr std::uint32_t kCeBreak = 0x0010;

// Flag bits of the device control block.
inline constexpr std::uint32_t kDcbBinary = 0x1;
inline constexpr std::uint32_t kDcbParity = 0x2;
inline constexpr std::uint32_t kDcbOutxCtsFlow = 0x4;
inline constexpr std::uint32_t kDcbOutxDsrFlow = 0x8;
inline constexpr std::uint32_t kDcbDtrControlShift = 4;  // two bits
inline constexpr std::uint32_t kDcbDsrSensitivity = 0x40;
inline constexpr std::uint32_t kDcbTxContinueOnXoff = 0x80;
inline constexpr std::uint32_t kDcbOutX = 0x100;
inline constexpr std::uint32_t kDcbInX = 0x200;
inline constexpr std::uint32_t kDcbErrorChar = 0x400;
inline constexpr std::uint32_t kDcbNull = 0x800;
inline constexpr std::uint32_t kDcbRtsControlShift = 12;  // two bits
inline constexpr std::uint32_t kDcbAbortOnError = 0x4000;

// Codes of the escape function that drives DTR and the break condition.
enum class TSerEscape : std::uint32_t { SetDtr = 5, ClrDtr = 6, SetBreak = 8, ClrBreak = 9 };

// Bits per second named by a rate; 0 for brUser, whose rate is given separately.
std::uint32_t BaudrateValue(TSerBaudrate rate);
// The platform event bit that reports one monitored event.
std::uint32_t EventBit(TSerCommEvent event);
// Platform thread priority of a level: -15, -2, -1, 0, 1, 2, 15.
int PlatformPriority(TThreadPriority priority);

}  // namespace m797::serial
