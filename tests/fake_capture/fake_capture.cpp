// fake_capture.cpp: a scripted stand-in for a capture application, for the host's session tests.
// It takes the host's command line (-p response pipe, -bp image pipe, -lci message) and follows a
// script of blank-separated steps, taken from the message when it starts with "script:", else from the
// environment variable VELMAR_FAKE_CAPTURE:
//   wait=MS          sleep before anything else
//   crash            end by an access violation before touching the pipes
//   wsq=WHAT bmp=WHAT   what goes into each pipe: none (never opened), empty (opened and closed),
//                    byte:N (one byte), gen:SIZE:SEED (fake_capture::payload), file:PATH
//   exit=N           the process exit code (default 0)
//   wrap             be a wrapper: start this program again with the same command line (the copy
//                    follows the rest of the script), wait for it and exit with its code
//   linger           first start a copy that only sleeps a minute, and write its process id to the
//                    file named by VELMAR_FAKE_LINGER_PID_FILE
//   detach           be a wrapper that starts this program again (the copy follows the rest of the
//                    script), writes the copy's process id to VELMAR_FAKE_LINGER_PID_FILE and exits 0
//                    at once
//   hold             keep the response pipe open after writing it, sleeping ten minutes (a detaching
//                    wrapper exits once its copy holds the pipe)
//   window           show a window instead of delivering at once, as the capture applications do:
//                    closing it (WM_CLOSE) sends the byte 208 to both pipes and exits 208; after a
//                    minute without that it sends 203 and exits 203
// With VELMAR_FAKE_ARGV_FILE set, it first writes its argument vector there, one UTF-8 line each; with
// VELMAR_FAKE_PID_FILE set, its process id.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "payload.h"

namespace {

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring environment(const wchar_t* name) {
  wchar_t buffer[4096];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 4096);
  return n > 0 && n < 4096 ? std::wstring(buffer, n) : std::wstring();
}

std::vector<std::uint8_t> content(const std::string& what) {
  if (what.rfind("byte:", 0) == 0) return {static_cast<std::uint8_t>(std::stoi(what.substr(5)))};
  if (what.rfind("gen:", 0) == 0) {
    const std::size_t colon = what.find(':', 4);
    return fake_capture::payload(std::stoul(what.substr(4, colon - 4)), std::stoul(what.substr(colon + 1)));
  }
  if (what.rfind("file:", 0) == 0) {
    std::ifstream in(what.substr(5), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  return {};
}

std::wstring ownPath() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

// Starts this program with the given command line; the process handle, or null.
HANDLE startCopy(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::fprintf(stderr, "fake_capture: cannot start a copy, error %lu\n", GetLastError());
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

int wrapCopy() {
  SetEnvironmentVariableW(L"VELMAR_FAKE_WRAPPED", L"1");  // the copy does not wrap again
  HANDLE copy = startCopy(GetCommandLineW());
  if (copy == nullptr) return 90;
  WaitForSingleObject(copy, INFINITE);
  DWORD code = 90;
  GetExitCodeProcess(copy, &code);
  CloseHandle(copy);
  return static_cast<int>(code);
}

void writePidFile(HANDLE process) {
  std::ofstream(environment(L"VELMAR_FAKE_LINGER_PID_FILE").c_str()) << GetProcessId(process) << '\n';
}

constexpr wchar_t kHeldEvent[] = L"VELMAR_FAKE_HELD_EVENT";

int detachCopy() {
  SetEnvironmentVariableW(L"VELMAR_FAKE_WRAPPED", L"1");
  SetEnvironmentVariableW(L"VELMAR_FAKE_PID_FILE", nullptr);  // that file names the wrapper
  // Signalled by a holding copy once it holds the pipe; named per wrapper.
  const std::wstring heldName = L"fake_capture_held_" + std::to_wstring(GetCurrentProcessId());
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, heldName.c_str());
  SetEnvironmentVariableW(kHeldEvent, heldName.c_str());
  HANDLE copy = startCopy(GetCommandLineW());
  if (copy == nullptr) return 90;
  writePidFile(copy);
  HANDLE waits[2] = {held, copy};
  WaitForMultipleObjects(2, waits, FALSE, 30000);
  CloseHandle(copy);
  CloseHandle(held);
  return 0;
}

void startLingering() {
  SetEnvironmentVariableW(L"VELMAR_FAKE_ARGV_FILE", nullptr);  // ours is written; the copy keeps out of it
  HANDLE copy = startCopy(L"\"" + ownPath() + L"\" -lci \"script:wait=60000\"");
  if (copy == nullptr) return;
  writePidFile(copy);
  CloseHandle(copy);
}

// Writes the way the capture applications do: pieces of at most 4096 bytes, flush, close (or, with
// hold, keep the pipe open for ten minutes).
void deliver(const std::wstring& pipe, const std::string& what, bool hold = false) {
  if (what.empty() || what == "none" || pipe.empty()) return;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && h == INVALID_HANDLE_VALUE; ++attempt) {
    h = CreateFileW(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) Sleep(20);
  }
  if (h == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "fake_capture: cannot open pipe, error %lu\n", GetLastError());
    return;
  }
  const std::vector<std::uint8_t> bytes = content(what);
  for (std::size_t at = 0; at < bytes.size();) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(4096, bytes.size() - at));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + at, piece, &written, nullptr)) break;
    at += written;
  }
  FlushFileBuffers(h);
  if (hold) {
    if (HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, environment(kHeldEvent).c_str())) {
      SetEvent(held);
      CloseHandle(held);
    }
    Sleep(600000);
  }
  CloseHandle(h);
}

