// m797-cli as a program against the simulator on a pseudo-terminal: its recording against its own
// wire log and the simulator's, the trouble codes, the ends of a run, and a replayed recording.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "../session/fake_controls.h"
#include "cli/recording_csv.h"
#include "cli_process.h"
#include "e2e_rig.h"
#include "session/live_data.h"
#include "session/poll_requests.h"
#include "session/request_frame.h"
#include "session/trouble_codes.h"
#include "wire_log/frame_splitter.h"
#include "wire_log/wire_log_reader.h"

namespace {

using namespace m797;
using namespace std::chrono_literals;
using cli::test::WaitUntil;
using wire_log::Direction;
using wire_log::WireLogLine;
using Bytes = std::vector<std::uint8_t>;

// The simulator on COM1 of a private configuration folder, and m797-cli run against it.
struct CliRig {
  explicit CliRig(std::vector<std::string> ecusim_args) { StartSimulator(std::move(ecusim_args)); }

  // A simulator started again logs from a fresh file.
  void StartSimulator(std::vector<std::string> args) {
    sim.reset();
    std::filesystem::remove(Path("ecusim.log"));
    args.insert(args.end(), {"--port", "COM1"});
    sim = std::make_unique<e2e::EcusimProcess>(Path("ecusim.log"), args);
    EXPECT_TRUE(WaitUntil([&] { return sim->Linked(); }, 10s));
  }
  std::string Path(const std::string& name) const { return config.path() + "/" + name; }
  cli::test::Finished Cli(const std::vector<std::string>& args) {
    return cli::test::Run(cli::test::CliProgram(), args, Path("cli"));
  }

