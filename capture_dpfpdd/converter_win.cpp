// converter_win.cpp: the external WSQ converter process.
#include "converter_win.h"

#include <vector>

#include "capture_log_win.h"
#include "win/unique_handle.h"

namespace capture_b {

ConverterRun runConverter(const std::wstring& commandLine, DWORD limitMs, DWORD& exitCode,
                          const std::function<void()>& started) {
  exitCode = 0;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');  // CreateProcessW may write into the command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &info)) {
    captureLog().logSystemError(L"CreateProcess");
    return ConverterRun::NotStarted;
  }
  velmar::win::UniqueHandle process(info.hProcess), thread(info.hThread);
  if (started) started();
  if (WaitForSingleObject(process.get(), limitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
    return ConverterRun::TimedOut;
  }
  if (!GetExitCodeProcess(process.get(), &exitCode)) exitCode = static_cast<DWORD>(-1);
  return ConverterRun::Ended;
}

}  // namespace capture_b
