// gather_facts_win.cpp: the host's own file and folder, then every probe in report order.
#include "gather_facts_win.h"

#include <windows.h>

#include "app_inspection_win.h"
#include "jpeg_probe_win.h"
#include "log_probe_win.h"
#include "pipe_probe_win.h"
#include "running_probe_win.h"
#include "system_probe_win.h"
#include "version_resource_win.h"

namespace {

// The file of the module this code is linked into (velmar-device.exe, or the host library), whose
// folder is the top of the installed tree.
std::wstring thisModulePath() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&thisModulePath), &module);
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(module, buffer, sizeof buffer / sizeof buffer[0]);
  return n == 0 || n >= sizeof buffer / sizeof buffer[0] ? std::wstring() : std::wstring(buffer, n);
}

bool isFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The top of the installed tree: the host's folder, or its parent for the 32-bit host in x86/, which
// starts the same capture applications.
std::wstring installationFolder(const std::wstring& module) {
  const std::wstring folder = folderOf(module);
  const std::wstring parent = folderOf(folder);
  if (!isFolder(folder + L"\\capture") && isFolder(parent + L"\\capture")) return parent;
  return folder;
}

}  // namespace

DiagnosticFacts gatherDiagnosticFacts() {
  DiagnosticFacts facts;
  const std::wstring module = thisModulePath();
  facts.version = readVersionResource(module).productVersion;
  facts.host = probeHost();
  facts.apps = inspectCaptureApps(installationFolder(module));
  facts.running = probeRunningCaptures();
  facts.pipes = probePipes();
  facts.jpeg = probeJpeg();
  facts.logs = probeLogs();
  return facts;
}
