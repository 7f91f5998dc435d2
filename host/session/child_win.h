// child_win.h: runs the capture application from a ready command line and collects its exit code.
// Used from the session's thread only.
#pragma once

#include <windows.h>

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

  // Creates the process, its window shown. A command line longer than 1023 UTF-16 units fails before
  // any process is created. With a job, the process is created suspended, put into the job, handed to
  // beforeResume with its id and only then let run; whether it got into the job is inJob().
  void start(CaptureJob* job = nullptr, const std::function<void(DWORD processId)>& beforeResume = nullptr);
  // Blocks without a time limit until the process has ended, then reads its exit code.
  void wait();

  bool started() const noexcept { return started_; }
  bool closed() const noexcept { return closed_; }
  DWORD exitCode() const noexcept { return exitCode_; }
  DWORD processId() const noexcept { return processId_; }
  bool inJob() const noexcept { return inJob_; }

 private:
  bool started_ = false;
  bool closed_ = false;
  DWORD exitCode_ = 0;
  std::string command_;
  CommandText text_;
  velmar::win::UniqueHandle process_;  // closed here if a failure leaves the child unwaited
  DWORD processId_ = 0;
  bool inJob_ = false;
};
