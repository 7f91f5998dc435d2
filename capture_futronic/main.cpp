// main.cpp: GUI entry of velmar-capture-a: start-up in its fixed order, one window with one capture,
// shut-down, and the result code as the exit code. Window (main) thread.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "capture_settings.h"
#include "dermis_resources_win.h"
#include "fingerprint_window.h"
#include "futronic_manager.h"
#include "message_loop.h"
#include "process_instance.h"
#include "read_file.h"
#include "result_codes.h"
#include "simple_logger.h"
#include "win/user_folders.h"

namespace {

const wchar_t* const kAppName = L"Futronic";

// Makes the executable's folder the working directory; left as it is if the path cannot be read.
void enterExecutableFolder() {
  wchar_t path[1024];
  const DWORD n = GetModuleFileNameW(nullptr, path, 1024);
  if (n == 0 || n >= 1024) return;
  wchar_t drive[_MAX_DRIVE];
  wchar_t dir[_MAX_DIR];
  if (_wsplitpath_s(path, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0) != 0) return;
  const std::wstring folder = std::wstring(drive) + dir;
  SetCurrentDirectoryW(folder.c_str());
}

std::vector<std::wstring> commandLineArguments() {
  std::vector<std::wstring> args;
  for (int i = 0; i < __argc; ++i) args.emplace_back(__wargv[i]);
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  one::DermisResources::instance(instance);
  enterExecutableFolder();

  // The logs go where a standard user may write; the working directory (the install folder) is only
  // read from. Without that folder they stay in the working directory.
  SimpleLogger::Log log(kAppName);
  log.setFolder(velmar::win::programDataFolder(L"velmar-capture-a"));
  log.open(kAppName, L".log", false);
  log.info(L"-iniciando-");

  Futronic::FutronicManager manager(&log);
  one::parseCommandLine(manager.settings, commandLineArguments());
  manager.settings.minFingerArea = 30000;

  Util::Process::Instance guard(kAppName);
  if (guard.alreadyRunning()) {
    log.error(L"Ya hay una instancia de la aplicaci\u00f3n ejecut\u00e1ndose. S\u00f3lo se puede ejecutar una "
              L"instancia de la aplicaci\u00f3n a la vez.");
    manager.resultCode = DEV_ERR_ALREADY_RUNNING;
    manager.writeResults();
    guard.release();
    return DEV_ERR_ALREADY_RUNNING;
  }

  {
    one::FingerprintWindow window(instance, &log);
    window.attach(&manager);
    if (window.create(manager.settings.labelTitle.c_str())) {
      window.setCenterText(L"D E M O");
      std::vector<std::uint8_t> logo;
      if (one::readFile(L"logo.bmp", logo)) window.picture.setBitmapFile(logo);
      win_ui::runMessageLoop();
    }
    guard.release();
    log.info(L"-finalizando con %d-", static_cast<int>(manager.resultCode));
    manager.waitForWorkers();  // they may still touch the window
  }
  return manager.resultCode;
}
