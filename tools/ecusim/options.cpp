#include "options.h"

#include <charconv>

namespace m797::ecusim {

namespace {

constexpr const char* kUsage =
    "usage: ecusim [options]\n"
    "Plays a K-line adapter and a Bosch M7.9.7 engine controller on a pseudo-terminal linked\n"
    "as COMn in $XDG_CONFIG_HOME/TARKON/ports, for the tester to open.\n"
    "\n"
    "  --port COMn          the COM name to link (default COM1)\n"
    "  --type 1|2|3         controller type (default 1)\n"
    "  --dtc CODE:STATUS    a trouble code to report, hex, e.g. 0301:60 (repeatable)\n"
    "  --delay MS           pause between request and answer, 25..50 (default 30)\n"
    "  --silent             never answer\n"
    "  --silent-after N     stop answering after N answers...\n"
    "  --silent-ms MS       ...for this long, then answer N more, and so on (default: for good)\n"
    "  --negative-every N   answer every Nth request with 7F (service, reason 22)\n"
    "  --chunk N            write answers in chunks of N bytes...\n"
    "  --chunk-gap MS       ...with this pause between them (default 5)\n"
    "  --garbage N          write N noise bytes right behind the echo of each request\n"
    "  --stop-after N       answer StopCommunication (C2) after N answers\n"
    "  --hangup-after N     drop the device after N answers...\n"
    "  --hangup-ms MS       ...for this long, then link a new one (default 1000)\n"
    "  --log FILE           write the frame log to FILE instead of standard output\n"
    "  --device PATH        serve the terminal PATH (e.g. a virtual machine's serial line)\n"
    "                       instead of a pseudo-terminal of its own; links no COM name\n"
    "  --replay FILE        answer with the answers of a recorded wire log: each request with\n"
    "                       the answer that followed the same request there, in turn, starting\n"
    "                       over when they run out; a request never recorded gets 7F\n"
    "  --adapter kkl|elm327 what the tester talks to (default kkl): a K-line cable that echoes\n"
    "                       every byte, or an ELM327 clone with the controller behind it\n"
    "  --elm-no-fi          the ELM327 answers ? to ATFI; its first request inits the line\n"
    "  --elm-rate N         the ELM327's serial rate (default 38400): text from a tester whose\n"
    "                       terminal is set to another rate is not heard (on a pseudo-terminal\n"
    "                       the rate is read from its settings; not checked with --device)\n"
    "  --elm-version TEXT   the ELM327's identification (default \"ELM327 v1.5\")\n"
    "  --help               show this text\n"
    "\n"
    "Log lines: monotonic milliseconds, RX (request received) or TX (answer written), frame.\n"
    "With --adapter elm327 they are the K-line frames between the chip and the controller:\n"
    "RX when the chip starts a request (its own StartCommunication and keep-alive included) on\n"
    "the line, TX when the controller's answer is complete.  --silent, --silent-after,\n"
    "--stop-after and --hangup-after act on the controller and the device as with a cable\n"
    "(the chip's own StartCommunication counts as an answer); --chunk cuts the chip's text;\n"
    "--garbage does not apply.\n";

bool ParseInt(const std::string& text, int low, int high, int& out) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return false;
  }
  out = value;
  return true;
}

bool ParseHexByte(const std::string& text, std::uint8_t& out) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 0xFF) {
    return false;
  }
  out = static_cast<std::uint8_t>(value);
  return true;
}

bool ParseCode(const std::string& text, TroubleCodeEntry& out) {
  const auto colon = text.find(':');
  if (colon != 4) return false;
  return ParseHexByte(text.substr(0, 2), out.high) && ParseHexByte(text.substr(2, 2), out.low) &&
         ParseHexByte(text.substr(5), out.status);
}

bool IsComName(const std::string& name) {
  int n = 0;
  return name.size() > 3 && name.compare(0, 3, "COM") == 0 && ParseInt(name.substr(3), 1, 255, n);
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& message,
                                    int& exit_code) {
  Options o;
  auto fail = [&](const std::string& text) {
    message = "ecusim: " + text + "\n(see ecusim --help)\n";
    exit_code = 2;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      message = kUsage;
      exit_code = 0;
      return std::nullopt;
    }
    if (arg == "--silent") {
      o.silent = true;
      continue;
    }
    if (arg == "--elm-no-fi") {
      o.elm_no_fi = true;
      continue;
    }
    if (i + 1 >= args.size()) return fail("option " + arg + " needs a value");
    const std::string& value = args[++i];
    bool ok = true;
    if (arg == "--port") {
      ok = IsComName(value);
      o.port = value;
    } else if (arg == "--type") {
      ok = ParseInt(value, 1, 3, o.type);
    } else if (arg == "--dtc") {
      TroubleCodeEntry entry{};
      ok = ParseCode(value, entry);
      o.codes.push_back(entry);
    } else if (arg == "--delay") {
      ok = ParseInt(value, 25, 50, o.answer_delay_ms);
    } else if (arg == "--silent-after") {
      ok = ParseInt(value, 1, 1'000'000, o.silent_after);
    } else if (arg == "--silent-ms") {
      ok = ParseInt(value, 1, 1'000'000, o.silent_ms);
    } else if (arg == "--negative-every") {
      ok = ParseInt(value, 1, 1'000'000, o.negative_every);
    } else if (arg == "--chunk") {
      ok = ParseInt(value, 1, 300, o.chunk_size);
    } else if (arg == "--chunk-gap") {
      ok = ParseInt(value, 0, 1000, o.chunk_gap_ms);
    } else if (arg == "--garbage") {
      ok = ParseInt(value, 1, 1000, o.garbage_bytes);
    } else if (arg == "--stop-after") {
      ok = ParseInt(value, 1, 1'000'000, o.stop_after);
    } else if (arg == "--hangup-after") {
      ok = ParseInt(value, 1, 1'000'000, o.hangup_after);
    } else if (arg == "--hangup-ms") {
      ok = ParseInt(value, 0, 600'000, o.hangup_ms);
    } else if (arg == "--log") {
      o.log_path = value;
    } else if (arg == "--device") {
      ok = !value.empty() && value[0] == '/';
      o.device_path = value;
    } else if (arg == "--replay") {
      o.replay_path = value;
    } else if (arg == "--adapter") {
      ok = value == "kkl" || value == "elm327";
      o.adapter = value == "elm327" ? Adapter::Elm327 : Adapter::Kkl;
    } else if (arg == "--elm-rate") {
      ok = ParseInt(value, 300, 4'000'000, o.elm_rate);
    } else if (arg == "--elm-version") {
      ok =
          !value.empty() && value.size() <= 40 && value.find_first_of("\r\n>") == std::string::npos;
      o.elm_version = value;
    } else {
      return fail("unknown option " + arg);
    }
    if (!ok) return fail("bad value for " + arg + ": " + value);
  }
  if (o.adapter == Adapter::Elm327 && o.garbage_bytes > 0) {
    return fail("--garbage acts on the K-line's bytes, which an ELM327 does not pass on");
  }
  return o;
}

}  // namespace m797::ecusim
