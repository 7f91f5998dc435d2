// main.cpp: GUI entry of velmar-capture-b: command line, required version, single-instance guard, the
// modal capture dialog, and the process exit code (the capture's result code). Start-up runs on the
// main thread before any other thread of the program exists.
#define _CRT_RAND_S  // rand_s: the C runtime's cryptographic random source
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app_state_win.h"
#include "capture_dialog_win.h"
#include "capture_log_win.h"
#include "device_session_win.h"
#include "log_line.h"
#include "pipe_client_win.h"
#include "resource.h"
#include "result_codes.h"
#include "version_check.h"
#include "win/unique_handle.h"
#include "win/user_folders.h"

namespace capture_b {
namespace {

// Set at start when the log went to the user's folder; otherwise it follows the working directory.
bool logInUserFolder = false;

// The command line's effects outside the settings record.
class WinCommandLineEnv : public CommandLineEnv {
 public:
  void setLogLevel(int level) override { captureLog().setLevel(level); }
  void setMessageBoxMode(bool on) override { captureLog().setMessageBoxMode(on); }
  void debug(const std::wstring& line, const std::wstring& unformatted) override {
    captureLog().write(fittedLogMessage(line, unformatted), LOG_LEVEL_DEBUG, true);
  }

  // The directory becomes the process's current directory. The log stays in the user's folder (or,
  // without one, moves into the directory) and gets a bare line break.
  void setWorkingDirectoryFrom(const std::wstring& path) override {
    CaptureLog& log = captureLog();
    const std::wstring dir = directoryOfPath(path).substr(0, kWorkingDirChars);
    runSettings().workingDirectory = dir;
    if (!logInUserFolder) log.relocate(dir);
    log.write(L"\r\n", LOG_LEVEL_ERROR, false);
    if (SetCurrentDirectoryW(dir.c_str())) {
      log.info(L"Directorio de trabajo: '%ls'", dir.c_str());
    } else {
      log.errorBox(L"No se pudo establecer directorio de trabajo.");
    }
  }
};

uint32_t randomValue() {
  unsigned int value = 0;
  rand_s(&value);
  return value;
}

int earlyExit(int32_t code) {
  captureLog().info(L"Finalizando con código %d", code);
  sendErrorResult(runSettings().wsqPipeName, code);
  return code;
}

bool requiredVersionMet(const RunSettings& s) {
  CaptureLog& log = captureLog();
  if (s.requiredVersion.empty()) {
    log.info(L"No se ha enviado una versión requerida.");
    return true;
  }
  if (!versionSatisfies(s.currentVersion, s.requiredVersion)) {
    log.error(L"Versión requerida (%ls) NO es compatible con versión actual (%ls).", s.requiredVersion.c_str(),
              s.currentVersion.c_str());
    return false;
  }
  log.info(L"Versión requerida (%ls) es compatible con versión actual (%ls).", s.requiredVersion.c_str(),
           s.currentVersion.c_str());
  return true;
}

// Read after the command line and then not used: the converter always gets the bit rate 0.75.
void readConfigFile() {
  wchar_t bitsPerPixel[64] = {};
  GetPrivateProfileStringW(L"config", L"appWsqBitsPerPixel", L"0.75", bitsPerPixel, 64, L".\\config.ini");
}

int run(HINSTANCE instance) {
  CaptureLog& log = captureLog();
  RunSettings& settings = runSettings();
  settings.currentVersion = L"1.0";

  std::vector<std::wstring> args;
  for (int i = 0; i < __argc && __wargv; ++i) args.emplace_back(__wargv[i] ? __wargv[i] : L"");
  WinCommandLineEnv env;
  if (!readCommandLine(args, settings, env, randomValue)) return earlyExit(DEV_ERR_INTERNAL_APP);
  readConfigFile();
  if (!requiredVersionMet(settings)) return earlyExit(DEV_ERR_OUTDATED_APP);

  const std::wstring mutexName = (L"VELMAR-CAPTURE-B-" + settings.currentVersion).substr(0, 63);
  velmar::win::UniqueHandle mutex(CreateMutexW(nullptr, TRUE, mutexName.c_str()));
  if (!mutex) {
    log.logSystemError(L"CreateMutex");
  } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
    log.errorBox(
        L"Ya hay una instancia de la aplicación ejecutándose. Sólo se puede ejecutar una instancia de la "
        L"aplicación a la vez.");
    return earlyExit(DEV_ERR_ALREADY_RUNNING);
  }

  log.debug(L"Starting GUI...");
  GuiDescriptor& gui = guiDescriptor();
  gui.dialog = nullptr;
  gui.onInit = onGuiInitCallback;
  gui.onCancel = onGuiCancelCallback;
  gui.onClose = onGuiCloseCallback;
  gui.onCapture = onGuiCaptureCallback;
  gui.messageLabelId = IDC_MESSAGE_LABEL;
  gui.statusLabelId = IDC_STATUS_LABEL;
  gui.imageFrameId = IDC_IMAGE_FRAME;

  if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CAPTURE), GetDesktopWindow(), captureDialogProc, 0) == -1) {
    log.logSystemError(L"DialogBox");
  }
  stopTimeoutWatch();

  if (mutex) {
    if (!ReleaseMutex(mutex.get())) log.logSystemError(L"ReleaseMutex");
    if (!CloseHandle(mutex.release())) log.logSystemError(L"CloseHandle");
  }
  const int32_t code = exitCode();
  log.info(L"Finalizando con código %d", code);
  return code;
}

}  // namespace
}  // namespace capture_b

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The log is ready before anything else runs, where a standard user may write (without that folder,
  // in the working directory).
  const std::wstring logFolder = velmar::win::programDataFolder(L"velmar-capture-b");
  if (!logFolder.empty()) {
    capture_b::captureLog().relocate(logFolder + L"\\");
    capture_b::logInUserFolder = true;
  }
  return capture_b::run(instance);
}
