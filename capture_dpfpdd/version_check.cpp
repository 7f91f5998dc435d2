// version_check.cpp: plain code-unit comparison of version texts.
#include "version_check.h"

namespace capture_b {

int compareVersions(const std::wstring& a, const std::wstring& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    // Code units compared as unsigned 16-bit values, as the system's wide compare does.
    const unsigned ua = static_cast<unsigned>(a[i]) & 0xFFFFu, ub = static_cast<unsigned>(b[i]) & 0xFFFFu;
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace capture_b
