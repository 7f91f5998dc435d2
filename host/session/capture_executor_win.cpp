#include "capture_executor_win.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "capture_command.h"
#include "capture_job_win.h"
#include "child_win.h"
#include "delivery_check.h"
#include "host_log.h"
#include "pipe_client_check_win.h"
#include "random_string.h"
#include "read_pipe_win.h"
#include "result_codes.h"
#include "running_captures_win.h"
#include "win/last_error.h"

namespace {

using Clock = std::chrono::steady_clock;

velmar::win::UniqueHandle manualResetEvent() {
  velmar::win::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) velmar::win::throwLastError("CreateEvent");
  return event;
}

std::string seconds(std::chrono::milliseconds limit) {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limit).count()) + " s";
}

// A reader thread with its pipe, created before the thread starts (a failure is thrown, with no
// thread). Only clients that check accepts may deliver. Its waits end on its own events, so ending
// it never needs a client; destroying it abandons a reader still running and joins it.
class ReaderThread {
 public:
  ReaderThread(std::string name, std::vector<std::uint8_t>& bytes, const PipeClientCheck& check)
      : release_(manualResetEvent()),
        abandon_(manualResetEvent()),
        pipe_(std::move(name), PipeStops{release_.get(), abandon_.get()}),
        check_(check) {
    pipe_.create();
    thread_ = std::thread([this, &bytes] {
      readCreatedPipe(pipe_, bytes, &progress_, [this](unsigned long processId) { return check_.accepts(processId); });
    });
  }
  ReaderThread(const ReaderThread&) = delete;
  ReaderThread& operator=(const ReaderThread&) = delete;
  ~ReaderThread() {
    if (thread_.joinable()) {
      abandon();
      thread_.join();
    }
  }

  // Still waiting for a client: nobody opened the pipe and nothing (not even a failed reader's result
  // byte) is there. A child that wrote and flushed has been seen connected, since its flush waited for
  // our read.
  bool waitingForClient() const noexcept { return !progress_.connected.load() && progress_.arrived.load() == 0; }
  // A client opened the pipe and its stream has not ended yet.
  bool streamOpen() const noexcept { return progress_.connected.load() && !progress_.finished.load(); }
  bool waitFinished(Clock::time_point deadline) { return progress_.waitFinished(deadline); }
  // The steady clock's time of the first byte, if one came.
  std::optional<Clock::time_point> firstByte() const noexcept {
    const std::int64_t at = progress_.firstByteAt.load();
    if (at == 0) return std::nullopt;
    return Clock::time_point(Clock::duration(at));
  }

  // Ends a wait for a client with an empty stream; a connected client is still read to its end.
  void release() noexcept { SetEvent(release_.get()); }
  // Ends every wait, a read included.
  void abandon() noexcept {
    SetEvent(abandon_.get());
    SetEvent(release_.get());
  }
  void join() { thread_.join(); }
  const std::string& name() const noexcept { return pipe_.name(); }

 private:
  velmar::win::UniqueHandle release_;
  velmar::win::UniqueHandle abandon_;
  PipeReader pipe_;
  const PipeClientCheck& check_;
  PipeProgress progress_;
  std::thread thread_;  // last: starts once the members it uses exist
};

std::atomic<unsigned long long> captureSequence{0};

}  // namespace

CaptureExecutor::CaptureExecutor(biodevice device, biodeviceInput input, CommandText text, SessionLimits limits)
    : device_(std::move(device)), input_(std::move(input)), text_(text), limits_(limits) {}

