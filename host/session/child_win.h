// child_win.h: runs the capture application from a ready command line and collects its exit code.
// Used from the session's thread only.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "capture_command.h"
#include "win/unique_handle.h"

class CaptureJob;

class Child {
 public:
  // command is read in the ANSI code page or as UTF-8, as text says.
  explicit Child(std::string command, CommandText text = CommandText::kAnsi);
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { close(); }

  // Creates the process, its window shown. It inherits no handle of ours (it opens the pipes by
  // name). A command line longer than 1023 UTF-16 units fails before any process is created. With a
  // job, the process is created suspended, put into the job, handed to beforeResume with its id and
  // only then let run; whether it got into the job is inJob(). beforeClose runs before the process
  // handle is closed, on every path, so whoever knows the id can forget it while no other process
  // can have it.
  void start(CaptureJob* job = nullptr, const std::function<void(DWORD processId)>& beforeResume = nullptr,
             std::function<void()> beforeClose = nullptr);
  // Waits up to limit for the process to end; true, with its exit code read, when it has ended.
  bool waitFor(std::chrono::milliseconds limit);
  // Ends the process with code (a child that hangs and could not be put into a job).
  void terminate(UINT code) noexcept;
  // Forgets the process (beforeClose) and closes its handle; sets closed() once it had ended.
  void close() noexcept;
  // Blocks without a time limit until the process has ended, reads its exit code, closes it.
  void wait();

  bool started() const noexcept { return started_; }
  bool closed() const noexcept { return closed_; }
  DWORD exitCode() const noexcept { return exitCode_; }
  DWORD processId() const noexcept { return processId_; }
  bool inJob() const noexcept { return inJob_; }

 private:
  bool started_ = false;
  bool ended_ = false;
  bool closed_ = false;
  DWORD exitCode_ = 0;
  std::string command_;
  CommandText text_;
  velmar::win::UniqueHandle process_;
  std::function<void()> beforeClose_;
  DWORD processId_ = 0;
  bool inJob_ = false;
};
