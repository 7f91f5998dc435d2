// impersonation_probe_win.h: a one-client pipe server that, once it has read what the client wrote,
// impersonates the client and records the level the client allowed. Header-only; Windows tests only.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

#include "win/unique_handle.h"

namespace velmar::testing {

// The level a pipe client allowed, or -1 when the server could not impersonate it at all.
class ImpersonationProbe {
 public:
  explicit ImpersonationProbe(const std::wstring& name)
      : pipe_(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT,
                               1, 0, 1024, 0, nullptr)) {
    thread_ = std::thread([this] {
      if (!ConnectNamedPipe(pipe_.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
      char buffer[1024];
      DWORD got = 0;
      // Impersonation needs data read first; the client flushes, so one read serves.
      if (!ReadFile(pipe_.get(), buffer, sizeof buffer, &got, nullptr) || !ImpersonateNamedPipeClient(pipe_.get())) return;
      HANDLE token = nullptr;
      if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        SECURITY_IMPERSONATION_LEVEL value = SecurityAnonymous;
        DWORD size = 0;
        if (GetTokenInformation(token, TokenImpersonationLevel, &value, sizeof value, &size)) level_ = value;
        CloseHandle(token);
      }
      RevertToSelf();
      while (ReadFile(pipe_.get(), buffer, sizeof buffer, &got, nullptr)) {
      }
    });
  }
  ~ImpersonationProbe() {
    if (thread_.joinable()) thread_.join();
  }
  ImpersonationProbe(const ImpersonationProbe&) = delete;
  ImpersonationProbe& operator=(const ImpersonationProbe&) = delete;

  bool serving() const { return static_cast<bool>(pipe_); }
  // Waits for the client to finish; the level it allowed.
  int level() {
    if (thread_.joinable()) thread_.join();
    return level_;
  }

  // What a bare client opening with identification only is given here: above SecurityIdentification
  // means the platform ignores the request (Wine does), and no client's level proves anything.
  static int platformLevelForIdentification(const std::wstring& name) {
    ImpersonationProbe probe(name);
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    DWORD written = 0;
    WriteFile(h, "x", 1, &written, nullptr);
    FlushFileBuffers(h);
    CloseHandle(h);
    return probe.level();
  }

 private:
  velmar::win::UniqueHandle pipe_;
  std::thread thread_;
  int level_ = -1;
};

}  // namespace velmar::testing