void CaptureExecutor::run(CaptureSummary* phases, Clock::time_point began) {
  const std::string commandLine = makeCommandLine(device_, input_);
  hostLog(LOG_TRACE, "command to execute=" + commandLine);
  const auto since = [began](Clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(at - began).count();
  };
  const auto mark = [&](long long CaptureSummary::*phase) {
    if (phases != nullptr) phases->*phase = since(Clock::now());
  };
  DWORD childExitCode = 0;
  std::string gaveUp;  // what the session stopped waiting for, when it had to
  try {
    CaptureJob job;
    PipeClientCheck check(job);
    std::optional<RunningCapture> running;
    // Both pipes exist before the capture application starts; a pipe that cannot be created fails the
    // capture here, with nothing started.
    ReaderThread wsqReader(input_.wsqPipeName, output_.wsq, check);
    ReaderThread bmpReader(input_.bmpPipeName, output_.bmp, check);
    mark(&CaptureSummary::pipesReady);

    Child child(commandLine, text_);
    child.start(
        &job,
        [&](DWORD processId) {
          check.childCreated(processId);
          running.emplace(processId);
        },
        [&] {
          // Before its handle is closed: then no other process can have this id yet.
          check.childEnded();
          if (running) running->end();
        });
    mark(&CaptureSummary::childStarted);
    hostLog(LOG_DEBUG, "process started");
    if (!child.inJob()) {
      hostLog(LOG_WARN, "no job for the capture application (" + job.failure() + "): only its own process " +
                            std::to_string(child.processId()) + " may write the pipes");
    }
    if (!child.waitFor(limits_.childRun)) {
      gaveUp = "the capture application";
      hostLog(LOG_ERROR, "gave up waiting for the capture application: still running after " +
                             seconds(limits_.childRun) + ", ended");
      job.close();
      if (!child.inJob()) child.terminate(DEV_ERR_FAILURE);
      if (!child.waitFor(limits_.readersEnd)) throw std::runtime_error("the capture application could not be ended");
    }
    childExitCode = child.exitCode();
    child.close();
    mark(&CaptureSummary::childEnded);
    hostLog(LOG_DEBUG, "process closed");

    // A stream the capture application opened ends when it ends. When processes it started still run,
    // a stream still open a moment later is held by one of them, and what it carries is no delivery.
    // (With none left, a stream not ended yet only waits for its reader's turn.)
    const long active = job.activeProcesses();
    const bool leftovers = active != 0;
    if (active > 0) {
      hostLog(LOG_WARN, "the capture application left " + std::to_string(active) + " process(es) running: ending them");
    }
    const Clock::time_point graceEnd = Clock::now() + limits_.heldPipe;
    for (ReaderThread* reader : {&wsqReader, &bmpReader}) {
      if (leftovers && reader->streamOpen() && !reader->waitFinished(graceEnd)) {
        const std::string which = reader == &wsqReader ? "response" : "image";
        hostLog(LOG_ERROR, "gave up waiting for the " + which + " pipe '" + reader->name() +
                               "': still held open by a process the capture application left running, ended");
        if (gaveUp.empty()) gaveUp = "the " + which + " pipe";
      }
    }
    // Ends whatever the capture application left running, so that no pipe stays open for it.
    job.close();

    // The vectors are read only after their reader has been joined. A child that opened a pipe and
    // closed it without writing is reported the same way once its reader has ended.
    const std::string nothingReceived = "didn't receive anything, is child okay? closing connection";
    const std::string noImage = "didn't receive any image, closing connection";
    const bool wsqWaiting = wsqReader.waitingForClient();
    if (wsqWaiting) {
      hostLog(LOG_WARN, nothingReceived);
      wsqReader.release();
    }
    const bool bmpWaiting = bmpReader.waitingForClient();
    if (bmpWaiting) {
      hostLog(LOG_TRACE, noImage);
      bmpReader.release();
    }
    const Clock::time_point deadline = Clock::now() + limits_.readersEnd;
    for (ReaderThread* reader : {&wsqReader, &bmpReader}) {
      if (!reader->waitFinished(deadline)) {
        const std::string which = reader == &wsqReader ? "response" : "image";
        hostLog(LOG_ERROR, "gave up waiting for the " + which + " pipe '" + reader->name() + "': not ended " +
                               seconds(limits_.readersEnd) + " after the capture application");
        if (gaveUp.empty()) gaveUp = "the " + which + " pipe";
        reader->abandon();
      }
    }
    wsqReader.join();
    bmpReader.join();
    std::optional<Clock::time_point> firstByte = wsqReader.firstByte();
    if (const auto image = bmpReader.firstByte(); image && (!firstByte || *image < *firstByte)) firstByte = image;
    if (phases != nullptr && firstByte) phases->firstByte = since(*firstByte);
    if (!wsqWaiting && output_.wsq.empty()) hostLog(LOG_WARN, nothingReceived);
    hostLog(LOG_DEBUG, "response size=" + std::to_string(output_.wsq.size()) + " bytes");
    if (!bmpWaiting && output_.bmp.empty()) hostLog(LOG_TRACE, noImage);
    hostLog(LOG_DEBUG, "image size=" + std::to_string(output_.bmp.size()) + " bytes");
  } catch (const std::exception& e) {
    // The readers were ended and joined by their destructors before we get here.
    hostLog(LOG_ERROR, std::string("Error in child: ") + e.what());
    output_.exitCode = DEV_ERR_INTERNAL_APP;
    output_.wsq.clear();  // a failed session carries no WSQ
    return;
  }

  if (!gaveUp.empty()) {
    output_.exitCode = DEV_ERR_FAILURE;
    output_.wsq.clear();
  } else if (output_.wsq.empty()) {
    output_.exitCode = DEV_ERR_DRIVER_INVALID;
  } else if (output_.wsq.size() == 1) {
    // One byte is a result only when it names a failure: a lone 0 would be a success without data.
    output_.exitCode = output_.wsq[0] == DEV_SUCCESS ? DEV_ERR_FAILURE : output_.wsq[0];
    if (output_.wsq[0] == DEV_SUCCESS) hostLog(LOG_WARN, "the capture application sent the single byte 0: no result");
    output_.wsq.clear();
  } else {
    // Two bytes or more are a capture only when the data is whole; the exit code never decides (a
    // crash while closing after a whole delivery is still a capture, a clean exit after half a file
    // is not).
    const std::string fault = deliveryFault(output_.wsq, output_.bmp);
    if (!fault.empty()) {
      hostLog(LOG_WARN, fault);
      output_.exitCode = DEV_ERR_FAILURE;
      output_.wsq.clear();
    } else {
      if (childExitCode != 0) {
        hostLog(LOG_WARN, "child ended with exit code " + std::to_string(childExitCode) +
                              " after delivering a whole capture");
      }
      output_.exitCode = DEV_SUCCESS;
    }
  }
}

