#include "controller.h"

#include <algorithm>
#include <cmath>

#include "session/request_frame.h"

namespace m797::ecusim {

namespace {

constexpr std::uint8_t kServiceNotSupported = 0x11;
constexpr std::uint8_t kSubFunctionNotSupported = 0x12;

std::uint8_t Byte(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

void PutWord(Bytes& d, std::size_t low, double value) {
  const long word = std::clamp(std::lround(value), 0L, 65535L);
  d[low] = static_cast<std::uint8_t>(word & 0xFF);
  d[low + 1] = static_cast<std::uint8_t>(word >> 8);
}

std::uint8_t Temperature(double celsius) {
  return Byte((celsius + 48.0) / 0.75);
}
std::uint8_t Voltage(double volts) {
  return Byte(volts * 255.0 / 17.9);
}
std::uint8_t Throttle(double percent) {
  return Byte(percent * 255.0 / 100.0);
}
std::uint8_t Speed(double kmh) {
  return Byte(kmh / 1.25);
}
double PressureWord(double kpa) {
  return kpa * 65535.0 / 256.0;
}

}  // namespace

Controller::Controller(int type, std::vector<TroubleCodeEntry> codes)
    : type_(type), codes_(std::move(codes)) {}

Bytes Controller::Answer(const Bytes& request, const EngineState& engine) {
  if (request.empty()) return NegativeAnswer(0, kServiceNotSupported);
  const std::uint8_t service = request[0];
  switch (service) {
    case 0x81:  // StartCommunication: key bytes of a length-in-format-byte controller
      return {0xC1, 0xEF, 0x8F};
    case 0x10:
      if (request.size() == 2 && request[1] == 0x86) return {0x50, 0x86};
      return NegativeAnswer(service, kSubFunctionNotSupported);
    case 0x21:
      if (request.size() == 2) {
        Bytes record = LiveData(request[1], engine);
        if (!record.empty()) return record;
      }
      return NegativeAnswer(service, kSubFunctionNotSupported);
    case 0x18: {
      Bytes answer = {0x58, static_cast<std::uint8_t>(codes_.size())};
      for (const TroubleCodeEntry& c : codes_)
        answer.insert(answer.end(), {c.high, c.low, c.status});
      return answer;
    }
    case 0x14:
      codes_.clear();
      return {0x54, 0xFF, 0x00};
    default:
      return NegativeAnswer(service, kServiceNotSupported);
  }
}

Bytes Controller::LiveData(std::uint8_t lid, const EngineState& e) const {
  Bytes d;
  auto record = [&](std::size_t size) {
    d.assign(size, 0);
    d[0] = 0x61;
    d[1] = lid;
  };
  if (type_ == 1) {
    switch (lid) {
      case 0x06:
        record(8);
        d[2] = Speed(e.speed_kmh);
        PutWord(d, 5, e.rpm * 4.0);
        break;
      case 0x03:
        record(8);
        d[4] = Voltage(e.battery_v);
        d[5] = Temperature(e.coolant_c);
        d[6] = Temperature(e.intake_air_c);
        d[7] = Throttle(e.throttle_pct);
        break;
      case 0x04:
        record(8);
        PutWord(d, 2, PressureWord(e.manifold_kpa));
        PutWord(d, 6, e.injection_ms * 65535.0 / 175.0);
        break;
    }
    return d;
  }
  switch (lid) {
    case 0x06:
      record(12);
      d[10] = Speed(e.speed_kmh);
      break;
    case 0x02:
      record(34);
      PutWord(d, 12, PressureWord(e.manifold_kpa));
      d[22] = Throttle(e.throttle_pct);
      if (type_ == 3) d[25] = Byte(e.rpm / 40.0);
      d[27] = Voltage(e.battery_v);
      d[29] = Temperature(e.coolant_c);
      d[31] = Temperature(e.intake_air_c);
      break;
    case 0x05:
      if (type_ == 2) {
        record(12);
        PutWord(d, 9, e.rpm * 4.0);
      }
      break;
    case 0x03:
      record(12);
      d[10] = Byte(e.injection_ms * 255.0 / 208.1);
      break;
  }
  return d;
}

Bytes AnswerFrame(const Bytes& data) {
  return session::EncodeFrame(session::kTesterAddress, session::kControllerAddress, data);
}

Bytes LengthByteAnswerFrame(const Bytes& data) {
  // Room for the whole frame first: growing the four header bytes by the data made GCC 12 see a
  // copy past them (-Warray-bounds).
  Bytes frame;
  frame.reserve(data.size() + 5);
  frame = {0x80, session::kTesterAddress, session::kControllerAddress,
           static_cast<std::uint8_t>(data.size())};
  frame.insert(frame.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame)
    sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(sum);
  return frame;
}

Bytes NegativeAnswer(std::uint8_t service, std::uint8_t reason) {
  return {0x7F, service, reason};
}

}  // namespace m797::ecusim
