// capture_executor_win.h: one capture session: two reader threads, the child, and the result taken
// from the response stream. Lives for one capture call; its threads never outlive run().
#pragma once

#include "biodevice.h"

class CaptureExecutor {
 public:
  // input must already be normalised (validateInput).
  CaptureExecutor(biodevice device, biodeviceInput input);

  // Runs the session. A failure to build the command line is thrown; any later run-time error is
  // logged as "Error in child: <text>" and gives exitCode 211, after both readers have been released
  // and joined.
  void run();

  biodeviceOutput& output() noexcept { return output_; }

 private:
  biodevice device_;
  biodeviceInput input_;
  biodeviceOutput output_;
};

// The body of the exported capture: names, normalisation, session, logging; never throws.
std::int32_t runCapture(const biodevice& device, const biodeviceInput& input, biodeviceOutput& output) noexcept;
