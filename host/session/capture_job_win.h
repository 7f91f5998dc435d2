// capture_job_win.h: the job object of one capture session. The capture application is put into it
// before it runs, so it and every process it starts are members; closing the job (at the end of the
// session) ends whatever of them still runs. Membership is read from any thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "win/unique_handle.h"

class CaptureJob {
 public:
  // Creates the job with kill-on-close. A failure leaves the job unusable and keeps its text.
  CaptureJob();
  CaptureJob(const CaptureJob&) = delete;
  CaptureJob& operator=(const CaptureJob&) = delete;

  bool usable() const noexcept { return static_cast<bool>(job_); }
  // Why the job cannot be used ("CreateJobObject failed with 5", "AssignProcessToJobObject failed
  // with 5"); empty while it can.
  const std::string& failure() const noexcept { return failure_; }

  // Puts a process (created suspended) into the job. False, with failure() set, when the job cannot
  // be had, for example when the host already runs in a job that forbids nesting (Windows 7).
  bool assign(HANDLE process);
  // The process is a live member of the job (false once the job is closed).
  bool contains(DWORD processId) const;
  // How many of its processes still run; -1 when that cannot be known (no job, or the query fails).
  long activeProcesses() const;
  // Closes the job, which ends every process still in it. Later calls do nothing.
  void close() noexcept;

 private:
  mutable std::mutex lock_;  // guards job_ against close() while a reader thread asks contains()
  velmar::win::UniqueHandle job_;
  std::string failure_;  // session thread only
  std::atomic<bool> assigned_{false};  // set by the session thread, read by the reader threads
};
