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

// A server of our own user receives the side bytes, whether the system names the server or not.
TEST(SidePipe, SameUserServerReceivesTheBytes) {
  const std::wstring name = uniquePipe(L"same");
  velmar::win::UniqueHandle pipe(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND,
                                                  PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 1024, 0,
                                                  nullptr));
  ASSERT_TRUE(pipe);
  std::vector<std::uint8_t> received;
  std::thread reader([&] {
    if (!ConnectNamedPipe(pipe.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
    std::uint8_t buffer[1024];
    DWORD got = 0;
    while (ReadFile(pipe.get(), buffer, sizeof buffer, &got, nullptr)) received.insert(received.end(), buffer, buffer + got);
  });
  std::vector<std::uint8_t> fmd(700);
  for (std::size_t i = 0; i < fmd.size(); ++i) fmd[i] = static_cast<std::uint8_t>(i * 13);
  EXPECT_TRUE(sendToSidePipe(nullptr, fmd.data(), fmd.size(), name));
  reader.join();
  EXPECT_EQ(received, fmd);
  EXPECT_FALSE(sendToSidePipe(nullptr, fmd.data(), 1, uniquePipe(L"nobody")));
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
