// m797-cli codes and m797-cli clear: the trouble-code page of the window, once.
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "cli/codes_output.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/testing_run.h"
#include "session/poll_requests.h"
#include "session/request_frame.h"
#include "wire_log/wire_log_line.h"

namespace m797::cli {

namespace {

// Time for the whole exchange once the controller has answered.
constexpr std::chrono::milliseconds kCodesWait{20000};

// Whether the answer that comes now, or the one the session is handling, answers the session's
// own request of this kind.  An answer read right after the start can be one that came after an
// earlier program had closed the port, still waiting in the device.
bool Answers(TestingRun& run, std::uint8_t request) {
  return run.session().session.sent_request() == request;
}

void PrintCodes(const ConsoleControls& controls, bool json) {
  const auto& current = controls.memo(session::Memo::Memo1);
  const auto& stored = controls.memo(session::Memo::Memo2);
  const std::string text = json ? CodesJson(current, stored) : CodesText(current, stored);
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

std::string Hex(std::span<const std::uint8_t> bytes) {
  return wire_log::FormatBytes(bytes.data(), bytes.size());
}

}  // namespace

int RunCodes(const CliOptions& options) {
  TestingRun run(options, session::kTroubleCodePage, kExitInterrupted);
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [&] {
    run.Finish(kExitNoAnswer, "the controller did not give its trouble codes");
  });
  bool read = false;
  run.controls().on_memo_change = [&] {
    if (read || !Answers(run, session::poll::kReadTroubleCodes)) return;
    read = true;
    // Once the answer has been shown whole.
    QTimer::singleShot(0, &deadline, [&] {
      PrintCodes(run.controls(), options.json);
      run.Finish(kExitOk);
    });
  };
  run.on_started = [&] { deadline.start(kCodesWait); };
  return run.Run();
}

int RunClear(const CliOptions& options) {
  TestingRun run(options, session::kTroubleCodePage, kExitInterrupted);
  // The codes are read first, as on the window's page; the clear goes out after that answer,
  // and the codes read after the controller's confirmation are shown.
  enum class Phase { Reading, Clearing, Confirmed, Done } phase = Phase::Reading;
  bool refusal_shown = false;
  // The session has started the communication again since the clear was pressed: the link was
  // lost, and the session reads the codes again before it clears.
  bool started_again = false;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [&] {
    run.Finish(kExitNoAnswer, phase == Phase::Reading
                                  ? "the controller did not give its trouble codes"
                                  : "the controller did not confirm the clearing");
  });
  run.controls().on_memo_change = [&] {
    const bool reading = Answers(run, session::poll::kReadTroubleCodes);
    // Pressed again when a lost link has put the session back to reading since.
    if (reading && (phase == Phase::Reading || (phase == Phase::Clearing && started_again))) {
      phase = Phase::Clearing;
      started_again = false;
      QTimer::singleShot(0, &deadline, [&] {
        run.RunSessionHandler([&] { run.session().session.Button2Click(); });
      });
    } else if (phase == Phase::Confirmed && reading) {
      phase = Phase::Done;
      QTimer::singleShot(0, &deadline, [&] {
        PrintCodes(run.controls(), false);
        run.Finish(kExitOk);
      });
    }
  };
  run.on_started = [&] {
    deadline.start(kCodesWait);
    run.session().line.on_received_frame = [&](const std::vector<std::uint8_t>& frame) {
      if (frame.size() < 4 || frame[1] != session::kTesterAddress) return;
      const auto data = session::FrameData(frame);
      if (data.empty()) return;
      if (phase == Phase::Clearing && Answers(run, session::poll::kStartCommunication)) {
        started_again = true;
      }
      if (data[0] == session::kClearAnswer && phase == Phase::Clearing &&
          Answers(run, session::poll::kClearTroubleCodes)) {
        phase = Phase::Confirmed;
        std::printf("Trouble codes cleared: the controller answered %s\n\n", Hex(data).c_str());
      } else if (data[0] == session::kNegativeAnswer && data.size() > 1 &&
                 data[1] == session::kClearService && !refusal_shown) {
        refusal_shown = true;
        std::printf("The controller refused the clearing (%s); asking again\n", Hex(data).c_str());
      }
      std::fflush(stdout);
    };
  };
  return run.Run();
}

}  // namespace m797::cli
