// PipeReader, PipeWriter and readPipe against a client in another thread, under Wine.
#include "pipe_reader_win.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <thread>

#include "host_log.h"
#include "pipe_writer_win.h"
#include "random_string.h"
#include "read_pipe_win.h"

namespace {

std::string freshName() { return "\\\\.\\pipe\\pipetest" + randomString(16, "abcdefghijklmnopqrstuvwxyz"); }

// A client like the capture applications: open, write in pieces, flush, close. The flush waits until
// the server has read everything.
void writeAsClient(const std::string& name, const std::vector<std::uint8_t>& bytes, DWORD piece, bool flush = true) {
  const std::wstring wide(name.begin(), name.end());
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int i = 0; i < 200 && h == INVALID_HANDLE_VALUE; ++i) {
    h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) Sleep(10);
  }
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    DWORD written = 0;
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(piece, bytes.size() - at));
    ASSERT_TRUE(WriteFile(h, bytes.data() + at, n, &written, nullptr));
  }
  if (flush) FlushFileBuffers(h);
  CloseHandle(h);
}

std::vector<std::uint8_t> pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
  return bytes;
}

TEST(ReadPipe, CollectsTheWholeStream) {
  struct Case {
    std::size_t size;
    DWORD piece;
  };
  for (const Case& c : {Case{1, 1}, Case{1024, 1024}, Case{5000, 5000}, Case{300000, 4096}, Case{0, 1}}) {
    SCOPED_TRACE(c.size);
    const std::string name = freshName();
    const std::vector<std::uint8_t> sent = pattern(c.size);
    std::vector<std::uint8_t> received = {7};
    PipeProgress progress;
    std::thread reader([&] { readPipe(name, received, &progress); });
    ASSERT_TRUE(progress.waitCreated(std::chrono::seconds(10)));
    writeAsClient(name, sent, c.piece);
    reader.join();
    EXPECT_TRUE(received == sent) << received.size();
    EXPECT_EQ(progress.arrived.load(), sent.size());
    EXPECT_TRUE(progress.finished.load());
  }
}

TEST(ReadPipe, ClientThatClosedBeforeTheWaitStillDelivers) {
  const std::string name = freshName();
  PipeReader reader(name);
  reader.create();
  writeAsClient(name, {203}, 1, false);  // opened, written and closed before ConnectNamedPipe
  reader.waitForClient();
  std::vector<std::uint8_t> bytes;
  reader.read(bytes);
  reader.close();
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{203}));
}

TEST(ReadPipe, NameInUseGivesTheInternalErrorByte) {
  const std::string name = freshName();
  PipeReader first(name);
  first.create();
  try {
    PipeReader second(name);
    second.create();
    ADD_FAILURE() << "second pipe created";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("CreateNamedPipe failed with ", 0), 0u) << e.what();
  }

  std::vector<std::string> errors;
  const HostLogSink previous = setHostLogSink([&](int level, const std::string& text) {
    if (level == LOG_ERROR) errors.push_back(text);
  });
  std::vector<std::uint8_t> bytes = {1, 2, 3};
  PipeProgress progress;
  readPipe(name, bytes, &progress);  // returns at once: creation fails
  setHostLogSink(previous);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{211}));
  EXPECT_EQ(progress.arrived.load(), 1u);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Error in child: CreateNamedPipe failed with ", 0), 0u) << errors[0];
}

std::string sidText(PSID sid) {
  LPSTR text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return "<unreadable>";
  std::string result(text);
  LocalFree(text);
  return result;
}

std::string tokenUserSid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  std::vector<BYTE> user(1024);
  DWORD size = 0;
  const BOOL ok = GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size);
  CloseHandle(token);
  return ok ? sidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) : "<no token user>";
}

// The security read back from the pipe as its client sees it: access for the user and SYSTEM only,
// and the user can still deliver.
TEST(ReadPipe, PipeGrantsOnlyTheUserAndSystem) {
  const std::string name = freshName();
  std::vector<std::uint8_t> bytes;
  PipeProgress progress;
  std::thread reader([&] { readPipe(name, bytes, &progress); });
  ASSERT_TRUE(progress.waitCreated(std::chrono::seconds(10)));
  const std::wstring wide(name.begin(), name.end());
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE | READ_CONTROL, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  EXPECT_EQ(GetSecurityInfo(h, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  std::multiset<std::string> granted;
  ASSERT_NE(dacl, nullptr) << "no DACL: everyone has access";
  for (WORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, &ace));
    const auto* header = static_cast<ACE_HEADER*>(ace);
    ASSERT_EQ(header->AceType, ACCESS_ALLOWED_ACE_TYPE) << "ACE " << i;
    granted.insert(sidText(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart));
  }
  LocalFree(descriptor);
  EXPECT_EQ(granted, (std::multiset<std::string>{tokenUserSid(), "S-1-5-18"}));
  DWORD written = 0;
  const std::uint8_t code = 208;
  EXPECT_TRUE(WriteFile(h, &code, 1, &written, nullptr));
  FlushFileBuffers(h);
  CloseHandle(h);
  reader.join();
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{208}));
}

TEST(PipeWriter, ReleasesAWaitingReaderWithAnEmptyStream) {
  const std::string name = freshName();
  std::vector<std::uint8_t> bytes = {5};
  PipeProgress progress;
  std::thread reader([&] { readPipe(name, bytes, &progress); });
  ASSERT_TRUE(progress.waitCreated(std::chrono::seconds(10)));
  PipeWriter writer(name);
  writer.connect();
  EXPECT_TRUE(writer.connected());
  writer.close();
  reader.join();
  EXPECT_TRUE(bytes.empty());
}

TEST(PipeWriter, MissingPipe) {
  PipeWriter writer(freshName());
  try {
    writer.connect();
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "CreateFile (Pipe) failed with 2");
  }
}

TEST(PipeEnds, CallsOutOfOrder) {
  PipeReader reader(freshName());
  std::vector<std::uint8_t> bytes;
  try {
    reader.read(bytes);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "invalid state, pipe must be connected to read from it");
  }
  for (auto close : {+[](const std::string& n) { PipeReader(n).close(); }, +[](const std::string& n) { PipeWriter(n).close(); }}) {
    try {
      close(freshName());
      ADD_FAILURE();
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "invalid state, pipe must be connected to close it");
    }
  }
}

}  // namespace