  e2e::ConfigFolder config;
  std::unique_ptr<e2e::EcusimProcess> sim;
};

bool WholeFrame(const Bytes& bytes) {
  const int length = wire_log::FrameSplitter::FrameLength(bytes.data(), bytes.size());
  return length > 0 && static_cast<std::size_t>(length) == bytes.size();
}

bool ToTester(const Bytes& bytes) {
  return WholeFrame(bytes) && bytes[1] == session::kTesterAddress;
}

// The rows the live-data answers in a wire log make, by the session's own decoding: a row at the
// answer that ends a cycle (the one after which the cycle starts again with "21 06").
std::vector<shared_texts::QuantityValues> CyclesInWireLog(const std::vector<WireLogLine>& lines,
                                                          int type) {
  session::test::FakeControls gauges;
  std::vector<shared_texts::QuantityValues> rows;
  for (const WireLogLine& line : lines) {
    if (line.direction != Direction::Rx || !ToTester(line.bytes)) continue;
    session::ResponseData d;
    const auto data = session::FrameData(line.bytes);
    std::copy(data.begin(), data.end(), d.bytes.begin());
    if (d[0] != 0x61) continue;
    if (session::ShowLiveData(d[1], d, type - 1, gauges) != session::poll::kLiveData06) continue;
    shared_texts::QuantityValues row{};
    for (int q = 0; q < shared_texts::kQuantityCount; ++q)
      row[q] = gauges.gauge(shared_texts::Quantities()[q].gauge).value_or(NAN);
    rows.push_back(row);
  }
  return rows;
}

std::vector<shared_texts::QuantityValues> Values(const cli::Recording& recording) {
  std::vector<shared_texts::QuantityValues> values;
  for (const cli::RecordingRow& row : recording.rows)
    values.push_back(row.values);
  return values;
}

// The frames of a log that `keep` picks, in order.
template <typename Lines, typename Keep>
std::vector<Bytes> Frames(const Lines& lines, Keep keep) {
  std::vector<Bytes> frames;
  for (const auto& line : lines)
    if (keep(line)) frames.push_back(line.bytes);
  return frames;
}

// What stands between the tester and the simulator's controller.
struct Adapter {
  std::string name;
  std::vector<std::string> ecusim_args;
  std::vector<std::string> cli_args;
  bool echoes;           // a K-line cable gives back every request
  int unheard_requests;  // sent as through a cable before the tester found the chip
  int chip_inits;        // the chip's own StartCommunication, and its answer, on the K-line
};

const Adapter kCable{"Cable", {}, {}, true, 0, 0};
// An ELM327 that the tester finds when its start as a cable has had no answer.
const Adapter kFoundChip{"Elm327", {"--adapter", "elm327"}, {}, false, 1, 1};
// An ELM327 named on the command line (or remembered by the window), asked for at once.
const Adapter kNamedChip{"Elm327", {"--adapter", "elm327"}, {"--adapter", "elm327"}, false, 0, 1};

void PrintTo(const Adapter& adapter, std::ostream* out) {
  *out << adapter.name;
}

// The recording equals the session's decoding of the answers in the program's wire log, row by
// row; that wire log holds every request (with its echo on a cable) and every answer that the
// controller gave the tester.
void ExpectRecordingMatchesTheLine(CliRig& rig, const std::string& csv, const std::string& log,
                                   int type, const Adapter& adapter = kCable) {
  const cli::Recording recording = cli::ReadRecordingFile(rig.Path(csv));
  const auto lines = wire_log::ReadWireLogFile(rig.Path(log));
  EXPECT_EQ(recording.controller_type, type);
  EXPECT_EQ(recording.port, "COM1");
  EXPECT_GE(recording.rows.size(), 2u);
  EXPECT_EQ(Values(recording), CyclesInWireLog(lines, type));
  for (std::size_t i = 1; i < recording.rows.size(); ++i) {
    EXPECT_GT(recording.rows[i].ms, recording.rows[i - 1].ms);
    EXPECT_EQ(recording.rows[i].time.size(), std::string("2026-12-08T09:14:03.512+01:00").size());
  }

  // Each request is followed by its echo (but the last, which the stop may have overtaken).
  for (std::size_t i = 0; adapter.echoes && i + 1 < lines.size(); ++i) {
    if (lines[i].direction != Direction::Tx) continue;
    const auto echo = std::find_if(lines.begin() + i + 1, lines.end(), [](const WireLogLine& l) {
      return l.direction == Direction::Rx;
    });
    const bool last_request = std::none_of(lines.begin() + i + 1, lines.end(),
                                           [](auto& l) { return l.direction == Direction::Tx; });
    if (echo == lines.end() && last_request) break;
    ASSERT_NE(echo, lines.end());
    EXPECT_EQ(echo->bytes, lines[i].bytes) << "echo of request " << i;
  }
  // What the program sent is what the simulator received; what it received is what the
  // simulator answered, but for an answer written after the program had stopped.  Through a
  // chip, the simulator's log holds the K-line: the chip's own StartCommunication (its init) comes
  // first, and a request sent at the cable's rate never reached it.
  auto sent = Frames(lines, [](auto& l) { return l.direction == Direction::Tx; });
  const Bytes start_communication = {0x81, 0x11, 0xF1, 0x81, 0x04};
  ASSERT_GE(sent.size(), static_cast<std::size_t>(adapter.unheard_requests));
  for (int i = 0; i < adapter.unheard_requests; ++i)
    EXPECT_EQ(sent[static_cast<std::size_t>(i)], start_communication);
  sent.erase(sent.begin(), sent.begin() + adapter.unheard_requests);
  auto received = [&] {
    auto frames = Frames(rig.sim->Frames(), [](auto& f) { return f.received; });
    frames.erase(frames.begin(),
                 frames.begin() + std::min<std::ptrdiff_t>(adapter.chip_inits, std::ssize(frames)));
    return frames;
  };
  WaitUntil([&] { return received().size() >= sent.size(); }, 2s);  // the last may be on its way
  EXPECT_EQ(sent, received());
  const auto& sim_frames = rig.sim->Frames();
  if (adapter.chip_inits > 0) {
    ASSERT_FALSE(sim_frames.empty());
    EXPECT_EQ(sim_frames.front().bytes, start_communication);
  }
  const auto answers =
      Frames(lines, [](auto& l) { return l.direction == Direction::Rx && ToTester(l.bytes); });
  auto written = Frames(sim_frames, [](auto& f) { return !f.received; });
  ASSERT_GE(written.size(), static_cast<std::size_t>(adapter.chip_inits));
  written.erase(written.begin(), written.begin() + adapter.chip_inits);
  ASSERT_LE(answers.size(), written.size());
  EXPECT_LE(written.size() - answers.size(), 1u);
  EXPECT_TRUE(std::equal(answers.begin(), answers.end(), written.begin()));
}

struct TypeCase {
  int type;
  std::vector<std::string> misbehaviour;
  bool stored = false;        // the port and the type come from the window's settings
  bool through_chip = false;  // an ELM327 in front of the controller
};

class CliLive : public ::testing::TestWithParam<TypeCase> {};

TEST_P(CliLive, RecordingHasTheSessionsValuesOfEveryCompleteCycle) {
  const bool chip = GetParam().through_chip;
  // The window remembers a chip that it found; m797-cli found none before this run.
  const bool remembered = chip && GetParam().stored;
  const Adapter adapter = !chip ? kCable : remembered ? kNamedChip : kFoundChip;
  std::vector<std::string> args = {"--type", std::to_string(GetParam().type)};
  args.insert(args.end(), adapter.ecusim_args.begin(), adapter.ecusim_args.end());
  args.insert(args.end(), GetParam().misbehaviour.begin(), GetParam().misbehaviour.end());
#ifdef _WIN32
  if (GetParam().stored) GTEST_SKIP() << "on Windows the window's settings are in the registry";
#endif
  CliRig rig(args);
  // Through a chip found on its own, the start as a cable takes the link watchdog's 2 s first.
  std::vector<std::string> live = {
      "live",       "--seconds",         chip ? "8" : "3.5", "--csv", rig.Path("live.csv"),
      "--wire-log", rig.Path("wire.log")};
  const std::string settings = "[Vestrel]\nCOM=0\n" +
                               std::string(remembered ? "ELM327_COM1=38400\n" : "") +
                               "TYPE=" + std::to_string(GetParam().type - 1) + "\n";
  if (GetParam().stored) {
    std::ofstream(rig.Path("TARKON.conf")) << settings;
  } else {
    live.insert(live.end(), {"--port", "COM1", "--type", std::to_string(GetParam().type)});
  }
  const auto run = rig.Cli(live);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectRecordingMatchesTheLine(rig, "live.csv", "wire.log", GetParam().type, adapter);
  // The window's settings are read, never written: nor is a chip found remembered.
  if (GetParam().stored) {
    EXPECT_EQ(cli::test::ReadFile(rig.Path("TARKON.conf")), settings);
  }
}

// Type 2 with answers in pieces across reads and the port and type the window stored, type 3
// with noise behind every echo.
INSTANTIATE_TEST_SUITE_P(Types, CliLive,
                         ::testing::Values(TypeCase{1, {}}, TypeCase{2, {"--chunk", "5"}, true},
                                           TypeCase{3, {"--garbage", "3"}}),
                         [](const auto& info) { return "Type" + std::to_string(info.param.type); });

// Through an ELM327: type 1 found once the start as a cable has had no answer; type 2 with the
// chip's text in pieces, and the port, the type and the chip the window stored; type 3 found at
// 9600 bit/s.
INSTANTIATE_TEST_SUITE_P(ThroughElm327, CliLive,
                         ::testing::Values(TypeCase{1, {}, false, true},
                                           TypeCase{2, {"--chunk", "3"}, true, true},
                                           TypeCase{3, {"--elm-rate", "9600"}, false, true}),
                         [](const auto& info) { return "Type" + std::to_string(info.param.type); });

// Ctrl-C, or the hang-up of an SSH session to a board in the car, during a run whose time limit
// (49.7 days) is beyond what a Qt timer holds: the limit does not end it early, the signal does.
// On Windows Ctrl-Break, and the closing of the console window, whose event ends the program once
// its handler returns.
class CliStop : public ::testing::TestWithParam<int> {};

TEST_P(CliStop, SignalStopsAndLeavesACompleteRecording) {
  CliRig rig({"--type", "1"});
  cli::test::ChildProcess cli(cli::test::CliProgram(),
                              {"live", "--port", "COM1", "--type", "1", "--seconds", "4294969",
                               "--csv", rig.Path("live.csv"), "--wire-log", rig.Path("wire.log")},
                              rig.Path("cli"));
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::string text = cli::test::ReadFile(rig.Path("live.csv"));
        return std::count(text.begin(), text.end(), '\n') >= 7;  // two notes, header, four rows
      },
      20s));
  cli.Signal(GetParam());
  EXPECT_EQ(cli.Wait(), 0) << cli.Errors();
  const std::string text = cli::test::ReadFile(rig.Path("live.csv"));
  EXPECT_EQ(text.back(), '\n');
  ExpectRecordingMatchesTheLine(rig, "live.csv", "wire.log", 1);
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(ConsoleEvents, CliStop,
                         ::testing::Values(CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT),
                         [](const auto& info) {
                           return std::string(info.param == CTRL_BREAK_EVENT ? "CtrlBreak"
                                                                             : "ConsoleClosed");
                         });
