#include "serial/ser_types.h"

namespace m797::serial {

std::uint32_t BaudrateValue(TSerBaudrate rate) {
  static constexpr std::uint32_t kRates[] = {0,     110,    300,    600,   1200,  2400,
                                             4800,  9600,   14400,  19200, 38400, 56000,
                                             57600, 115200, 128000, 256000};
  return kRates[static_cast<unsigned>(rate)];
}

std::uint32_t EventBit(TSerCommEvent event) {
  static constexpr std::uint32_t kBits[] = {kEvBreak,    kEvCts,    kEvDsr,     kEvErr,    kEvRing,
                                            kEvRlsd,     kEvRxChar, kEvTxEmpty, kEvRxFlag, kEvPErr,
                                            kEvRx80Full, kEvEvent1, kEvEvent2};
  return kBits[static_cast<unsigned>(event)];
}

int PlatformPriority(TThreadPriority priority) {
  static constexpr int kLevels[] = {-15, -2, -1, 0, 1, 2, 15};
  return kLevels[static_cast<unsigned>(priority)];
}

}  // namespace m797::serial