std::wstring windowWsqPipe, windowBmpPipe;
int windowResult = 203;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || message == WM_TIMER) {
    windowResult = message == WM_CLOSE ? 208 : 203;
    const std::string code = "byte:" + std::to_string(windowResult);
    deliver(windowWsqPipe, code);
    deliver(windowBmpPipe, code);
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A shown top-level window that answers its closing the way the capture applications do.
int runWindow(const std::wstring& wsqPipe, const std::wstring& bmpPipe) {
  windowWsqPipe = wsqPipe;
  windowBmpPipe = bmpPipe;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"fake_capture_window";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"fake capture", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 91;
  ShowWindow(window, SW_SHOW);
  SetTimer(window, 1, 60000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return windowResult;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
  const std::wstring argvFile = environment(L"VELMAR_FAKE_ARGV_FILE");
  if (!argvFile.empty()) {
    std::ofstream out(argvFile.c_str(), std::ios::binary);
    for (int i = 0; i < argc; ++i) out << utf8(argv[i]) << '\n';
  }
  const std::wstring pidFile = environment(L"VELMAR_FAKE_PID_FILE");
  if (!pidFile.empty()) std::ofstream(pidFile.c_str()) << GetCurrentProcessId() << '\n';
  std::wstring wsqPipe, bmpPipe, message;
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring option = argv[i];
    if (option == L"-p") wsqPipe = argv[i + 1];
    if (option == L"-bp") bmpPipe = argv[i + 1];
    if (option == L"-lci") message = argv[i + 1];
  }
  std::string script = utf8(message.rfind(L"script:", 0) == 0 ? message.substr(7) : environment(L"VELMAR_FAKE_CAPTURE"));

  std::string wsq, bmp;
  int exitCode = 0;
  bool crash = false, hold = false, window = false;
  const bool wrapped = !environment(L"VELMAR_FAKE_WRAPPED").empty();
  std::istringstream steps(script);
  for (std::string step; steps >> step;) {
    if (step == "wrap" && !wrapped) return wrapCopy();
    if (step == "detach" && !wrapped) return detachCopy();
    if (step == "hold") hold = true;
    if (step == "window") window = true;
    if (step == "linger") startLingering();
    if (step.rfind("wait=", 0) == 0) Sleep(static_cast<DWORD>(std::stoul(step.substr(5))));
    if (step == "crash") crash = true;
    if (step.rfind("wsq=", 0) == 0) wsq = step.substr(4);
    if (step.rfind("bmp=", 0) == 0) bmp = step.substr(4);
    if (step.rfind("exit=", 0) == 0) exitCode = std::stoi(step.substr(5));
  }
  if (crash) {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
  }
  if (window) return runWindow(wsqPipe, bmpPipe);
  deliver(wsqPipe, wsq, hold);
  deliver(bmpPipe, bmp);
  return exitCode;
}
