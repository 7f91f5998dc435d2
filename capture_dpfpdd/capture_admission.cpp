#include "capture_admission.h"

#include "result_codes.h"

namespace capture_b {

Admission CaptureAdmission::admit(std::int32_t code, int& ignoredCancels) {
  ignoredCancels = ignoredCancels_.load();
  if (!closing_.exchange(true)) return Admission::First;
  if (code == DEV_ERR_CANCELLED) ignoredCancels = ignoredCancels_.fetch_add(1);
  if (delivered_) return Admission::AfterDelivery;
  if (code != DEV_ERR_CANCELLED) return Admission::Ignored;
  return ignoredCancels + 1 <= 3 ? Admission::Ignored : Admission::ForcedCancel;
}

}  // namespace capture_b
