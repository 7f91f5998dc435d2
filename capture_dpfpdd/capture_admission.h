// capture_admission.h: which outcomes the result processing takes, and that the first delivered result
// is final. The first outcome is admitted; later ones are ignored, except that the fourth cancellation
// that arrives while the first is still being processed is admitted too (a user who keeps pressing
// Cancel ends a processing that hangs). Whichever admitted outcome claims the delivery first is the one
// delivered; once a result has gone out, nothing is admitted any more and no second claim succeeds, so
// no later cancel (holding Escape repeats it during the closing second) can change the exit code or
// write a second result. Portable; any thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace capture_b {

enum class Admission {
  First,          // the first outcome: process it
  ForcedCancel,   // the fourth cancellation during processing: process it as well
  Ignored,        // a later outcome while the first is processed
  AfterDelivery,  // anything once a result has been delivered
};

class CaptureAdmission {
 public:
  // `ignoredCancels` gets the number of cancellations ignored before this one (for the log). Every
  // later outcome counts as ignored, a delivered result only makes the answer AfterDelivery.
  Admission admit(std::int32_t code, int& ignoredCancels);
  // True for exactly one caller: the one whose result goes out.
  bool claimDelivery() { return !delivered_.exchange(true); }
  bool delivered() const { return delivered_.load(); }

 private:
  std::atomic<bool> closing_{false};
  std::atomic<int> ignoredCancels_{0};
  std::atomic<bool> delivered_{false};
};

}  // namespace capture_b