#else
INSTANTIATE_TEST_SUITE_P(Signals, CliStop, ::testing::Values(SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(strsignal(info.param)); });
#endif

TEST(CliLive, ReplayedWireLogGivesTheSameRecording) {
#ifdef _WIN32
  GTEST_SKIP() << "the line relay's simulator cannot read a log in the Windows program's folder";
#endif
  CliRig rig({"--type", "2"});
  const std::vector<std::string> live = {"live", "--port", "COM1", "--type", "2"};
  auto first = live;
  first.insert(first.end(), {"--seconds", "3.5", "--csv", rig.Path("first.csv"), "--wire-log",
                             rig.Path("first.log")});
  ASSERT_EQ(rig.Cli(first).code, 0);

  rig.StartSimulator({"--replay", rig.Path("first.log")});
  auto second = live;
  second.insert(second.end(), {"--seconds", "5", "--csv", rig.Path("second.csv")});
  const auto run = rig.Cli(second);
  ASSERT_EQ(run.code, 0) << run.err;
  const auto expected = Values(cli::ReadRecordingFile(rig.Path("first.csv")));
  auto replayed = Values(cli::ReadRecordingFile(rig.Path("second.csv")));
  ASSERT_GE(replayed.size(), expected.size());
  replayed.resize(expected.size());
  EXPECT_EQ(replayed, expected);
}

