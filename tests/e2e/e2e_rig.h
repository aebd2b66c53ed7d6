#pragma once

#include <stdlib.h>
#ifdef _WIN32
#include <process.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../session/fake_controls.h"
#include "ecusim_process.h"
#include "event_loop.h"
#include "serial/ser_comm.h"
#include "session/diagnostic_session.h"
#include "session/steady_clock.h"
#include "tester_port/ser_comm_line.h"

namespace m797::e2e {

using namespace std::chrono_literals;

// A private configuration folder for one test: the simulator links its COM name there and the
// serial component looks it up there.  On Windows Wine maps COM1 and the line relay runs the
// simulator and keeps its log, so the folder only holds the files a test writes.
class ConfigFolder {
 public:
  ConfigFolder() {
#ifdef _WIN32
    // Wine gives the same process ids run after run, and a killed test leaves its folder: a name
    // not taken yet, then.
    static int made = 0;
    std::filesystem::path folder;
    do {
      folder = std::filesystem::temp_directory_path() /
               ("m797-e2e-" + std::to_string(_getpid()) + "-" + std::to_string(++made));
    } while (!std::filesystem::create_directory(folder));
    path_ = folder.generic_string();
#else
    char templ[] = "/tmp/m797-e2e-XXXXXX";
    path_ = mkdtemp(templ);
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
#endif
  }
  ~ConfigFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ConfigFolder(const ConfigFolder&) = delete;
  ConfigFolder& operator=(const ConfigFolder&) = delete;
  const std::string& path() const {
    return path_;
  }

 private:
  std::string path_;
};

// Makes the session's line on the rig's component and clock.
using LineMaker =
    std::function<std::unique_ptr<session::SerialLine>(serial::TSerComm&, session::Clock&)>;

// The real session on the real serial component against the simulator on COM1, with a real
// clock and a small event loop as the main thread.  The line is the K-line cable's unless a
// maker gives another; the owner of another line routes the component's notification to it.
struct E2eRig {
  explicit E2eRig(std::vector<std::string> ecusim_args, int type_index = 0, int page = 0,
                  const LineMaker& make_line = nullptr)
      : line_owner(make_line ? make_line(comm, clock)
                             : std::make_unique<tester_port::SerCommLine>(comm)),
        line(*line_owner) {
    ecusim_args.insert(ecusim_args.end(), {"--port", "COM1"});
    sim = std::make_unique<EcusimProcess>(config.path() + "/ecusim.log", ecusim_args);
    tester_port::ConfigureTesterPort(comm);
    comm.SetExceptionHandler([this](const std::string& m) { loop.ShowError(m); });
    comm.SetOnRxChar([this](serial::TSerCustomComm*, int count) { session.SerComm1RxChar(count); });
    loop.AddTimer(timer1, [this] { session.Timer1Timer(); });
    loop.AddTimer(timer2, [this] { session.Timer2Timer(); });
    loop.AddTimer(timer3, [this] { session.Timer3Timer(); });
    session.FormCreate();
    controls.gauge_history.clear();  // only what the line brings counts
    timer1.SetEnabled(true);
    controls.type.index = type_index;
    controls.active_page = page;
  }

  // Waits for the simulator's link, then presses the start button.
  bool Start() {
    if (!loop.RunUntil([&] { return sim->Linked(); }, 10s)) return false;
    loop.Handle([&] { session.Button1Click(); });
    return comm.PortOpen();
  }
  void Stop() {
    loop.Handle([&] { session.Button1Click(); });
  }

  // Requests the simulator has received, as request texts.
  std::vector<std::string> Requests() const {
    std::vector<std::string> texts;
    for (const auto& f : sim->Frames()) {
      if (f.received) texts.push_back(FrameText(f));
    }
    return texts;
  }
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout = 30s) {
    return loop.RunUntil([&] { return RequestCount() >= count; }, timeout);
  }
  std::size_t RequestCount() const {
    const auto& frames = sim->Frames();
    return std::count_if(frames.begin(), frames.end(), [](auto& f) { return f.received; });
  }

  ConfigFolder config;
  std::unique_ptr<EcusimProcess> sim;
  EventLoop loop;
  serial::TSerComm comm{loop.dispatcher()};
  session::SteadyClock clock;
  std::unique_ptr<session::SerialLine> line_owner;
  session::SerialLine& line;
  LoopTimer timer1{10000ms};
  LoopTimer timer2{2000ms};
  LoopTimer timer3{1000ms};
  session::test::FakeControls controls;
  session::test::MemorySettings settings;
  session::DiagnosticSession session{line, clock, {timer1, timer2, timer3}, settings, controls};
};

}  // namespace m797::e2e
