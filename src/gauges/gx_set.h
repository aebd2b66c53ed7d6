#pragma once

#include <cstdint>
#include <initializer_list>

namespace m797::gauges {

// A small set over an enumeration whose members number from 0 (at most 32 members), for the
// option and hint sets of the instruments.
template <typename E>
class TGxSet {
 public:
  constexpr TGxSet() = default;
  constexpr TGxSet(std::initializer_list<E> members) {
    for (E m : members)
      bits_ |= Bit(m);
  }
  static constexpr TGxSet FromBits(std::uint32_t bits) {
    TGxSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr bool Contains(E m) const { return (bits_ & Bit(m)) != 0; }
  constexpr TGxSet With(E m) const { return FromBits(bits_ | Bit(m)); }
  constexpr TGxSet Without(E m) const { return FromBits(bits_ & ~Bit(m)); }
  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const TGxSet&) const = default;

 private:
  static constexpr std::uint32_t Bit(E m) { return std::uint32_t{1} << static_cast<unsigned>(m); }
  std::uint32_t bits_ = 0;
};

}  // namespace m797::gauges
