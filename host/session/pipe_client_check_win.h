// pipe_client_check_win.h: which processes may write a capture session's pipes: members of the
// session's job (the capture application and whatever it starts, so a wrapper that starts the real
// application works), or, where the job could not be had, the capture application's own process.
// Read by both reader threads, updated by the session thread.
#pragma once

#include <windows.h>

#include <atomic>

class CaptureJob;

class PipeClientCheck {
 public:
  explicit PipeClientCheck(const CaptureJob& job) : job_(job) {}
  PipeClientCheck(const PipeClientCheck&) = delete;
  PipeClientCheck& operator=(const PipeClientCheck&) = delete;

  // Called after the capture application was created and before it runs.
  void childCreated(DWORD processId) noexcept { childId_.store(processId); }
  // Called before the session closes its handle: from then on its process id may belong to another
  // process.
  void childEnded() noexcept { childId_.store(0); }

  bool accepts(DWORD processId) const;

 private:
  const CaptureJob& job_;
  std::atomic<DWORD> childId_{0};
};
