#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "cli/exit_codes.h"
#include "session/session_controls.h"

namespace m797::cli {

namespace {

constexpr const char* kUsage =
    "usage: m797-cli COMMAND [options]\n"
    "Runs the tester's diagnostic session without its window.\n"
    "\n"
    "  live [--seconds N] [--csv FILE] [--codes]\n"
    "        live data: on a terminal the eight quantities updating in place; with --csv one row\n"
    "        per complete cycle of the controller's records; --codes reads the trouble codes\n"
    "        first and keeps them with the recording.  Ctrl-C or the time limit stops.\n"
    "  codes [--json]\n"
    "        reads the current and the stored trouble codes once\n"
    "  clear\n"
    "        clears the trouble codes and reports the controller's answer\n"
    "  report FILE.csv --pdf OUT.pdf | --png OUT.png\n"
    "        a page with the recording at a glance: a graph per quantity, its minimum, maximum\n"
    "        and mean, and the trouble codes if they were read\n"
    "  probe [--port COMn|PATH]\n"
    "        what adapter is on the port: a K-line cable, or an ELM327 with its version, its\n"
    "        rate and the voltage it reads; exit status 0 only when one answered\n"
    "\n"
    "Options of live, codes and clear:\n"
    "  --port COMn|PATH   the port (default: the one the tester's window last used)\n"
    "  --type 1|2|3       the controller type (default: the one the window last used)\n"
    "  --adapter auto|kkl|elm327\n"
    "                     the adapter: a K-line cable (kkl), an ELM327, or (auto, the default)\n"
    "                     the one the window found on the port, else a cable, and an ELM327\n"
    "                     looked for when the cable's start gets no answer\n"
    "  --wire-log FILE    every frame on the line, the echo included: monotonic milliseconds,\n"
    "                     TX (sent) or RX (received), the bytes in hexadecimal\n"
    "  --help             this text\n"
    "\n"
    "Exit status: 0 done; 1 the line or a file failed; 2 bad command line; 3 the port cannot\n"
    "be opened; 4 no answer from the controller (probe: from no adapter); 5 the recording\n"
    "cannot be read; 130 codes\n"
    "or clear stopped by Ctrl-C (live ends so normally, with 0).\n";

#ifdef _WIN32
// Windows opens COM1 to COM9 by their names, and every port by its device path: \\.\COM12.
constexpr std::string_view kDevicePathStart = "\\\\.\\";
constexpr std::string_view kPortForms = "COM1 to COM255, or a device path such as \\\\.\\COM12";
#else
constexpr std::string_view kDevicePathStart = "/";
constexpr std::string_view kPortForms = "COM1 to COM255, or a device path starting with /";
#endif

bool IsComName(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return false;
  int n = 0;
  const auto [end, ec] = std::from_chars(name.data() + 3, name.data() + name.size(), n);
  return ec == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 255 &&
         name[3] != '0';
}

// The port as the serial component opens it; empty for a name that is no port.
std::string PortToOpen(const std::string& name) {
  if (name.size() > kDevicePathStart.size() && name.starts_with(kDevicePathStart)) return name;
  if (!IsComName(name)) return {};
#ifdef _WIN32
  if (name.size() > 4) return std::string(kDevicePathStart) + name;  // COM10 and higher
#endif
  return name;
}

bool ParseSeconds(const std::string& text, double& out) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
      value <= 0 || value > 1e7) {
    return false;
  }
  out = value;
  return true;
}

struct CommandNameOf {
  const char* name;
  Command command;
};
constexpr CommandNameOf kCommands[] = {{"live", Command::Live},
                                       {"codes", Command::Codes},
                                       {"clear", Command::Clear},
                                       {"report", Command::Report},
                                       {"probe", Command::Probe}};

const char* CommandName(Command c) {
  for (const CommandNameOf& known : kCommands)
    if (known.command == c) return known.name;
  return "";
}

constexpr unsigned Of(Command c) {
  return 1u << static_cast<unsigned>(c);
}
constexpr unsigned kLineCommands = Of(Command::Live) | Of(Command::Codes) | Of(Command::Clear);

// Takes the value as a file's path.
template <std::string CliOptions::*path>
std::string SetPath(const std::string& value, CliOptions& o) {
  o.*path = value;
  return {};
}

