// m797-cli live: the live data on the terminal and into a recording.
#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/cycle_collector.h"
#include "cli/exit_codes.h"
#include "cli/live_screen.h"
#include "cli/recording_csv.h"
#include "cli/testing_run.h"
#include "cli/time_limit.h"
#include "session/poll_requests.h"

namespace m797::cli {

namespace {

constexpr int kLiveDataPage = 0;
constexpr int kTroubleCodePage = 1;

std::string StatusLine(const TestingRun& run, int rows, const CliOptions& options) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::steady_clock::now() - run.started_at())
                           .count();
  char text[64];
  std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(elapsed / 60),
                static_cast<long long>(elapsed % 60));
  std::string status = text;
  if (!options.csv_path.empty()) {
    status += "   " + std::to_string(rows) + " rows to " + options.csv_path;
  }
  return status + "   Ctrl-C stops";
}

}  // namespace

int RunLive(const CliOptions& options) {
  TestingRun run(options, options.read_codes ? kTroubleCodePage : kLiveDataPage, kExitOk);
  // Created once testing has started: a run that never starts leaves a file of that name as it was.
  std::unique_ptr<RecordingWriter> csv;
  std::unique_ptr<LiveScreen> screen;
  CycleCollector cycles;
  LiveScreen::Readings readings;
  int rows = 0;
  bool codes_pending = options.read_codes;

  QTimer redraw;
  redraw.setSingleShot(true);
  QObject::connect(&redraw, &QTimer::timeout, [&] {
    screen->Draw(run.controls().link_caption(), readings, StatusLine(run, rows, options));
  });
  auto schedule_redraw = [&] {
    if (screen && !redraw.isActive()) redraw.start(0);
  };
  TimeLimit time_limit([&] { run.Finish(kExitOk); });
  // The clock on the screen moves once a second also while the link is down.
  QTimer clock_tick;
  QObject::connect(&clock_tick, &QTimer::timeout, schedule_redraw);

  run.on_link_change = schedule_redraw;
  run.controls().on_gauge_write = [&](session::Gauge gauge, float value) {
    if (!run.controls().Testing()) return;  // start-up and stop reset a gauge: not a reading
    if (const int q = QuantityIndex(gauge); q >= 0) readings[q] = value;
    schedule_redraw();
    if (!cycles.Write(gauge, value)) return;
    ++rows;
    if (csv) {
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - run.started_at())
                          .count();
      csv->WriteRow(IsoLocalTime(std::chrono::system_clock::now()), ms, cycles.values());
    }
  };
  run.controls().on_memo_change = [&] {
    // Only an answer to the session's own request of the codes (see codes_command.cpp).
    if (!codes_pending || run.session().session.poll_state() != session::poll::kReadTroubleCodes) {
      return;
    }
    codes_pending = false;
    // Once the answer has been shown whole: keep the codes, then on to the live data as the
    // window does when the user picks its first page.
    QTimer::singleShot(0, &redraw, [&] {
      if (csv) {
        csv->WriteCodes(run.controls().memo(session::Memo::Memo1),
                        run.controls().memo(session::Memo::Memo2));
      }
      run.controls().SetActivePageIndex(kLiveDataPage);
      run.Handle([&] { run.session().session.PageControl1Change(); });
    });
  };
  run.on_started = [&] {
    if (!options.csv_path.empty()) {
      try {
        csv = std::make_unique<RecordingWriter>(options.csv_path);
      } catch (const std::exception& e) {
        run.Finish(kExitFailed, e.what());
        return;
      }
      csv->WriteHeader(run.port_name(), run.controller_type());
    }
    if (isatty(STDOUT_FILENO)) {
      screen =
          std::make_unique<LiveScreen>(stdout, "m797-cli live   " + run.port_name() + "   Type " +
                                                   std::to_string(run.controller_type()));
      clock_tick.start(1000);
    }
    if (options.seconds) {
      time_limit.Start(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(*options.seconds)));
    }
    schedule_redraw();
  };
  run.on_stopped = [&](int) {
    clock_tick.stop();
    if (screen) {
      screen->Draw(run.controls().link_caption(), readings, StatusLine(run, rows, options));
      screen->Close();
    }
  };

  int code = run.Run();
  if (csv) {
    try {
      csv->Close();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "m797-cli: %s\n", e.what());
      if (code == kExitOk) code = kExitFailed;
    }
  }
  return code;
}

}  // namespace m797::cli
