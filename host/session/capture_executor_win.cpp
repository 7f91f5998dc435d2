#include "capture_executor_win.h"

#include <windows.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>

#include "capture_command.h"
#include "capture_job_win.h"
#include "child_win.h"
#include "delivery_check.h"
#include "host_log.h"
#include "pipe_client_check_win.h"
#include "pipe_writer_win.h"
#include "random_string.h"
#include "read_pipe_win.h"
#include "result_codes.h"

namespace {

// Between two attempts of the releasing connect while the pipe is busy (a refused client is being
// dropped, or the reader is between two waits).
constexpr auto kReleaseRetry = std::chrono::milliseconds(20);
// Longest the releasing client stays open waiting for the reader to take it.
constexpr auto kReleaseHold = std::chrono::milliseconds(2000);

// A reader thread with its pipe's progress. Only clients that check accepts may deliver. Destroying it
// releases a reader still waiting for a client and joins it, so no failure path leaves a thread behind.
class ReaderThread {
 public:
  ReaderThread(std::string name, std::vector<std::uint8_t>& bytes, const PipeClientCheck& check)
      : name_(std::move(name)), check_(check), thread_([this, &bytes] {
          readPipe(name_, bytes, &progress_,
                   [this](unsigned long processId) { return check_.accepts(processId, progress_.releasing.load()); });
        }) {}
  ReaderThread(const ReaderThread&) = delete;
  ReaderThread& operator=(const ReaderThread&) = delete;
  ~ReaderThread() {
    if (thread_.joinable()) {
      release();
      thread_.join();
    }
  }

  // Still waiting for a client that will never come now: nobody opened the pipe and nothing (not even
  // a failed reader's result byte) is there. Looked at only after the child has ended; a child that
  // wrote and flushed has been seen connected, since its flush waited for our read.
  bool waitingForClient() const noexcept {
    return !progress_.connected.load() && progress_.arrived.load() == 0;
  }

  // Bounded: the reader marks its pipe created right after CreateNamedPipe, or when that fails.
  void waitCreated() { progress_.waitCreated(std::chrono::seconds(30)); }

  // Connects and closes a client so that a reader waiting for one sees an empty stream. When the
  // connect fails because the child connected meanwhile, or the reader is already done, the reader
  // ends on its own once the child's end is closed, so it is still joined. While the reader still
  // waits for a client the connect is tried again: a refused client may hold the pipe for a moment.
  void release() noexcept {
    progress_.releasing.store(true);
    for (bool logged = false; !progress_.finished.load() && !progress_.connected.load();) {
      try {
        PipeWriter mockPipeWriter(name_);
        mockPipeWriter.connect();
        // Held open until the reader has taken it, so that the reader can still ask who it is.
        for (auto waited = std::chrono::milliseconds(0); waited < kReleaseHold && !progress_.connected.load() &&
                                                         !progress_.finished.load();
             waited += std::chrono::milliseconds(1)) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        mockPipeWriter.close();
        if (progress_.connected.load() || progress_.finished.load()) return;
      } catch (const std::exception& e) {
        if (!logged) hostLog(LOG_WARN, std::string("closing connection failed: ") + e.what());
        logged = true;
      }
      std::this_thread::sleep_for(kReleaseRetry);
    }
  }

  void join() { thread_.join(); }

 private:
  std::string name_;
  const PipeClientCheck& check_;
  PipeProgress progress_;
  std::thread thread_;  // last: starts once the members it uses exist
};

}  // namespace

CaptureExecutor::CaptureExecutor(biodevice device, biodeviceInput input, CommandText text)
    : device_(std::move(device)), input_(std::move(input)), text_(text) {}

