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

// One `live` run: the readings on the screen, the rows into the recording, the codes first when
// asked for.  The recording is created once testing has started: a run that never starts leaves
// a file of that name as it was.
class LiveRun {
 public:
  explicit LiveRun(const CliOptions& options)
      : options_(options),
        run_(options, options.read_codes ? session::kTroubleCodePage : session::kLiveDataPage,
             kExitOk),
        codes_pending_(options.read_codes),
        time_limit_([this] { run_.Finish(kExitOk); }) {
    redraw_.setSingleShot(true);
    QObject::connect(&redraw_, &QTimer::timeout, [this] { Draw(); });
    // The clock on the screen moves once a second also while the link is down.
    QObject::connect(&clock_tick_, &QTimer::timeout, [this] { ScheduleRedraw(); });
    run_.on_link_change = [this] { ScheduleRedraw(); };
    run_.controls().on_gauge_write = [this](session::Gauge gauge, float value) {
      OnGaugeWrite(gauge, value);
    };
    run_.controls().on_memo_change = [this] { OnCodesShown(); };
    run_.on_started = [this] { OnStarted(); };
    run_.on_stopped = [this](int) {
      clock_tick_.stop();
      if (!screen_) return;
      Draw();
      screen_->Close();
    };
  }

  int Run() {
    int code = run_.Run();
    if (!csv_) return code;
    try {
      csv_->Close();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "m797-cli: %s\n", e.what());
      if (code == kExitOk) code = kExitFailed;
    }
    return code;
  }

 private:
  void Draw() {
    screen_->Draw(run_.controls().link_caption(), readings_, StatusLine(run_, rows_, options_));
  }
  void ScheduleRedraw() {
    if (screen_ && !redraw_.isActive()) redraw_.start(0);
  }

  void OnGaugeWrite(session::Gauge gauge, float value) {
    if (!run_.controls().Testing()) return;  // start-up and stop reset a gauge: not a reading
    if (const int q = shared_texts::QuantityIndex(gauge); q >= 0) readings_[q] = value;
    ScheduleRedraw();
    if (!cycles_.Write(gauge, value)) return;
    ++rows_;
    if (!csv_) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - run_.started_at())
                        .count();
    csv_->WriteRow(IsoLocalTime(std::chrono::system_clock::now()), ms, cycles_.values());
  }

  void OnCodesShown() {
    // Only an answer to the session's own request of the codes (see codes_command.cpp).
    if (!codes_pending_ ||
        run_.session().session.sent_request() != session::poll::kReadTroubleCodes) {
      return;
    }
    codes_pending_ = false;
    // Once the answer has been shown whole: keep the codes, then on to the live data as the
    // window does when the user picks its first page.
    QTimer::singleShot(0, &redraw_, [this] {
      if (csv_) {
        csv_->WriteCodes(run_.controls().memo(session::Memo::Memo1),
                         run_.controls().memo(session::Memo::Memo2));
      }
      run_.controls().SetActivePageIndex(session::kLiveDataPage);
      run_.RunSessionHandler([this] { run_.session().session.PageControl1Change(); });
    });
  }

  void OnStarted() {
    if (!options_.csv_path.empty()) {
      try {
        csv_ = std::make_unique<RecordingWriter>(options_.csv_path);
      } catch (const std::exception& e) {
        run_.Finish(kExitFailed, e.what());
        return;
      }
      csv_->WriteHeader(run_.port_name(), run_.controller_type());
    }
    if (isatty(STDOUT_FILENO)) {
      screen_ =
          std::make_unique<LiveScreen>(stdout, "m797-cli live   " + run_.port_name() + "   Type " +
                                                   std::to_string(run_.controller_type()));
      clock_tick_.start(1000);
    }
    if (options_.seconds) {
      time_limit_.Start(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(*options_.seconds)));
    }
    ScheduleRedraw();
  }

  const CliOptions& options_;
  TestingRun run_;
  std::unique_ptr<RecordingWriter> csv_;
  std::unique_ptr<LiveScreen> screen_;
  CycleCollector cycles_;
  LiveScreen::Readings readings_{};
  int rows_ = 0;
  bool codes_pending_;
  QTimer redraw_;
  QTimer clock_tick_;
  TimeLimit time_limit_;
};

}  // namespace

int RunLive(const CliOptions& options) {
  return LiveRun(options).Run();
}

}  // namespace m797::cli
