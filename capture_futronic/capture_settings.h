// capture_settings.h: the settings of one velmar-capture-a run and the command-line parser that fills
// them. Written by parseCommandLine on the main thread before any other thread exists; read only
// afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SimpleLogger {
class Log;
}

namespace one {

struct CaptureSettings {
  explicit CaptureSettings(SimpleLogger::Log* log = nullptr) : log(log) {}

  SimpleLogger::Log* log;           // where the settings' messages go; none when null
  int32_t timeoutMs = 20000;        // -t, clamped to 5000..30000
  int32_t threshold = 200;          // the Futronic manager replaces it with 210
  int32_t fill = 255;               // background grey
  int32_t minFingerArea = 25000;    // start-up replaces it with 30000
  int32_t outputWidth = 512;
  int32_t outputHeight = 512;
  std::wstring wsqPipeName = L"\\\\.\\pipe\\wsq";  // -p
  std::wstring bmpPipeName = L"\\\\.\\pipe\\bmp";  // -bp
  std::wstring dOptionValue;        // -d: stored and logged only
  std::wstring labelTitle;          // -lt, --label-title
  std::wstring labelStatus;         // -ls, --label-status
  std::wstring labelNotice;         // -ln, --label-notice
  bool hideTitleBar = false;        // -h, --hide-title-bar
};

// Bounds of -t, in milliseconds.
constexpr int32_t MIN_TIMEOUT_MS = 5000;
constexpr int32_t MAX_TIMEOUT_MS = 30000;

// Reads a decimal integer the way the C runtime's wide atoi does: leading blanks, an optional sign,
// digits; trailing text is ignored and text without digits reads as 0. Values beyond 32 bits are
// clamped to the 32-bit range.
int32_t readDecimal(const std::wstring& text);

// Fills settings from the argument vector (args[0] is the program path). Options are matched exactly;
// an option with a value takes the next argument whatever it looks like and is ignored when it stands
// last; anything else is skipped by itself. `-v 0..8` adds the extra log file to settings.log. Each
// processed option writes a DBG line. Returns false only when there is no argument besides the path.
bool parseCommandLine(CaptureSettings& settings, const std::vector<std::wstring>& args);

}  // namespace one
