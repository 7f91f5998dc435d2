#include "child_win.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "ansi_text_win.h"
#include "capture_job_win.h"
#include "host_log.h"
#include "result_codes.h"
#include "win/last_error.h"

Child::Child(std::string command, CommandText text) : command_(std::move(command)), text_(text) {}

void Child::start(CaptureJob* job, const std::function<void(DWORD)>& beforeResume, std::function<void()> beforeClose) {
  if (command_.empty()) throw std::runtime_error("invalid argument for command in Child");
  STARTUPINFOW startupInfo = {};
  startupInfo.cb = sizeof(startupInfo);
  startupInfo.dwFlags = STARTF_USESHOWWINDOW;
  startupInfo.wShowWindow = SW_SHOW;

  const std::wstring wide =
      text_ == CommandText::kUtf8 ? utf8ToWide(command_, "command line") : ansiToWide(command_, "command line");
  std::vector<wchar_t> commandLine(kWideBufferUnits, L'\0');  // CreateProcessW may write into it
  wide.copy(commandLine.data(), wide.size());

  hostLog(LOG_TRACE, "starting '" + command_ + "'");
  PROCESS_INFORMATION info = {};
  // Suspended, so that neither it nor anything it starts runs before it is in the job. No handle is
  // inherited: a caller's inheritable handles (another child's redirected pipes) must not stay open
  // for as long as the capture runs.
  const DWORD flags = job != nullptr ? CREATE_SUSPENDED : 0;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startupInfo,
                      &info)) {
    velmar::win::throwLastError("CreateProcess");
  }
  beforeClose_ = std::move(beforeClose);
  process_.reset(info.hProcess);
  velmar::win::UniqueHandle thread(info.hThread);
  processId_ = info.dwProcessId;
  if (job != nullptr) {
    // A process that never runs must not stay behind suspended when a step below fails.
    velmar::win::ScopeExit terminate([this] { TerminateProcess(process_.get(), DEV_ERR_INTERNAL_APP); });
    inJob_ = job->assign(process_.get());
    if (beforeResume) beforeResume(processId_);
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) velmar::win::throwLastError("ResumeThread");
    terminate.release();
  }
  if (!CloseHandle(thread.release())) velmar::win::throwLastError("CloseHandle");
  started_ = true;
}

bool Child::waitFor(std::chrono::milliseconds limit) {
  if (!started_ || !process_) throw std::runtime_error("invalid state for wait, child must be started");
  if (ended_) return true;
  hostLog(LOG_TRACE, "waiting for child...");
  const auto count = limit.count();
  const DWORD milliseconds = count >= static_cast<long long>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(count);
  const DWORD woke = WaitForSingleObject(process_.get(), milliseconds);
  if (woke == WAIT_TIMEOUT) return false;
  if (woke == WAIT_FAILED) velmar::win::throwLastError("WaitForSingleObject");
  if (!GetExitCodeProcess(process_.get(), &exitCode_)) velmar::win::throwLastError("GetExitCodeProcess");
  hostLog(LOG_TRACE, "child exit code is " + std::to_string(exitCode_));
  ended_ = true;
  return true;
}

void Child::terminate(UINT code) noexcept {
  if (process_) TerminateProcess(process_.get(), code);
}

void Child::close() noexcept {
  if (!process_) return;
  if (beforeClose_) beforeClose_();
  beforeClose_ = nullptr;
  process_.reset();
  if (ended_) {
    hostLog(LOG_TRACE, "child is closed");
    closed_ = true;
  }
}

void Child::wait() {
  if (!started_) throw std::runtime_error("invalid state for wait, child must be started");
  if (!process_) throw std::runtime_error("invalid state for wait, child is closed");
  while (!waitFor(std::chrono::hours(1))) {
  }
  close();
}
