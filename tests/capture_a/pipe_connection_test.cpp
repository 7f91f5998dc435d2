// pipe_connection_test.cpp: the client end of the result pipes: pieces of at most 4096 bytes in order,
// and failures that end quickly instead of hanging.
#include "pipe_connection.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "pipe_ipc_manager.h"

namespace one {
namespace {

std::wstring uniquePipe(const wchar_t* what) {
  return L"\\\\.\\pipe\\velmar-capa-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + what;
}

// A server that reads each message (one write of the client) separately.
struct MessageServer {
  explicit MessageServer(const std::wstring& name) {
    pipe.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                1, 0, 65536, 0, nullptr));
    reader = std::thread([this] {
      if (!ConnectNamedPipe(pipe.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
      std::vector<std::uint8_t> buffer(65536);
      DWORD got = 0;
      while (ReadFile(pipe.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
        pieces.push_back(got);
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + got);
      }
    });
  }
  ~MessageServer() {
    if (reader.joinable()) reader.join();
  }
  velmar::win::UniqueHandle pipe;
  std::thread reader;
  std::vector<DWORD> pieces;
  std::vector<std::uint8_t> bytes;
};

TEST(PipeConnection, LongPayloadGoesInPiecesOf4096InOrder) {
  const std::wstring name = uniquePipe(L"pieces");
  std::vector<std::uint8_t> payload(10000);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7);
  MessageServer server(name);
  ASSERT_TRUE(server.pipe);
  {
    PipeIPCManager ipc(name);
    EXPECT_TRUE(ipc.send(payload.data(), payload.size()));
  }
  server.reader.join();
  EXPECT_EQ(server.pieces, (std::vector<DWORD>{4096, 4096, 1808}));
  EXPECT_EQ(server.bytes, payload);
}

TEST(PipeConnection, MissingOrUnnamedPipeFailsWithoutSending) {
  const std::uint8_t byte = 203;
  EXPECT_FALSE(sendToPipe(nullptr, &byte, 1, uniquePipe(L"nobody")));
  EXPECT_FALSE(sendToPipe(nullptr, &byte, 1, L""));
  PipeConnection unconnected(uniquePipe(L"never"));
  EXPECT_FALSE(unconnected.write(&byte, 1));
}

TEST(PipeConnection, BusyPipeGivesUpAfterItsWait) {
  // The one instance is taken by a first client: a second send waits its 400 ms and fails.
  const std::wstring name = uniquePipe(L"busy");
  MessageServer server(name);
  PipeConnection first(name);
  ASSERT_TRUE(first.connect());
  const std::uint8_t byte = 208;
  EXPECT_FALSE(sendToPipe(nullptr, &byte, 1, name));
  EXPECT_TRUE(first.write(&byte, 1));
  first.close();
  server.reader.join();
  EXPECT_EQ(server.bytes, (std::vector<std::uint8_t>{208}));
}

}  // namespace
}  // namespace one
