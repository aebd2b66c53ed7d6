// What m797-cli and ecusim do with the files and command lines given to them: a report of a good
// recording, and a clear message and exit code for bad ones, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "cli/recording_csv.h"
#include "cli_process.h"
#include "e2e_rig.h"

namespace {

using namespace m797;

struct InputRig {
  std::string Path(const std::string& name) const { return config.path() + "/" + name; }
  cli::test::Finished Cli(const std::vector<std::string>& args) {
    return cli::test::Run(cli::test::CliProgram(), args, Path("cli"));
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Path(name)) << text;
  }
  e2e::ConfigFolder config;
};

// A minute of a drive as the recorder writes it.
void WriteMinute(const std::string& path) {
  cli::RecordingWriter writer(path);
  writer.WriteHeader("COM1", 2);
  writer.WriteCodes({"0102 - first"}, {});
  for (int i = 0; i < 90; ++i) {
    const float t = i * 0.66f;
    writer.WriteRow("2026-12-08T09:14:03.512+01:00", std::lround(t * 1000),
                    {t, 800 + 40 * t, 20 + t, 18, 14.1f, t / 2, 30 + t, 2.5f});
  }
  writer.Close();
}

TEST(CliInput, ReportOfARecordingAsPdfAndPicture) {
  InputRig rig;
  WriteMinute(rig.Path("drive.csv"));
  const auto pdf = rig.Cli({"report", rig.Path("drive.csv"), "--pdf", rig.Path("drive.pdf")});
  ASSERT_EQ(pdf.code, 0) << pdf.err;
  EXPECT_EQ(pdf.err, "");
  EXPECT_EQ(cli::test::ReadFile(rig.Path("drive.pdf")).substr(0, 5), "%PDF-");
  const auto png = rig.Cli({"report", rig.Path("drive.csv"), "--png", rig.Path("drive.png")});
  ASSERT_EQ(png.code, 0) << png.err;
  EXPECT_EQ(cli::test::ReadFile(rig.Path("drive.png")).substr(1, 3), "PNG");
#ifndef _WIN32
  for (const char* format : {"--pdf", "--png"}) {
    const auto full = rig.Cli({"report", rig.Path("drive.csv"), format, "/dev/full"});
    EXPECT_EQ(full.code, 1) << format;
    EXPECT_EQ(full.err, "m797-cli: /dev/full: cannot be written\n");
  }
#endif
}

TEST(CliInput, BadRecordingsAreRefusedWithTheLineNamed) {
  InputRig rig;
  const std::string header =
      "time,ms,speed [km/h],engine speed [rpm],coolant temperature [°C],"
      "intake air temperature [°C],battery voltage [V],throttle position [%],"
      "manifold pressure [kPa]";
  const std::string row = "2026-12-08T09:14:03.512+01:00,100,1,2,3,4,5,6,7";
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"# port: COM1\n" + header + "\n" + row + "\n",
       "bad.csv:2: no column \"injection time [ms]\" in the header"},
      {header + ",injection time [ms]\n" + row + ",8\n" + row + ",x8\n",
       "bad.csv:3: \"x8\" in column \"injection time [ms]\" is not a number"},
      {header + ",injection time [ms]\n" + row + "\n", "bad.csv:2: 9 cells, the header has 10"},
      // A time or a value no recorder writes: the report would never end its grid, or cast
      // beyond the range of a float.
      {header + ",injection time [ms]\n" + "t,1e19,1,2,3,4,5,6,7,8\n",
       "bad.csv:2: \"1e19\" in column \"ms\" is out of range"},
      {header + ",injection time [ms]\n" + row + ",-3e39\n",
       "bad.csv:2: \"-3e39\" in column \"injection time [ms]\" is out of range"},
      {header + ",injection time [ms]\n# nothing recorded\n", "bad.csv: no rows of live data"},
      {"", "bad.csv: no header line, so not a recording of live data"},
  };
  for (const Case& c : cases) {
    rig.Write("bad.csv", c.text);
    const auto run = rig.Cli({"report", rig.Path("bad.csv"), "--png", rig.Path("bad.png")});
    EXPECT_EQ(run.code, 5) << c.text;
    EXPECT_EQ(run.err, "m797-cli: " + rig.Path(c.message) + "\n");
  }
  const auto missing = rig.Cli({"report", rig.Path("none.csv"), "--png", rig.Path("bad.png")});
  EXPECT_EQ(missing.code, 5);
  EXPECT_EQ(missing.err, "m797-cli: " + rig.Path("none.csv") + ": No such file or directory\n");
}

TEST(CliInput, BadCommandLinesAndWireLogsAreRefused) {
  InputRig rig;
  const auto unknown = rig.Cli({"live", "--colour"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_EQ(unknown.err, "m797-cli: unknown option --colour\n(see m797-cli --help)\n");
  EXPECT_EQ(rig.Cli({"codes", "--seconds", "5"}).code, 2);
  EXPECT_EQ(rig.Cli({"report", "x.csv", "--pdf", "a.pdf", "--png", "b.png"}).code, 2);
  EXPECT_EQ(rig.Cli({"live", "--type", "4"}).code, 2);
  EXPECT_EQ(rig.Cli({}).code, 2);
#ifndef _WIN32  // the simulator runs on Linux

  rig.Write("bad.log", "12.500 TX 81 11 F1 81 04\n\n# a note\n13.000 RX 83 F1 11 C1 EF 8F G4\n");
  const auto replay = cli::test::Run(
      ECUSIM_PATH, {"--port", "COM3", "--replay", rig.Path("bad.log")}, rig.Path("ecusim"));
  EXPECT_EQ(replay.code, 2);
  EXPECT_EQ(replay.err,
            "ecusim: " + rig.Path("bad.log") + ":4: bad byte 'G4' (two hexadecimal digits)\n");
  rig.Write("empty.log", "12.500 TX 81 11 F1 81 04\n");
  EXPECT_EQ(
      cli::test::Run(ECUSIM_PATH, {"--replay", rig.Path("empty.log")}, rig.Path("ecusim")).code, 2);
#endif
}

}  // namespace
