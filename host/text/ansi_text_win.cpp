#include "ansi_text_win.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

#include "utf8.h"
#include "win/last_error.h"

namespace {

std::wstring fitting(std::wstring wide, const char* what) {
  if (wide.size() >= kWideBufferUnits) {
    throw std::runtime_error(std::string(what) + " does not fit 1024 UTF-16 units");
  }
  return wide;
}

}  // namespace

std::wstring ansiToWide(const std::string& text, const char* what) {
  std::wstring wide;
  if (!text.empty()) {
    const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) velmar::win::throwLastError("MultiByteToWideChar");
    wide.resize(static_cast<std::size_t>(units));
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), units) != units) {
      velmar::win::throwLastError("MultiByteToWideChar");
    }
  }
  return fitting(std::move(wide), what);
}

std::wstring utf8ToWide(const std::string& text, const char* what) {
  std::u16string units;
  try {
    units = utf8ToUtf16(text);
  } catch (const std::logic_error&) {
    throw std::runtime_error(std::string(what) + " is not UTF-8");
  }
  return fitting(std::wstring(units.begin(), units.end()), what);
}
