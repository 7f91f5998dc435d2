#include "serve_win.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "allowed_origins.h"
#include "host_log.h"
#include "http_service_win.h"
#include "serve_options.h"
#include "win/unique_handle.h"
#include "win/utf8_wide.h"

namespace {

std::atomic<HttpService*> runningService{nullptr};
HANDLE serviceEnded = nullptr;  // set once run() has returned; lives as long as the process

std::wstring programFolder() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// The file's bytes, or nothing when it does not exist or cannot be read.
std::string readSmallFile(const std::wstring& path) {
  velmar::win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (bytes.size() < (1u << 20) && ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

void say(const std::string& line) {
  std::fprintf(stderr, "velmar-device: %s\n", line.c_str());
  std::fflush(stderr);
}

BOOL WINAPI onConsoleEvent(DWORD event) {
  HttpService* service = runningService.load();
  if (!service) return FALSE;
  service->stop();
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // Closing the console, log-off and shut-down end the process when this returns: the service first
  // ends its capture and sends its answer, within the time the system gives.
  WaitForSingleObject(serviceEnded, 4500);
  return TRUE;
}

}  // namespace

int serveMain(const std::vector<std::wstring>& args) {
  std::vector<std::string> utf8;
  for (const std::wstring& arg : args) utf8.push_back(velmar::win::utf8FromWide(arg));
  ServeOptions options;
  try {
    options = readServeOptions(utf8);
  } catch (const ServeUsageError& e) {
    say(e.what());
    say("usage: velmar-device --serve [--port N] [--allow-origin ORIGIN]...");
    return 1;
  }

  const std::wstring folder = programFolder();
  ServicePolicy policy;
  policy.port = options.port;
  policy.allowedOrigins = options.origins;
  const OriginsText fromFile = readOriginsText(readSmallFile(folder + L"\\velmar-device-origins.txt"));
  for (const std::string& line : fromFile.refused) {
    say("velmar-device-origins.txt: not an origin, ignored: " + line);
    hostLog(LOG_WARN, "velmar-device-origins.txt: not an origin, ignored: " + line);
  }
  policy.allowedOrigins.insert(policy.allowedOrigins.end(), fromFile.origins.begin(), fromFile.origins.end());

  std::string allowed;
  for (const std::string& origin : policy.allowedOrigins) allowed += (allowed.empty() ? "" : " ") + origin;
  if (allowed.empty()) allowed = "none";

  HttpService service(policy, folder);
  try {
    service.listen();
  } catch (const ListenError& e) {
    say(e.what());
    hostLog(LOG_ERROR, std::string("http service not started: ") + e.what());
    return 1;
  }
  serviceEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  runningService = &service;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);

  const std::string serving = "serving http://127.0.0.1:" + std::to_string(policy.port) + "/v1/ (origins allowed: " + allowed + ")";
  hostLog(LOG_INFO, "http service " + serving);
  say(serving);
  service.run();
  hostLog(LOG_INFO, "http service stopped");
  runningService = nullptr;
  if (serviceEnded) SetEvent(serviceEnded);
  return 0;
}
