#pragma once

#include <optional>
#include <string>
#include <vector>

namespace m797::cli {

enum class Command { Live, Codes, Clear, Report, Probe };

struct CliOptions {
  Command command = Command::Live;
  std::optional<std::string> port;  // "COMn" or a device path
  std::optional<int> type;          // controller type 1 to 3
  std::string wire_log_path;
  std::string adapter = "auto";  // auto, kkl or elm327
  // live
  std::optional<double> seconds;
  std::string csv_path;
  bool read_codes = false;
  // codes
  bool json = false;
  // report
  std::string recording_path;
  std::string pdf_path;
  std::string png_path;
};

// The command line without the program name.  On a mistake or a request for help returns nothing
// and fills `message` (the usage for help, what is wrong otherwise) and `exit_code`.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string& message, int& exit_code);

// For a port name COM1 to COM8, its item index 0 to 7; -1 for any other name or a device path.
int PortItemIndex(const std::string& port);

}  // namespace m797::cli