std::int32_t runCapture(const biodevice& device, const biodeviceInput& input, biodeviceOutput& output,
                        CommandText text, CaptureSummary* summaryOut) noexcept {
  try {
    const Clock::time_point began = Clock::now();
    CaptureSummary summary;
    summary.id = captureId(GetCurrentProcessId(), ++captureSequence);
    summary.application = device.command;
    biodevice deviceCopy = device;
    biodeviceInput inputCopy = input;
    hostLog(LOG_DEBUG, "capture(biodevice=" + toString(deviceCopy) + ", biodeviceInput=" + toString(inputCopy) + ")");
    try {
      try {
        const std::string randomPipeName = randomString(PIPE_NAME_RANDOM_LENGTH, PIPE_NAME_CHARS);
        const std::string secondPipeName = randomString(PIPE_NAME_RANDOM_LENGTH, PIPE_NAME_CHARS);
        inputCopy.wsqPipeName = PIPE_NAME_PREFIX + randomPipeName;
        inputCopy.bmpPipeName = PIPE_NAME_PREFIX + secondPipeName;
      } catch (const std::exception& e) {
        // Never a fixed name another process could have created first.
        throw std::runtime_error(std::string("generate random string failed: ") + e.what());
      }
      validateInput(inputCopy, text);
      CaptureExecutor executor(std::move(deviceCopy), std::move(inputCopy), text);
      executor.run(&summary, began);
      output = std::move(executor.output());
    } catch (const std::exception& e) {
      hostLog(LOG_ERROR, e.what());
      output = biodeviceOutput();  // nothing of an earlier capture stays in the caller's record
      output.exitCode = DEV_ERR_INTERNAL_APP;
    }
    hostLog(LOG_DEBUG, "capture(...) returns " + toString(output));
    summary.result = output.exitCode;
    summary.wsqBytes = output.wsq.size();
    summary.bmpBytes = output.bmp.size();
    if (summaryOut != nullptr) {
      *summaryOut = summary;
    } else {
      hostLog(LOG_INFO, summaryLine(summary));
    }
    return output.exitCode;
  } catch (...) {
    // Only an allocation failure gets here; nothing may cross the exported boundary.
    output.exitCode = DEV_ERR_INTERNAL_APP;
    return output.exitCode;
  }
}
