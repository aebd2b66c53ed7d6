// m797-cli as a program against the simulator on a pseudo-terminal: its recording against its own
// wire log and the simulator's, the trouble codes, the ends of a run, and a replayed recording.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
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

  void StartSimulator(std::vector<std::string> args) {
    sim.reset();
    args.insert(args.end(), {"--port", "COM1"});
    sim = std::make_unique<e2e::EcusimProcess>(Path("ecusim.log"), args);
    EXPECT_TRUE(WaitUntil([&] { return sim->Linked(); }, 10s));
  }
  std::string Path(const std::string& name) const { return config.path() + "/" + name; }
  cli::test::Finished Cli(const std::vector<std::string>& args) {
    return cli::test::Run(M797_CLI_PATH, args, Path("cli"));
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
std::vector<cli::QuantityValues> CyclesInWireLog(const std::vector<WireLogLine>& lines, int type) {
  session::test::FakeControls gauges;
  std::vector<cli::QuantityValues> rows;
  for (const WireLogLine& line : lines) {
    if (line.direction != Direction::Rx || !ToTester(line.bytes)) continue;
    session::ResponseData d;
    const auto data = session::FrameData(line.bytes);
    std::copy(data.begin(), data.end(), d.bytes.begin());
    if (d[0] != 0x61) continue;
    if (session::ShowLiveData(d[1], d, type - 1, gauges) != session::poll::kLiveData06) continue;
    cli::QuantityValues row{};
    for (int q = 0; q < cli::kQuantityCount; ++q)
      row[q] = gauges.gauge(cli::Quantities()[q].gauge).value_or(NAN);
    rows.push_back(row);
  }
  return rows;
}

std::vector<cli::QuantityValues> Values(const cli::Recording& recording) {
  std::vector<cli::QuantityValues> values;
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

// The recording equals the session's decoding of the answers in the program's wire log, row by
// row; that wire log holds every request with its echo and every answer the simulator wrote.
void ExpectRecordingMatchesTheLine(CliRig& rig, const std::string& csv, const std::string& log,
                                   int type) {
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
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
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
  // simulator answered, but for an answer written after the program had stopped.
  const auto sent = Frames(lines, [](auto& l) { return l.direction == Direction::Tx; });
  auto received = [&] { return Frames(rig.sim->Frames(), [](auto& f) { return f.received; }); };
  WaitUntil([&] { return received().size() >= sent.size(); }, 2s);  // the last may be on its way
  EXPECT_EQ(sent, received());
  const auto& sim_frames = rig.sim->Frames();
  const auto answers =
      Frames(lines, [](auto& l) { return l.direction == Direction::Rx && ToTester(l.bytes); });
  const auto written = Frames(sim_frames, [](auto& f) { return !f.received; });
  ASSERT_LE(answers.size(), written.size());
  EXPECT_LE(written.size() - answers.size(), 1u);
  EXPECT_TRUE(std::equal(answers.begin(), answers.end(), written.begin()));
}

struct TypeCase {
  int type;
  std::vector<std::string> misbehaviour;
  bool stored = false;  // the port and the type come from the window's settings
};

class CliLive : public ::testing::TestWithParam<TypeCase> {};

TEST_P(CliLive, RecordingHasTheSessionsValuesOfEveryCompleteCycle) {
  std::vector<std::string> args = {"--type", std::to_string(GetParam().type)};
  args.insert(args.end(), GetParam().misbehaviour.begin(), GetParam().misbehaviour.end());
  CliRig rig(args);
  std::vector<std::string> live = {
      "live",       "--seconds",         "3.5", "--csv", rig.Path("live.csv"),
      "--wire-log", rig.Path("wire.log")};
  const std::string settings =
      "[Vestrel]\nCOM=0\nTYPE=" + std::to_string(GetParam().type - 1) + "\n";
  if (GetParam().stored) {
    std::ofstream(rig.Path("TARKON.conf")) << settings;
  } else {
    live.insert(live.end(), {"--port", "COM1", "--type", std::to_string(GetParam().type)});
  }
  const auto run = rig.Cli(live);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectRecordingMatchesTheLine(rig, "live.csv", "wire.log", GetParam().type);
  // The window's settings are read, never written.
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

// Ctrl-C, or the hang-up of an SSH session to a board in the car, during a run whose time limit
// (49.7 days) is beyond what a Qt timer holds: the limit does not end it early, the signal does.
class CliStop : public ::testing::TestWithParam<int> {};

TEST_P(CliStop, SignalStopsAndLeavesACompleteRecording) {
  CliRig rig({"--type", "1"});
  cli::test::ChildProcess cli(M797_CLI_PATH,
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

INSTANTIATE_TEST_SUITE_P(Signals, CliStop, ::testing::Values(SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(strsignal(info.param)); });

TEST(CliLive, ReplayedWireLogGivesTheSameRecording) {
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

TEST(CliCodes, ReadsTheControllersCodesThenClearsThem) {
  // Unknown to the table (0111) and without a storage state (0301:00): not shown.
  CliRig rig({"--dtc", "0102:60", "--dtc", "0171:20", "--dtc", "0111:60", "--dtc", "0300:40",
              "--dtc", "0301:00", "--dtc", "0603:E0"});
  const auto codes = rig.Cli({"codes", "--json", "--port", "COM1"});
  ASSERT_EQ(codes.code, 0) << codes.err;
  EXPECT_EQ(codes.out, "{\n  \"current\": [\n    " + Entry("0102") + ",\n    " + Entry("0603") +
                           "\n  ],\n  \"stored\": [\n    " + Entry("0171") + ",\n    " +
                           Entry("0300") + "\n  ]\n}\n");

  const auto clear = rig.Cli({"clear", "--port", "COM1", "--wire-log", rig.Path("clear.log")});
  ASSERT_EQ(clear.code, 0) << clear.err;
  EXPECT_NE(clear.out.find("the controller answered 54 FF 00"), std::string::npos) << clear.out;
  const auto lines = wire_log::ReadWireLogFile(rig.Path("clear.log"));
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](auto& l) {
                           return l.direction == Direction::Tx &&
                                  l.bytes == Bytes{0x83, 0x11, 0xF1, 0x14, 0xFF, 0x00, 0x98};
                         }),
            lines.end());

  const auto after = rig.Cli({"codes", "--json", "--port", "COM1"});
  ASSERT_EQ(after.code, 0) << after.err;
  EXPECT_EQ(after.out, "{\n  \"current\": [],\n  \"stored\": []\n}\n");
}

TEST(CliCodes, MissingPortAndSilentControllerHaveTheirExitCodes) {
  CliRig rig({"--silent"});
  const auto missing = rig.Cli({"codes", "--port", "COM7"});
  EXPECT_EQ(missing.code, 3);
  EXPECT_EQ(missing.err, "m797-cli: Specified device not found (COM7).\n");
  // A run that never started leaves the files it was to write as they were.
  std::ofstream(rig.Path("drive.csv")) << "an earlier recording\n";
  std::ofstream(rig.Path("wire.log")) << "an earlier log\n";
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
  CliRig rig({"--dtc", "0102:60"});
  ASSERT_EQ(symlink("/dev/full", rig.Path("full.out").c_str()), 0);
  const cli::test::Finished codes = [&] {
    cli::test::ChildProcess child(M797_CLI_PATH, {"codes", "--json", "--port", "COM1"},
                                  rig.Path("full"));
    return cli::test::Finished{child.Wait(), "", child.Errors()};
  }();
  EXPECT_EQ(codes.code, 1);
  EXPECT_EQ(codes.err, "m797-cli: standard output: could not be written completely\n");

  const auto clear = rig.Cli({"clear", "--port", "COM1", "--wire-log", "/dev/full"});
  EXPECT_EQ(clear.code, 1);
  EXPECT_EQ(clear.err, "m797-cli: /dev/full: could not be written completely\n");
}

// Where the window would wait for the user to stop and start again, an unattended recorder
// would record nothing for ever: it ends, the recording complete.
TEST(CliLive, LostDeviceOrStopCommunicationEndsTheRun) {
  CliRig rig({"--hangup-after", "6", "--hangup-ms", "60000"});
  const auto lost = rig.Cli({"live", "--port", "COM1", "--csv", rig.Path("lost.csv")});
  EXPECT_EQ(lost.code, 1);
  EXPECT_NE(lost.err.find("Communication device failed"), std::string::npos) << lost.err;
  EXPECT_EQ(cli::ReadRecordingFile(rig.Path("lost.csv")).rows.size(), 1u);

  rig.StartSimulator({"--stop-after", "6"});
  const auto stopped = rig.Cli({"live", "--port", "COM1", "--csv", rig.Path("stopped.csv")});
  EXPECT_EQ(stopped.code, 1);
  EXPECT_EQ(stopped.err, "m797-cli: the controller ended the communication (StopCommunication)\n");
  EXPECT_EQ(cli::ReadRecordingFile(rig.Path("stopped.csv")).rows.size(), 1u);
}

}  // namespace