std::string Entry(const char* code) {
  return std::string("{\"code\": \"") + code + "\", \"text\": \"" +
         session::FindTroubleCode(code)->description + "\"}";
}

// Each command line with the adapter's options after it.
std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

class CliCodes : public ::testing::TestWithParam<Adapter> {};

TEST_P(CliCodes, ReadsTheControllersCodesThenClearsThem) {
  const Adapter& adapter = GetParam();
  // Unknown to the table (0111) and without a storage state (0301:00): not shown.
  CliRig rig(With({"--dtc", "0102:60", "--dtc", "0171:20", "--dtc", "0111:60", "--dtc", "0300:40",
                   "--dtc", "0301:00", "--dtc", "0603:E0"},
                  adapter.ecusim_args));
  const auto codes = rig.Cli(With({"codes", "--json", "--port", "COM1"}, adapter.cli_args));
  ASSERT_EQ(codes.code, 0) << codes.err;
  EXPECT_EQ(codes.out, "{\n  \"current\": [\n    " + Entry("0102") + ",\n    " + Entry("0603") +
                           "\n  ],\n  \"stored\": [\n    " + Entry("0171") + ",\n    " +
                           Entry("0300") + "\n  ]\n}\n");

  const auto clear = rig.Cli(
      With({"clear", "--port", "COM1", "--wire-log", rig.Path("clear.log")}, adapter.cli_args));
  ASSERT_EQ(clear.code, 0) << clear.err;
  EXPECT_NE(clear.out.find("the controller answered 54 FF 00"), std::string::npos) << clear.out;
  const auto lines = wire_log::ReadWireLogFile(rig.Path("clear.log"));
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](auto& l) {
                           return l.direction == Direction::Tx &&
                                  l.bytes == Bytes{0x83, 0x11, 0xF1, 0x14, 0xFF, 0x00, 0x98};
                         }),
            lines.end());

  const auto after = rig.Cli(With({"codes", "--json", "--port", "COM1"}, adapter.cli_args));
  ASSERT_EQ(after.code, 0) << after.err;
  EXPECT_EQ(after.out, "{\n  \"current\": [],\n  \"stored\": []\n}\n");
}

