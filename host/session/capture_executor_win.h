// capture_executor_win.h: one capture session: two reader threads, the child, and the result taken
// from the response stream. Lives for one capture call; its threads never outlive run().
#pragma once

#include <chrono>

#include "biodevice.h"
#include "capture_command.h"
#include "capture_summary.h"

// How long a session waits, each measured by the steady clock.
struct SessionLimits {
  // The capture application's whole run: its longest timeout (600 s) and a margin for its start and
  // its delivery. A capture application still running then is ended.
  std::chrono::milliseconds childRun{std::chrono::seconds(660)};
  // After the capture application has ended: for a pipe it connected to to reach its end before the
  // stream counts as held open by a process it left running.
  std::chrono::milliseconds heldPipe{std::chrono::seconds(2)};
  // After the job is closed: for both readers to end.
  std::chrono::milliseconds readersEnd{std::chrono::seconds(5)};
};

class CaptureExecutor {
 public:
  // input must already be normalised (validateInput); text says how its texts reach the child.
  CaptureExecutor(biodevice device, biodeviceInput input, CommandText text = CommandText::kAnsi,
                  SessionLimits limits = {});

  // Runs the session. A failure to build the command line is thrown; any later run-time error is
  // logged as "Error in child: <text>" and gives exitCode 211, after both readers have been ended and
  // joined. Both pipes exist before the capture application starts. Once it has ended, the job is
  // closed (ending whatever it left running) and the readers are joined within the limits; a session
  // that had to stop waiting for something ends with 299 and a LOG_ERROR naming it. phases, when
  // given, receives the milliseconds since began at which each phase was reached.
  void run(CaptureSummary* phases = nullptr,
           std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now());

  biodeviceOutput& output() noexcept { return output_; }

 private:
  biodevice device_;
  biodeviceInput input_;
  biodeviceOutput output_;
  CommandText text_;
  SessionLimits limits_;
};

// The body of the exported capture: names, normalisation, session, logging; never throws. The exported
// capture reads its 8-bit records in the ANSI code page; requests read as JSON pass kUtf8. Ends with
// the capture's LOG_INFO summary line, unless summary is given: it then receives the summary, and the
// caller, who encodes the answer, logs it.
std::int32_t runCapture(const biodevice& device, const biodeviceInput& input, biodeviceOutput& output,
                        CommandText text = CommandText::kAnsi, CaptureSummary* summary = nullptr) noexcept;
