// capture_settings.cpp: velmar-capture-a's command line.
#include "capture_settings.h"

#include <climits>
#include <cwctype>

#include "simple_logger.h"

namespace one {

namespace {

constexpr int32_t kMaxExtraLogLevel = 8;

enum class Option { Verbose, Pipe, Timeout, DOption, BmpPipe, Title, Status, Notice, HideTitleBar, None };

Option optionOf(const std::wstring& arg) {
  // In the order the program compares them.
  if (arg == L"-v") return Option::Verbose;
  if (arg == L"-p") return Option::Pipe;
  if (arg == L"-t") return Option::Timeout;
  if (arg == L"-d") return Option::DOption;
  if (arg == L"-bp") return Option::BmpPipe;
  if (arg == L"-lt" || arg == L"--label-title") return Option::Title;
  if (arg == L"-ls" || arg == L"--label-status") return Option::Status;
  if (arg == L"-ln" || arg == L"--label-notice") return Option::Notice;
  if (arg == L"-h" || arg == L"--hide-title-bar") return Option::HideTitleBar;
  return Option::None;
}

}  // namespace

int32_t readDecimal(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) break;  // clamped below; no overflow
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

bool parseCommandLine(CaptureSettings& settings, const std::vector<std::wstring>& args) {
  if (args.size() < 2) return false;
  SimpleLogger::Log* log = settings.log;
  for (size_t i = 1; i < args.size(); ++i) {
    const Option option = optionOf(args[i]);
    if (option == Option::None) continue;
    if (option == Option::HideTitleBar) {
      settings.hideTitleBar = true;
      if (log) log->debug(L"Procesado: -h");
      continue;
    }
    if (i + 1 >= args.size()) continue;  // value missing: ignored
    const std::wstring& value = args[++i];
    switch (option) {
      case Option::Verbose: {
        const int32_t level = readDecimal(value);
        if (log && level >= 0 && level <= kMaxExtraLogLevel) log->addFile(L"", false, level);
        if (log) log->debug(L"Procesado: -v '%d'", level);
        break;
      }
      case Option::Pipe:
        settings.wsqPipeName = value;
        if (log) log->debug(L"Procesado: -p '%ls'", settings.wsqPipeName.c_str());
        break;
      case Option::Timeout: {
        const int32_t ms = readDecimal(value);
        settings.timeoutMs = ms < MIN_TIMEOUT_MS ? MIN_TIMEOUT_MS
                                                 : (ms > MAX_TIMEOUT_MS ? MAX_TIMEOUT_MS : ms);
        if (log) log->debug(L"Procesado: -t '%d'", ms);
        break;
      }
      case Option::DOption:
        settings.dOptionValue = value;
        if (log) log->debug(L"Procesado: -d '%ls'", value.c_str());
        break;
      case Option::BmpPipe:
        settings.bmpPipeName = value;
        if (log) log->debug(L"Procesado: -bp '%ls'", value.c_str());
        break;
      case Option::Title:
        settings.labelTitle = value;
        if (log) log->debug(L"Procesado: --label-title '%ls'", value.c_str());
        break;
      case Option::Status:
        settings.labelStatus = value;
        if (log) log->debug(L"Procesado: --label-status '%ls'", value.c_str());
        break;
      case Option::Notice:
        settings.labelNotice = value;
        if (log) log->debug(L"Procesado: --label-notice '%ls'", value.c_str());
        break;
      case Option::HideTitleBar:
      case Option::None:
        break;
    }
  }
  return true;
}

}  // namespace one