void CaptureExecutor::run() {
  const std::string commandLine = makeCommandLine(device_, input_);
  hostLog(LOG_TRACE, "command to execute=" + commandLine);
  DWORD childExitCode = 0;
  try {
    // Declared first, so it is closed last: once the readers are joined, closing it ends whatever the
    // capture application started and left running.
    CaptureJob job;
    PipeClientCheck check(job);
    ReaderThread wsqPipeReaderThread(input_.wsqPipeName, output_.wsq, check);
    ReaderThread bmpPipeReaderThread(input_.bmpPipeName, output_.bmp, check);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    wsqPipeReaderThread.waitCreated();
    bmpPipeReaderThread.waitCreated();

    Child child(commandLine, text_);
    child.start(&job, [&check](DWORD processId) { check.childCreated(processId); });
    hostLog(LOG_DEBUG, "process started");
    if (!child.inJob()) {
      hostLog(LOG_WARN, "no job for the capture application (" + job.failure() + "): only its own process " +
                            std::to_string(child.processId()) + " may write the pipes");
    }
    child.wait();
    check.childEnded();
    childExitCode = child.exitCode();
    hostLog(LOG_DEBUG, "process closed");

    // The vectors are read only after their reader has been joined. A child that opened a pipe and
    // closed it without writing is reported the same way once its reader has ended.
    const std::string nothingReceived = "didn't receive anything, is child okay? closing connection";
    const bool wsqWaiting = wsqPipeReaderThread.waitingForClient();
    if (wsqWaiting) {
      hostLog(LOG_WARN, nothingReceived);
      wsqPipeReaderThread.release();
    }
    wsqPipeReaderThread.join();
    if (!wsqWaiting && output_.wsq.empty()) hostLog(LOG_WARN, nothingReceived);
    hostLog(LOG_DEBUG, "response size=" + std::to_string(output_.wsq.size()) + " bytes");

    const std::string noImage = "didn't receive any image, closing connection";
    const bool bmpWaiting = bmpPipeReaderThread.waitingForClient();
    if (bmpWaiting) {
      hostLog(LOG_TRACE, noImage);
      bmpPipeReaderThread.release();
    }
    bmpPipeReaderThread.join();
    if (!bmpWaiting && output_.bmp.empty()) hostLog(LOG_TRACE, noImage);
    hostLog(LOG_DEBUG, "image size=" + std::to_string(output_.bmp.size()) + " bytes");
  } catch (const std::exception& e) {
    // The readers were released and joined by their destructors before we get here.
    hostLog(LOG_ERROR, std::string("Error in child: ") + e.what());
    output_.exitCode = DEV_ERR_INTERNAL_APP;
    output_.wsq.clear();  // a failed session carries no WSQ
    return;
  }

  if (output_.wsq.empty()) {
    output_.exitCode = DEV_ERR_DRIVER_INVALID;
  } else if (output_.wsq.size() == 1) {
    output_.exitCode = output_.wsq[0];
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
                        CommandText text) noexcept {
  try {
    biodevice deviceCopy = device;
    biodeviceInput inputCopy = input;
    hostLog(LOG_DEBUG, "capture(biodevice=" + toString(deviceCopy) + ", biodeviceInput=" + toString(inputCopy) + ")");
    try {
      const std::string randomPipeName = randomString(PIPE_NAME_RANDOM_LENGTH, PIPE_NAME_CHARS);
      const std::string secondPipeName = randomString(PIPE_NAME_RANDOM_LENGTH, PIPE_NAME_CHARS);
      inputCopy.wsqPipeName = PIPE_NAME_PREFIX + randomPipeName;
      inputCopy.bmpPipeName = PIPE_NAME_PREFIX + secondPipeName;
    } catch (const std::runtime_error& e) {
      hostLog(LOG_WARN, std::string("generate random string failed: ") + e.what());
      inputCopy.wsqPipeName = DEFAULT_WSQ_PIPE_NAME;
      inputCopy.bmpPipeName = DEFAULT_BMP_PIPE_NAME;
    }
    try {
      validateInput(inputCopy, text);
      CaptureExecutor executor(std::move(deviceCopy), std::move(inputCopy), text);
      executor.run();
      output = std::move(executor.output());
    } catch (const std::exception& e) {
      hostLog(LOG_ERROR, e.what());
      output.exitCode = DEV_ERR_INTERNAL_APP;
    }
    hostLog(LOG_DEBUG, "capture(...) returns " + toString(output));
    return output.exitCode;
  } catch (...) {
    // Only an allocation failure gets here; nothing may cross the exported boundary.
    output.exitCode = DEV_ERR_INTERNAL_APP;
    return output.exitCode;
  }
}
