// back_pressure.h: how long a writing thread waits when the writer falls behind. Portable.
#pragma once

#include <cstddef>

namespace velmar::log4z {

// Queue length above which callers are slowed down.
constexpr std::size_t kBackPressureThreshold = 20000;

// c = (length - 20000) * 100 / 20000, at most 100; 0 at or below the threshold. A caller sleeps
// c milliseconds with a probability of c percent.
int backPressureDelay(std::size_t queueLength);

// The draw of one caller: true (sleep) when draw % 100 lies below c.
constexpr bool backPressureSleeps(int delay, unsigned draw) {
  return delay > 0 && static_cast<int>(draw % 100) < delay;
}

}  // namespace velmar::log4z
