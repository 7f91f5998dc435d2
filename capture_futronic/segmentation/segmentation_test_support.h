// segmentation_test_support.h: a log that records the segmentation's lines, and small frames built from
// rectangles. Test code only.
#pragma once

#include <cstdarg>
#include <cwchar>
#include <string>
#include <vector>

#include "gray_image.h"
#include "segmentation_log.h"

namespace segmentation::testing {

// Records "DBG <text>", "ERR <text>" and "SYS <operation>".
class RecordingLog : public SegmentationLog {
 public:
  void vdebug(const wchar_t* format, va_list args) override { lines.push_back(L"DBG " + format_(format, args)); }
  void verror(const wchar_t* format, va_list args) override { lines.push_back(L"ERR " + format_(format, args)); }
  void systemError(const wchar_t* operation) override { lines.push_back(std::wstring(L"SYS ") + operation); }

  bool has(const std::wstring& line) const {
    for (const auto& l : lines)
      if (l == line) return true;
    return false;
  }
  size_t countPrefix(const std::wstring& prefix) const {
    size_t n = 0;
    for (const auto& l : lines) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
  }

  std::vector<std::wstring> lines;

 private:
  static std::wstring format_(const wchar_t* format, va_list args) {
    wchar_t buffer[4096];
    const int n = std::vswprintf(buffer, 4096, format, args);
    return n < 0 ? std::wstring(L"<format failed>") : std::wstring(buffer, static_cast<size_t>(n));
  }
};

struct Rect {
  int x, y, w, h;
  uint8_t value = 0;
};

// A light frame (value 255) with dark rectangles.
inline GrayImage frameWith(int width, int height, const std::vector<Rect>& rects, uint8_t light = 255) {
  GrayImage image(width, height, light);
  for (const auto& r : rects)
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x) image.at(x, y) = r.value;
  return image;
}

}  // namespace segmentation::testing