// Through an ELM327 named on the command line, which the tester asks for at once.
INSTANTIATE_TEST_SUITE_P(Adapters, CliCodes, ::testing::Values(kCable, kNamedChip),
                         [](const auto& info) { return info.param.name; });

TEST(CliCodes, MissingPortAndSilentControllerHaveTheirExitCodes) {
  CliRig rig({"--silent"});
  const auto missing = rig.Cli({"codes", "--port", "COM7"});
  EXPECT_EQ(missing.code, 3);
  EXPECT_EQ(missing.err, "m797-cli: Specified device not found (COM7).\n");
  // A run that never started leaves the files it was to write as they were.
  std::ofstream(rig.Path("drive.csv"), std::ios::binary) << "an earlier recording\n";
  std::ofstream(rig.Path("wire.log"), std::ios::binary) << "an earlier log\n";
  EXPECT_EQ(rig.Cli({"live", "--port", "COM7", "--csv", rig.Path("drive.csv"), "--wire-log",
                     rig.Path("wire.log")})
                .code,
            3);
  EXPECT_EQ(cli::test::ReadFile(rig.Path("drive.csv")), "an earlier recording\n");
  EXPECT_EQ(cli::test::ReadFile(rig.Path("wire.log")), "an earlier log\n");

  const auto silent = rig.Cli({"codes", "--port", "COM1"});
  EXPECT_EQ(silent.code, 4);
  EXPECT_EQ(silent.err, "m797-cli: no answer from the controller on COM1\n");
}

// Codes shown to a full disk, or a wire log that could not be written, are failures.
TEST(CliCodes, FailedWritesEndWithExitCodeOne) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no full device to write to";
#else
  CliRig rig({"--dtc", "0102:60"});
  ASSERT_EQ(symlink("/dev/full", rig.Path("full.out").c_str()), 0);
  const cli::test::Finished codes = [&] {
    cli::test::ChildProcess child(cli::test::CliProgram(), {"codes", "--json", "--port", "COM1"},
                                  rig.Path("full"));
    return cli::test::Finished{child.Wait(), "", child.Errors()};
  }();
  EXPECT_EQ(codes.code, 1);
  EXPECT_EQ(codes.err, "m797-cli: standard output: could not be written completely\n");

  const auto clear = rig.Cli({"clear", "--port", "COM1", "--wire-log", "/dev/full"});
  EXPECT_EQ(clear.code, 1);
  EXPECT_EQ(clear.err, "m797-cli: /dev/full: could not be written completely\n");
#endif
}

// Where the window would wait for the user to stop and start again, an unattended recorder
// would record nothing for ever: it ends, the recording complete.
class CliEnd : public ::testing::TestWithParam<Adapter> {};

TEST_P(CliEnd, LostDeviceOrStopCommunicationEndsTheRun) {
  const Adapter& adapter = GetParam();
  // The chip's own StartCommunication is an answer the simulator counts.
  const std::string answers = std::to_string(6 + adapter.chip_inits);
  CliRig rig(With({"--hangup-after", answers, "--hangup-ms", "60000"}, adapter.ecusim_args));
  const auto lost = rig.Cli({"live", "--port", "COM1", "--csv", rig.Path("lost.csv")});
  EXPECT_EQ(lost.code, 1);
  EXPECT_NE(lost.err.find("Communication device failed"), std::string::npos) << lost.err;
  EXPECT_EQ(cli::ReadRecordingFile(rig.Path("lost.csv")).rows.size(), 1u);

  rig.StartSimulator(With({"--stop-after", answers}, adapter.ecusim_args));
  const auto stopped = rig.Cli({"live", "--port", "COM1", "--csv", rig.Path("stopped.csv")});
  EXPECT_EQ(stopped.code, 1);
  EXPECT_EQ(stopped.err, "m797-cli: the controller ended the communication (StopCommunication)\n");
  EXPECT_EQ(cli::ReadRecordingFile(rig.Path("stopped.csv")).rows.size(), 1u);
}

// Through an ELM327 found once the start as a cable has had no answer.
INSTANTIATE_TEST_SUITE_P(Adapters, CliEnd, ::testing::Values(kCable, kFoundChip),
                         [](const auto& info) { return info.param.name; });