// An option of the command line: the commands it belongs to and what it sets.  `apply` returns
// what is wrong with the value, or nothing; a flag's gets no value.
struct Option {
  const char* name;
  bool takes_value;
  unsigned commands;
  std::string (*apply)(const std::string& value, CliOptions& o);
};

const Option kOptions[] = {
    {"--json", false, Of(Command::Codes),
     [](const std::string&, CliOptions& o) {
       o.json = true;
       return std::string();
     }},
    {"--codes", false, Of(Command::Live),
     [](const std::string&, CliOptions& o) {
       o.read_codes = true;
       return std::string();
     }},
    {"--port", true, kLineCommands | Of(Command::Probe),
     [](const std::string& value, CliOptions& o) {
       o.port = PortToOpen(value);
       if (o.port->empty()) return "bad port " + value + " (" + std::string(kPortForms) + ")";
       return std::string();
     }},
    {"--type", true, kLineCommands,
     [](const std::string& value, CliOptions& o) {
       if (value != "1" && value != "2" && value != "3")
         return "bad type " + value + " (1, 2 or 3)";
       o.type = value[0] - '0';
       return std::string();
     }},
    {"--adapter", true, kLineCommands,
     [](const std::string& value, CliOptions& o) {
       if (value != "auto" && value != "kkl" && value != "elm327")
         return "bad adapter " + value + " (auto, kkl or elm327)";
       o.adapter = value;
       return std::string();
     }},
    {"--wire-log", true, kLineCommands, SetPath<&CliOptions::wire_log_path>},
    {"--seconds", true, Of(Command::Live),
     [](const std::string& value, CliOptions& o) {
       double seconds = 0;
       if (!ParseSeconds(value, seconds)) return "bad number of seconds " + value;
       o.seconds = seconds;
       return std::string();
     }},
    {"--csv", true, Of(Command::Live), SetPath<&CliOptions::csv_path>},
    {"--pdf", true, Of(Command::Report), SetPath<&CliOptions::pdf_path>},
    {"--png", true, Of(Command::Report), SetPath<&CliOptions::png_path>},
};

// Reads the arguments after the command into `o`; returns what is wrong, or nothing.
std::string ReadArguments(const std::vector<std::string>& args, CliOptions& o) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.empty() || arg[0] != '-') {
      if (o.command != Command::Report || !o.recording_path.empty()) {
        return "unexpected argument " + arg;
      }
      o.recording_path = arg;
      continue;
    }
    const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                     [&](const Option& known) { return arg == known.name; });
    if (option == std::end(kOptions)) return "unknown option " + arg;
    if (option->takes_value && i + 1 >= args.size()) return "option " + arg + " needs a value";
    const std::string value = option->takes_value ? args[++i] : std::string();
    if ((option->commands & Of(o.command)) == 0) {
      return arg + " is not an option of " + CommandName(o.command);
    }
    if (std::string wrong = option->apply(value, o); !wrong.empty()) return wrong;
  }
  if (o.command == Command::Report) {
    if (o.recording_path.empty()) return "report needs a recording (FILE.csv)";
    if (o.pdf_path.empty() == o.png_path.empty()) return "report needs one of --pdf and --png";
  }
  return {};
}

}  // namespace

int PortItemIndex(const std::string& port) {
  for (int i = 0; i < session::kPortCount; ++i)
    if (port == "COM" + std::to_string(i + 1)) return i;
  return -1;
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string& message, int& exit_code) {
  auto fail = [&](const std::string& text) {
    message = "m797-cli: " + text + "\n(see m797-cli --help)\n";
    exit_code = kExitUsage;
    return std::nullopt;
  };
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      message = kUsage;
      exit_code = kExitOk;
      return std::nullopt;
    }
  }
  if (args.empty()) return fail("no command (live, codes, clear, report or probe)");

  CliOptions o;
  const auto named =
      std::find_if(std::begin(kCommands), std::end(kCommands),
                   [&](const CommandNameOf& known) { return args[0] == known.name; });
  if (named == std::end(kCommands)) return fail("unknown command " + args[0]);
  o.command = named->command;
  if (const std::string wrong = ReadArguments(args, o); !wrong.empty()) return fail(wrong);
  return o;
}

}  // namespace m797::cli
