#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace m797::ecusim {

struct TroubleCodeEntry {
  std::uint8_t high;
  std::uint8_t low;
  std::uint8_t status;
};

// What stands between the tester and the controller.
enum class Adapter {
  Kkl,     // a K-line pass-through cable: the tester's bytes and their echo
  Elm327,  // an ELM327-type interpreter: text commands, hex requests and answers
};

// What the simulator plays and how it misbehaves.
struct Options {
  Adapter adapter = Adapter::Kkl;
  bool elm_no_fi = false;  // a clone that refuses ATFI
  int elm_rate = 38400;    // the chip's serial rate: a tester at another rate is not heard
  std::string elm_version = "ELM327 v1.5";
  std::string port = "COM1";
  int type = 1;  // controller type 1, 2 or 3
  std::vector<TroubleCodeEntry> codes;
  int answer_delay_ms = 30;  // between the end of a request and the answer
  bool silent = false;
  int silent_after = 0;    // stops answering after N answers...
  int silent_ms = 0;       // ...for this long, then answers N more (0: for good)
  int negative_every = 0;  // every Nth request gets a negative answer
  int chunk_size = 0;      // answers written in chunks of this many bytes
  int chunk_gap_ms = 5;
  int garbage_bytes = 0;  // noise written before each answer
  int stop_after = 0;     // StopCommunication instead of the answer after N answers
  int hangup_after = 0;   // the device disappears after N answers...
  int hangup_ms = 1000;   // ...for this long, then comes back
  std::string log_path;   // frames go here instead of standard output
  // A terminal that exists already, served instead of a pseudo-terminal of the simulator's own:
  // the host end of a virtual machine's serial line.  No COM name is linked then.
  std::string device_path;
  // A wire log whose answers are played back instead of the simulated engine's.
  std::string replay_path;
};

// Parses the command line; on a mistake or --help returns nothing and fills `message` with the
// text to print (the usage for --help, an error otherwise) and `exit_code`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& message,
                                    int& exit_code);

}  // namespace m797::ecusim
