// pipe_client_win_test.cpp: PipeClient against a real pipe server under Wine.
#include "pipe_client_win.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "capture_log_win.h"
#include "impersonation_probe_win.h"

namespace capture_b {
namespace {

// The client logs its attempts; these tests keep the log file out of the build folder.
const bool kLogOff = (captureLog().setLevel(-1), true);

std::wstring pipeName(const wchar_t* what) {
  return L"\\\\.\\pipe\\capture_b_test_" + std::wstring(what) + L"_" + std::to_wstring(GetCurrentProcessId());
}

// A one-instance inbound server like the host's; collects the stream until the client closes.
struct Server {
  velmar::win::UniqueHandle pipe;
  std::vector<unsigned char> bytes;
  std::thread reader;
  explicit Server(const std::wstring& name)
      : pipe(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT,
                              1, 0, 1024, 0, nullptr)) {
    reader = std::thread([this] {
      ConnectNamedPipe(pipe.get(), nullptr);
      unsigned char buffer[1024];
      DWORD n = 0;
      while (ReadFile(pipe.get(), buffer, sizeof buffer, &n, nullptr)) bytes.insert(bytes.end(), buffer, buffer + n);
    });
  }
  std::vector<unsigned char> collect() {
    reader.join();
    return bytes;
  }
};

TEST(PipeClient, WritesTheWholeStreamInPieces) {
  const std::wstring name = pipeName(L"stream");
  Server server(name);
  ASSERT_TRUE(server.pipe);
  std::vector<unsigned char> wsq(2500);
  for (size_t i = 0; i < wsq.size(); ++i) wsq[i] = static_cast<unsigned char>(i * 31);
  PipeClient client(name);
  ASSERT_TRUE(client.connect());
  EXPECT_TRUE(client.write(wsq.data(), wsq.size()));
  client.close();
  EXPECT_FALSE(client.connected());
  EXPECT_EQ(server.collect(), wsq);
}

TEST(PipeClient, OneByteErrorResult) {
  const std::wstring name = pipeName(L"byte");
  Server server(name);
  sendErrorResult(name, 203);
  EXPECT_EQ(server.collect(), std::vector<unsigned char>{203});
}

TEST(PipeClient, AbsentPipeFailsAndWritesNothing) {
  PipeClient client(pipeName(L"absent"));
  EXPECT_FALSE(client.connect());
  const unsigned char byte = 1;
  EXPECT_FALSE(client.write(&byte, 1));
  client.close();
  sendErrorResult(pipeName(L"absent"), 211);  // nothing to reach: returns quietly
}

TEST(PipeClient, BusyPipeFails) {
  const std::wstring name = pipeName(L"busy");
  Server server(name);
  PipeClient first(name);
  ASSERT_TRUE(first.connect());
  PipeClient second(name);
  EXPECT_FALSE(second.connect());
  first.close();
  server.collect();
}

// The server of a pipe this program writes may identify it but not act as it.
TEST(PipeClient, ServerMayOnlyIdentifyTheClient) {
  const int platform = velmar::testing::ImpersonationProbe::platformLevelForIdentification(pipeName(L"control"));
  if (platform > SecurityIdentification) {
    GTEST_SKIP() << "this platform grants level " << platform << " to an identification-only client";
  }
  const std::wstring name = pipeName(L"sqos");
  velmar::testing::ImpersonationProbe probe(name);
  ASSERT_TRUE(probe.serving());
  sendErrorResult(name, 203);
  EXPECT_LE(probe.level(), SecurityIdentification);
}

}  // namespace
}  // namespace capture_b