// A controller that never answers behind the chip, and a run that takes the port for a K-line
// cable alone in front of a chip: neither gets an answer, and the second never reaches the chip.
TEST(CliElm327, SilentControllerItsRecoveryOrACableOnlyRun) {
  const std::string no_answer = "m797-cli: no answer from the controller on COM1\n";
  CliRig rig({"--adapter", "elm327", "--silent"});
  const auto silent = rig.Cli({"codes", "--port", "COM1"});
  EXPECT_EQ(silent.code, 4);
  EXPECT_EQ(silent.err, no_answer);
  // The tester found the chip, whose init went out on the K-line.
  ASSERT_FALSE(rig.sim->Frames().empty());
  EXPECT_EQ(rig.sim->Frames().front().bytes, (Bytes{0x81, 0x11, 0xF1, 0x81, 0x04}));

  // A controller that falls silent for a while is woken again through the chip, and the live
  // data goes on: rows on both sides of the silence.
  rig.StartSimulator({"--adapter", "elm327", "--silent-after", "12", "--silent-ms", "2500"});
  const auto gap = rig.Cli({"live", "--port", "COM1", "--type", "1", "--adapter", "elm327",
                            "--seconds", "12", "--csv", rig.Path("gap.csv")});
  ASSERT_EQ(gap.code, 0) << gap.err;
  const auto rows = cli::ReadRecordingFile(rig.Path("gap.csv")).rows;
  const auto after_gap = std::adjacent_find(
      rows.begin(), rows.end(), [](const auto& a, const auto& b) { return b.ms - a.ms > 2000; });
  ASSERT_NE(after_gap, rows.end()) << "no silence in the recording";
  EXPECT_GE(rows.end() - after_gap, 3) << "live data did not come back after the silence";

  rig.StartSimulator({"--adapter", "elm327"});
  const auto cable_only = rig.Cli({"codes", "--port", "COM1", "--adapter", "kkl"});
  EXPECT_EQ(cable_only.code, 4);
  EXPECT_EQ(cable_only.err, no_answer);
  EXPECT_TRUE(rig.sim->Frames().empty());
}

// m797-cli probe names what is on the port: an ELM327 with its version, rate and voltage, at the
// common rate and at another; a K-line cable by its echo; and nothing on a terminal that nobody
// serves, which ends with exit status 4.
TEST(CliProbe, NamesTheAdapterOnThePort) {
  CliRig rig({"--adapter", "elm327"});
  const auto chip = rig.Cli({"probe", "--port", "COM1"});
  EXPECT_EQ(chip.code, 0) << chip.err;
  EXPECT_EQ(chip.out,
            "port: COM1\nadapter: ELM327\nversion: ELM327 v1.5\nrate: 38400 bit/s\n"
            "voltage: 12.6V\n");

  // The line relay takes words: an argument with a blank does not reach its simulator.
#ifndef _WIN32
  rig.StartSimulator({"--adapter", "elm327", "--elm-rate", "9600", "--elm-version", "ELM327 v2.1"});
  const auto slow_chip = rig.Cli({"probe", "--port", "COM1"});
  EXPECT_EQ(slow_chip.code, 0) << slow_chip.err;
  EXPECT_EQ(slow_chip.out,
            "port: COM1\nadapter: ELM327\nversion: ELM327 v2.1\nrate: 9600 bit/s\n"
            "voltage: 12.6V\n");
#endif

  rig.StartSimulator({});
  const auto cable = rig.Cli({"probe", "--port", "COM1"});
  EXPECT_EQ(cable.code, 0) << cable.err;
  EXPECT_EQ(cable.out, "port: COM1\nadapter: K-line cable (it gives back what is sent on it)\n");

#ifndef _WIN32
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string terminal = ptsname(master);
  const auto nothing = rig.Cli({"probe", "--port", terminal});
  close(master);
  EXPECT_EQ(nothing.code, 4);
  EXPECT_EQ(nothing.err, "m797-cli: no adapter answered on " + terminal +
                             ": neither an ELM327 (at 38400, 9600 or 115200 bit/s) nor the echo "
                             "of a K-line cable\n");
#endif
}

}  // namespace
