// side_pipe_test.cpp: who may receive the side outputs (the server's user), and the identification-only
// open of every pipe velmar-capture-a writes.
#include "side_pipe.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "impersonation_probe_win.h"
#include "pipe_ipc_manager.h"
#include "pipe_server_user.h"
#include "simple_logger.h"
#include "testing/temp_dir.h"
#include "win/unique_handle.h"

namespace one {
namespace {

std::wstring uniquePipe(const wchar_t* what) {
  return L"\\\\.\\pipe\\velmar-capa-side-" + std::to_wstring(GetCurrentProcessId()) + L"-" + what;
}

TEST(PipeServerUser, ByProcess) {
  struct Case {
    const char* name;
    DWORD processId;
    ServerUser want;
  };
  const Case cases[] = {
      {"this process", GetCurrentProcessId(), ServerUser::Same},
      {"not told (0)", 0, ServerUser::Unknown},
      {"no such process", 0x7FFFFFF0, ServerUser::Other},  // unreadable: not trusted
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(processUser(c.processId), c.want);
  }
}

// One client's stream, collected until the client closes.
struct StreamServer {
  explicit StreamServer(const std::wstring& name)
      : pipe(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT, 1,
                              0, 1024, 0, nullptr)) {
    reader = std::thread([this] {
      if (!ConnectNamedPipe(pipe.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
      std::uint8_t buffer[1024];
      DWORD got = 0;
      while (ReadFile(pipe.get(), buffer, sizeof buffer, &got, nullptr)) bytes.insert(bytes.end(), buffer, buffer + got);
    });
  }
  std::vector<std::uint8_t> collect() {
    reader.join();
    return bytes;
  }
  velmar::win::UniqueHandle pipe;
  std::thread reader;
  std::vector<std::uint8_t> bytes;
};

// A server of our own user receives the side bytes, asked of the system as the program does.
TEST(SidePipe, SameUserServerReceivesTheBytes) {
  const std::wstring name = uniquePipe(L"same");
  StreamServer server(name);
  ASSERT_TRUE(server.pipe);
  std::vector<std::uint8_t> fmd(700);
  for (std::size_t i = 0; i < fmd.size(); ++i) fmd[i] = static_cast<std::uint8_t>(i * 13);
  EXPECT_TRUE(sendToSidePipe(nullptr, fmd.data(), fmd.size(), name));
  EXPECT_EQ(server.collect(), fmd);
  EXPECT_FALSE(sendToSidePipe(nullptr, fmd.data(), 1, uniquePipe(L"nobody")));
}

// What each answer about the server's user leads to: the bytes, and the lines in the capture log.
TEST(SidePipe, WhatTheServerGetsByItsUser) {
  struct Case {
    const char* name;
    ServerUserQuery whoServes;
    bool delivered;
    std::string warning;  // the WRN line's text after the level, with %ls = the pipe name
  };
  const Case cases[] = {
      {"same user", [](HANDLE) { return ServerUser::Same; }, true, ""},
      {"cannot tell", [](HANDLE) { return ServerUser::Unknown; }, true,
       "No se pudo saber si el servidor de '%ls' es del mismo usuario. Se escribe igualmente."},
      {"other user", [](HANDLE) { return ServerUser::Other; }, false,
       "El servidor de '%ls' no es del mismo usuario. No se escriben 3 bytes."},
  };
  const std::vector<std::uint8_t> fmd = {0x46, 0x4D, 0x52};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    velmar::testing::TempDir dir;
    const std::wstring name = uniquePipe(L"by-user");
    const std::string narrowName(name.begin(), name.end());
    StreamServer server(name);
    ASSERT_TRUE(server.pipe);
    {
      SimpleLogger::Log log(L"Futronic");
      log.setClock([] { return SimpleLogger::LocalTime{2024, 1, 5, 9, 30, 7}; });
      log.open((dir.path() / "Futronic").wstring(), L".log", false);
      EXPECT_EQ(sendToSidePipe(&log, fmd.data(), fmd.size(), name, c.whoServes), c.delivered);
    }
    EXPECT_EQ(server.collect(), c.delivered ? fmd : std::vector<std::uint8_t>{});
    const std::string logged = velmar::testing::readBytes(dir / "Futronic20240105.log");
    const std::size_t at = c.warning.find("%ls");
    const std::string warning = c.warning.empty() ? "" : c.warning.substr(0, at) + narrowName + c.warning.substr(at + 3);
    EXPECT_EQ(logged.find(" WRN ") != std::string::npos, !c.warning.empty()) << logged;
    if (!warning.empty()) {
      EXPECT_NE(logged.find(" WRN " + warning + "\r\n"), std::string::npos) << logged;
    }
    EXPECT_EQ(logged.find(" ERR ") != std::string::npos, false) << logged;
  }
}

// Every pipe the program writes (host pipes and side pipes go through the same connection) lets its
// server identify the program but not act as it.
TEST(PipeConnection, ServerMayOnlyIdentifyTheClient) {
  const int platform = velmar::testing::ImpersonationProbe::platformLevelForIdentification(uniquePipe(L"control"));
  if (platform > SecurityIdentification) {
    GTEST_SKIP() << "this platform grants level " << platform << " to an identification-only client";
  }
  const std::uint8_t byte = 203;
  for (bool side : {false, true}) {
    SCOPED_TRACE(side ? "side pipe" : "host pipe");
    const std::wstring name = uniquePipe(side ? L"sqos-side" : L"sqos-host");
    velmar::testing::ImpersonationProbe probe(name);
    ASSERT_TRUE(probe.serving());
    EXPECT_TRUE(side ? sendToSidePipe(nullptr, &byte, 1, name) : sendToPipe(nullptr, &byte, 1, name));
    EXPECT_LE(probe.level(), SecurityIdentification);
  }
}

}  // namespace
}  // namespace one
