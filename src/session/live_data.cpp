#include "session/live_data.h"

#include <cmath>

#include "session/poll_requests.h"

namespace m797::session {

namespace {

// One record layout: which controller type and local identifier it belongs to, how it sets the
// gauges, and which poll state follows it.
struct LiveDataRecord {
  int controller_type;
  std::uint8_t local_identifier;
  std::uint8_t next_state;
  void (*show)(const ResponseData& d, SessionControls& c);
};

// Two bytes at `low` and low + 1, low byte first.
double Word(const ResponseData& d, std::size_t low) {
  return d[low + 1] * 256.0 + d[low];
}

void Show(SessionControls& c, Gauge gauge, double value) {
  c.SetGaugeValue(gauge, static_cast<float>(value));
}

double Speed(std::uint8_t raw) {
  return Nearest(raw * 1.25);
}
double Voltage(std::uint8_t raw) {
  return raw * 17.9 / 255.0;
}
double Temperature(std::uint8_t raw) {
  return Nearest(raw * 0.75 - 48.0);
}
double Throttle(std::uint8_t raw) {
  return raw * 100.0 / 255.0;
}
double Pressure(double raw_word) {
  return raw_word * 256.0 / 65535.0;
}
double InjectionTimeByte(std::uint8_t raw) {
  return raw * 208.1 / 255.0;
}

void ShowSpeed(SessionControls& c, std::uint8_t raw) {
  Show(c, Gauge::VS_Speed, Speed(raw));
  Show(c, Gauge::VI_Speed, Speed(raw));
}

// Engine speed from a word of rpm x 4: the dial reads hundreds of rpm, the readout rpm.
void ShowEngineSpeedWord(SessionControls& c, double quarter_rpm) {
  Show(c, Gauge::VS_Nmot, Nearest(quarter_rpm / 400.0));
  Show(c, Gauge::VI_Nmot, Nearest(quarter_rpm / 4.0));
}

void ShowVoltage(SessionControls& c, std::uint8_t raw) {
  Show(c, Gauge::VS_Ub, Voltage(raw));
  Show(c, Gauge::VI_Ub, Voltage(raw));
}

// The long record of local identifier 0x02 that "Type 2" and "Type 3" share; "Type 3" also
// carries the engine speed in it, in units of 40 rpm.
void ShowLongRecord(const ResponseData& d, SessionControls& c, bool with_engine_speed) {
  Show(c, Gauge::VS_MRV, Pressure(Word(d, 12)));
  Show(c, Gauge::VS_THR, Throttle(d[22]));
  if (with_engine_speed) {
    Show(c, Gauge::VS_Nmot, Nearest(d[25] * 40.0 / 100.0));
    Show(c, Gauge::VI_Nmot, d[25] * 40.0);
  }
  ShowVoltage(c, d[27]);
  Show(c, Gauge::VS_TOG, Temperature(d[29]));
  Show(c, Gauge::VS_TANS, Temperature(d[31]));
}

constexpr int kType1 = 0;
constexpr int kType2 = 1;
constexpr int kType3 = 2;

constexpr LiveDataRecord kRecords[] = {
    {kType1, 0x06, poll::kLiveData03,
     [](const ResponseData& d, SessionControls& c) {
       ShowSpeed(c, d[2]);
       ShowEngineSpeedWord(c, Word(d, 5));
     }},
    {kType1, 0x03, poll::kLiveData04,
     [](const ResponseData& d, SessionControls& c) {
       ShowVoltage(c, d[4]);
       Show(c, Gauge::VS_TOG, Temperature(d[5]));
       Show(c, Gauge::VS_TANS, Temperature(d[6]));
       Show(c, Gauge::VS_THR, Throttle(d[7]));
     }},
    {kType1, 0x04, poll::kLiveData06,
     [](const ResponseData& d, SessionControls& c) {
       Show(c, Gauge::VS_DV, Word(d, 6) * 175.0 / 65535.0);
       Show(c, Gauge::VS_MRV, Nearest(Pressure(Word(d, 2))));
     }},
    {kType2, 0x06, poll::kLiveData02,
     [](const ResponseData& d, SessionControls& c) { ShowSpeed(c, d[10]); }},
    {kType2, 0x02, poll::kLiveData05,
     [](const ResponseData& d, SessionControls& c) { ShowLongRecord(d, c, false); }},
    {kType2, 0x05, poll::kLiveData03,
     [](const ResponseData& d, SessionControls& c) { ShowEngineSpeedWord(c, Word(d, 9)); }},
    {kType2, 0x03, poll::kLiveData06,
     [](const ResponseData& d, SessionControls& c) {
       Show(c, Gauge::VS_DV, InjectionTimeByte(d[10]));
     }},
    {kType3, 0x06, poll::kLiveData02,
     [](const ResponseData& d, SessionControls& c) { ShowSpeed(c, d[10]); }},
    {kType3, 0x02, poll::kLiveData03,
     [](const ResponseData& d, SessionControls& c) { ShowLongRecord(d, c, true); }},
    {kType3, 0x03, poll::kLiveData06,
     [](const ResponseData& d, SessionControls& c) {
       Show(c, Gauge::VS_DV, InjectionTimeByte(d[10]));
     }},
};

}  // namespace

double Nearest(double x) {
  const double below = std::floor(x);
  const double fraction = x - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1.0;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<std::uint8_t> ShowLiveData(std::uint8_t local_identifier, const ResponseData& data,
                                         int controller_type, SessionControls& controls) {
  for (const LiveDataRecord& record : kRecords) {
    if (record.controller_type == controller_type && record.local_identifier == local_identifier) {
      record.show(data, controls);
      return record.next_state;
    }
  }
  return std::nullopt;
}

}  // namespace m797::session
