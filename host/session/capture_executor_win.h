// capture_executor_win.h: one capture session: two reader threads, the child, and the result taken
// from the response stream. Lives for one capture call; its threads never outlive run().
#pragma once

#include "biodevice.h"
#include "capture_command.h"

class CaptureExecutor {
 public:
  // input must already be normalised (validateInput); text says how its texts reach the child.
  CaptureExecutor(biodevice device, biodeviceInput input, CommandText text = CommandText::kAnsi);

  // Runs the session. A failure to build the command line is thrown; any later run-time error is
  // logged as "Error in child: <text>" and gives exitCode 211, after both readers have been released
  // and joined.
  void run();

  biodeviceOutput& output() noexcept { return output_; }

 private:
  biodevice device_;
  biodeviceInput input_;
  biodeviceOutput output_;
  CommandText text_;
};

// The body of the exported capture: names, normalisation, session, logging; never throws. The exported
// capture reads its 8-bit records in the ANSI code page; requests read as JSON pass kUtf8.
std::int32_t runCapture(const biodevice& device, const biodeviceInput& input, biodeviceOutput& output,
                        CommandText text = CommandText::kAnsi) noexcept;
