#include "back_pressure.h"

namespace velmar::log4z {

int backPressureDelay(std::size_t queueLength) {
  if (queueLength <= kBackPressureThreshold) return 0;
  const std::size_t over = queueLength - kBackPressureThreshold;
  // Compare before multiplying: a huge length must not overflow into a small delay.
  if (over >= kBackPressureThreshold) return 100;
  return static_cast<int>(over * 100 / kBackPressureThreshold);
}

}  // namespace velmar::log4z
