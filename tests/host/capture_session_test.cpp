// The exported capture against the scripted fake capture application, under Wine.
#include <algorithm>
#include <fstream>
#include <atomic>
#include <thread>

#include "answer_line.h"
#include "capture_command.h"
#include "capture_executor_win.h"
#include "json_result_win.h"
#include "payload.h"
#include "random_string.h"
#include "request_answer_win.h"
#include "result_codes.h"
#include "session_fixture.h"
#include "test_bmp.h"
#include "wsq_test_stream.h"

namespace {

using namespace session_test;
using fake_capture::payload;
using Bytes = std::vector<std::uint8_t>;

Bytes wsqOf(int width, int height, std::uint32_t seed) {
  const std::vector<unsigned char> stream = wsq::testing::syntheticWsq(width, height, seed);
  return Bytes(stream.begin(), stream.end());
}

Bytes bmpOf(int width, int height, std::uint32_t seed) {
  return testbmp::make(width, height, [seed](int x, int y) { return static_cast<std::uint8_t>(x * 7 + y * seed); });
}

// Writes bytes to a file in the temporary folder (or, relative, in the working directory the fake
// inherits: a short name for a script that travels in the 100-byte message); the fake sends them with
// "file:<path>".
std::string staged(const std::string& leaf, const Bytes& bytes, bool relative = false) {
  const std::string name = "velmar-" + std::to_string(GetCurrentProcessId()) + "-" + leaf;
  const std::string path = relative ? name : tempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

class CaptureSession : public testing::Test {
 protected:
  void SetUp() override {
    argvFile_ = tempPath("velmar-fake-argv-" + std::to_string(GetCurrentProcessId()) + ".txt");
    DeleteFileA(argvFile_.c_str());
    setEnv(L"VELMAR_FAKE_ARGV_FILE", widen(argvFile_));
  }
  void TearDown() override {
    setEnv(L"VELMAR_FAKE_ARGV_FILE", L"");
    setEnv(L"VELMAR_FAKE_CAPTURE", L"");
    DeleteFileA(argvFile_.c_str());
  }

  // Runs one capture whose fake follows script; returns the fake's argument vector.
  std::vector<std::string> run(const std::string& script, const biodeviceInput& in, biodeviceOutput& out,
                               std::int32_t& result) {
    DeleteFileA(argvFile_.c_str());
    setEnv(L"VELMAR_FAKE_CAPTURE", widen(script));
    result = capture(fakeDevice(), in, out);
    return readLines(argvFile_);
  }

  std::string argvFile_;
};

TEST_F(CaptureSession, ResultComesFromTheResponseStream) {
  struct Case {
    std::string script;
    std::int32_t result;
    std::vector<std::uint8_t> wsq, bmp;
    std::string warning;  // the start of a LOG_WARN line that must be there, or ""
  };
  const Bytes wsq = wsqOf(512, 512, 3), bmp = bmpOf(512, 512, 4);  // a capture's sizes: 263 KB of BMP
  const Bytes halfWsq(wsq.begin(), wsq.begin() + static_cast<long>(wsq.size() / 2));
  const Bytes shortBmp(bmp.begin(), bmp.end() - 1000);
  Bytes noPlanes = bmp;  // a header the image encoder would refuse after both checks
  noPlanes[26] = 0;
  const std::string whole = "wsq=file:" + staged("whole.wsq", wsq) + " bmp=file:" + staged("whole.bmp", bmp);
  const std::string half = staged("half.wsq", halfWsq), cut = staged("cut.bmp", shortBmp);
  const std::string notWhole = "response is not a whole WSQ: ";
  const Case cases[] = {
      {whole, 0, wsq, bmp, ""},
      // The data decides, not the exit code: a crash or kill after a whole delivery is a capture...
      {whole + " exit=3", 0, wsq, bmp, "child ended with exit code 3 after delivering a whole capture"},
      // ...and a clean exit after half a file, or with the image cut short, is not.
      {"wsq=file:" + half + " bmp=file:" + staged("whole.bmp", bmp), DEV_ERR_FAILURE, {}, bmp, notWhole},
      {"wsq=file:" + staged("whole.wsq", wsq) + " bmp=file:" + cut, DEV_ERR_FAILURE, {}, shortBmp,
       "image is not a whole BMP: invalid bmp file"},
      {"wsq=file:" + staged("whole.wsq", wsq) + " bmp=none", DEV_ERR_FAILURE, {}, {}, "image is not a whole BMP"},
      {"wsq=file:" + staged("whole.wsq", wsq) + " bmp=file:" + staged("planes.bmp", noPlanes), DEV_ERR_FAILURE, {},
       noPlanes, "image is not a whole BMP: invalid bmp file"},
      {"wsq=gen:2:1 bmp=gen:2:2", DEV_ERR_FAILURE, {}, payload(2, 2), notWhole},
      {"wsq=gen:3000:7 bmp=gen:10:8 exit=3", DEV_ERR_FAILURE, {}, payload(10, 8), notWhole},
      {"wsq=byte:208 bmp=byte:208 exit=208", 208, {}, {208}, ""},
      {"wsq=byte:203 exit=203", 203, {}, {}, ""},
      {"wsq=byte:43 bmp=byte:43 exit=299", 43, {}, {43}, ""},
      // One byte is a result only when it names a failure.
      {"wsq=byte:0", DEV_ERR_FAILURE, {}, {}, "the capture application sent the single byte 0: no result"},
      {"exit=0", DEV_ERR_DRIVER_INVALID, {}, {}, ""},
      {"wsq=empty bmp=empty exit=3", DEV_ERR_DRIVER_INVALID, {}, {}, ""},
      {"crash wsq=gen:10:1 bmp=gen:10:1", DEV_ERR_DRIVER_INVALID, {}, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    LogCollector log;
    biodeviceOutput out;
    out.bmp = {1, 2, 3};  // replaced by the session's output
    std::int32_t result = -1;
    run(c.script, input(), out, result);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(out.exitCode, c.result);
    EXPECT_TRUE(out.wsq == c.wsq) << "wsq holds " << out.wsq.size() << " bytes";
    EXPECT_TRUE(out.bmp == c.bmp) << "bmp holds " << out.bmp.size() << " bytes";
    EXPECT_EQ(log.has(LOG_WARN, "didn't receive anything, is child okay? closing connection"),
              c.result == DEV_ERR_DRIVER_INVALID);
    EXPECT_TRUE(log.has(LOG_DEBUG, "capture(...) returns " + toString(out)));
    EXPECT_TRUE(log.has(LOG_DEBUG, "process closed"));
    // Ends with its one summary line: the capture application, the result and the byte counts.
    EXPECT_TRUE(log.hasPrefix(LOG_INFO, "capture ")) << "no summary line";
    for (const LogLine& line : log.lines()) {
      if (line.level != LOG_INFO) continue;
      EXPECT_NE(line.text.find(" ended: application=" + fakeExe() + " result=" + std::to_string(c.result) +
                               " wsq=" + std::to_string(c.wsq.size()) + " bmp=" + std::to_string(c.bmp.size()) +
                               " answer=0 bytes; ms: pipes ready "),
                std::string::npos)
          << line.text;
    }
    if (!c.warning.empty()) {
      EXPECT_TRUE(log.hasPrefix(LOG_WARN, c.warning)) << c.warning;
    }
    EXPECT_EQ(log.hasPrefix(LOG_WARN, notWhole), c.warning == notWhole);
    if (c.script.rfind("crash", 0) != 0) {  // a crash may leave the system's crash handler in the job
      EXPECT_FALSE(log.hasPrefix(LOG_WARN, "the capture application left ")) << "it left nothing running";
    }
  }
}

TEST_F(CaptureSession, LogsTheRequestBeforeNormalising) {
  LogCollector log;
  biodeviceOutput out;
  std::int32_t result;
  run("wsq=byte:208", input("hola", "15000", "7"), out, result);
  EXPECT_TRUE(log.has(LOG_DEBUG, "capture(biodevice=" + toString(fakeDevice()) +
                                      ", biodeviceInput={message=hola,timeout=15000,debugLevel=7})"));
  EXPECT_TRUE(log.hasPrefix(LOG_TRACE, "command to execute=\"" + fakeExe() + "\" -lci \"hola\" -t 45000 -p "));
  EXPECT_TRUE(log.has(LOG_DEBUG, "response size=1 bytes"));
  EXPECT_TRUE(log.has(LOG_DEBUG, "image size=0 bytes"));
}

TEST_F(CaptureSession, ChildThatCannotBeCreated) {
  LogCollector log;
  biodevice device;
  device.command = "C:\\no\\such\\capture.exe";
  biodeviceOutput out;
  EXPECT_EQ(capture(device, input(), out), DEV_ERR_INTERNAL_APP);
  EXPECT_EQ(out.exitCode, DEV_ERR_INTERNAL_APP);
  EXPECT_TRUE(log.has(LOG_ERROR, "Error in child: CreateProcess failed with 2"));
  EXPECT_TRUE(out.wsq.empty());
}

TEST_F(CaptureSession, InvalidTimeoutStartsNothing) {
  for (const char* timeout : {"abc", "", "99999999999"}) {
    SCOPED_TRACE(timeout);
    LogCollector log;
    biodeviceOutput out;
    out.wsq = {9, 9};
    std::int32_t result;
    const std::vector<std::string> args = run("wsq=gen:2:1", input("", timeout), out, result);
    EXPECT_EQ(result, DEV_ERR_INTERNAL_APP);
    EXPECT_TRUE(args.empty()) << "a child was started";
    EXPECT_TRUE(log.has(LOG_ERROR, "invalid biodeviceInput.timeout='" + std::string(timeout) + "'"));
    EXPECT_TRUE(out.wsq.empty()) << "an earlier capture's WSQ stayed in the record";
  }
}

TEST_F(CaptureSession, CommandLineTooLongFailsBeforeAnyProcess) {
  LogCollector log;
  biodevice device;
  device.command = fakeExe() + std::string(1000, ' ');  // still names the fake
  biodeviceOutput out;
  EXPECT_EQ(capture(device, input("", "30000"), out), DEV_ERR_INTERNAL_APP);
  EXPECT_TRUE(readLines(argvFile_).empty());
  EXPECT_TRUE(log.has(LOG_ERROR, "Error in child: command line does not fit 1024 UTF-16 units"));
}

TEST_F(CaptureSession, NormalisedOptionsReachTheChild) {
  std::string msg150;
  for (int i = 0; i < 150; ++i) msg150 += static_cast<char>('a' + i % 26);
  struct Case {
    std::string message, timeout, level;
    std::string wantMessage, wantTimeout, wantLevel;
  };
  const Case cases[] = {
      {"", "25000", "4", "<absent>", "25000", "4"},
      {"", "600000", "0", "<absent>", "600000", "0"},
      {"", "24999", "1", "<absent>", "45000", "1"},
      {"", "600001", "2", "<absent>", "45000", "2"},
      {"", "30000abc", "3", "<absent>", "30000", "3"},
      {"", "30000", "5", "<absent>", "30000", "<absent>"},
      {"", "30000", "", "<absent>", "30000", "<absent>"},
      {"", "30000", "NO", "<absent>", "30000", "<absent>"},
      {std::string(100, 'm'), "30000", "4", std::string(100, 'm'), "30000", "4"},
      {msg150, "30000", "4", msg150.substr(0, 100), "30000", "4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.size());
    SCOPED_TRACE(c.timeout + " / " + c.level);
    biodeviceOutput out;
    std::int32_t result;
    const std::vector<std::string> args = run("wsq=byte:208", input(c.message, c.timeout, c.level), out, result);
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(optionValue(args, "-lci"), c.wantMessage);
    EXPECT_EQ(optionValue(args, "-t"), c.wantTimeout);
    EXPECT_EQ(optionValue(args, "-v"), c.wantLevel);
    EXPECT_EQ(args.back(), "-h");
    EXPECT_EQ(result, 208);
  }
}

TEST_F(CaptureSession, MessageArrivesAsOneArgumentExactlyAsGiven) {
  struct Case {
    std::string message;  // as the caller gives it: Latin-1 bytes for accented letters
    std::string want;     // UTF-8, as the child reads it
  };
  const Case cases[] = {
      {"say \"hi\" now", "say \"hi\" now"},
      {"ends\\", "ends\\"},
      {"ends\\\\", "ends\\\\"},
      {"back\\\"slash", "back\\\"slash"},
      {"x\" -p \"\\\\.\\pipe\\evil", "x\" -p \"\\\\.\\pipe\\evil"},
      {"-p", "-p"},
      {"  spaces  inside ", "  spaces  inside "},
      {"Coloque el dedo \xF1" "and\xFA \xE1", "Coloque el dedo \xC3\xB1" "and\xC3\xBA \xC3\xA1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    biodeviceOutput out;
    std::int32_t result;
    const std::vector<std::string> args = run("wsq=byte:208", input(c.message), out, result);
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(optionValue(args, "-lci"), c.want);
    EXPECT_EQ(std::count(args.begin(), args.end(), "-p"), c.message == "-p" ? 2 : 1);
    EXPECT_EQ(args.size(), 12u);  // exe -v 4 -lci M -t T -p P -bp B -h
    EXPECT_EQ(result, 208);       // the fake found the real response pipe
  }
}

TEST_F(CaptureSession, PipeNamesAreFreshOnEveryCall) {
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) {
    biodeviceOutput out;
    std::int32_t result;
    const std::vector<std::string> args = run("wsq=byte:208", input(), out, result);
    for (const char* option : {"-p", "-bp"}) {
      const std::string name = optionValue(args, option);
      ASSERT_EQ(name.size(), 9u + 24u) << name;
      EXPECT_EQ(name.substr(0, 9), "\\\\.\\pipe\\");
      EXPECT_EQ(name.find_first_not_of(alphabet, 9), std::string::npos) << name;
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

TEST_F(CaptureSession, ConcurrentCapturesKeepTheirOwnBytes) {
  setEnv(L"VELMAR_FAKE_ARGV_FILE", L"");
  constexpr int kThreads = 4;
  constexpr int kRounds = 3;
  // Each thread its own whole capture, of its own sizes.
  std::vector<Bytes> wsqs, bmps;
  std::vector<std::string> scripts;
  for (int t = 0; t < kThreads; ++t) {
    wsqs.push_back(wsqOf(128 + 64 * t, 160 + 32 * t, 100 + t));
    bmps.push_back(bmpOf(100 + 150 * t, 120 + 80 * t, 50 + t));
    scripts.push_back("script:wsq=file:" + staged("c" + std::to_string(t) + ".wsq", wsqs.back(), true) +
                      " bmp=file:" + staged("c" + std::to_string(t) + ".bmp", bmps.back(), true));
  }
  std::atomic<int> good{0};
  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        biodeviceOutput out;
        const std::int32_t result = capture(fakeDevice(), input(scripts[t]), out);
        if (result == 0 && out.wsq == wsqs[t] && out.bmp == bmps[t]) {
          ++good;
        } else {
          failures[t] += "round " + std::to_string(round) + ": result " + std::to_string(result) + ", wsq " +
                         std::to_string(out.wsq.size()) + ", bmp " + std::to_string(out.bmp.size()) + "; ";
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(good.load(), kThreads * kRounds);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], "") << "thread " << t;
}

// Another process of the same user, outside the capture's job, learns the pipe names from the capture
// application's command line and opens both pipes first with forged bytes. It is refused unread, and
// the capture application's own delivery is what the caller gets.
TEST_F(CaptureSession, ClientOutsideTheJobIsRefusedUnread) {
  LogCollector log;
  DWORD intruderId = 0;
  std::string wsqName, bmpName;
  std::thread intruder([&] {
    for (int i = 0; i < 1000 && bmpName.empty(); ++i) {
      Sleep(10);
      const std::vector<std::string> args = readLines(argvFile_);
      if (optionValue(args, "-bp") != "<absent>") {
        wsqName = optionValue(args, "-p");
        bmpName = optionValue(args, "-bp");
      }
    }
    if (bmpName.empty()) return;
    setEnv(L"VELMAR_FAKE_ARGV_FILE", L"");  // the capture application has written its own already
    std::wstring command = widen("\"" + fakeExe() + "\" -p \"" + wsqName + "\" -bp \"" + bmpName +
                                 "\" -lci \"script:wsq=gen:4000:99 bmp=gen:4000:98\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
    intruderId = info.dwProcessId;
    WaitForSingleObject(info.hProcess, 30000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  });
  biodeviceOutput out;
  std::int32_t result = -1;
  const Bytes wsq = wsqOf(128, 128, 1), bmp = bmpOf(40, 30, 2);
  run("wait=2000 wsq=file:" + staged("own.wsq", wsq, true) + " bmp=file:" + staged("own.bmp", bmp, true), input(),
      out, result);
  intruder.join();
  ASSERT_NE(intruderId, 0u) << "the intruder did not start";
  EXPECT_EQ(result, DEV_SUCCESS);
  EXPECT_TRUE(out.wsq == wsq) << "wsq holds " << out.wsq.size() << " bytes";
  EXPECT_TRUE(out.bmp == bmp) << "bmp holds " << out.bmp.size() << " bytes";
  for (const std::string& name : {wsqName, bmpName}) {
    EXPECT_TRUE(log.has(LOG_WARN, "refused client process " + std::to_string(intruderId) + " on pipe '" + name +
                                      "': not a process of the capture application"))
        << name;
  }
}

// A capture application that only starts the real one, which writes the pipes: the real one is in
// the job too, and no client is refused.
TEST_F(CaptureSession, ProcessStartedByTheCaptureApplicationMayDeliver) {
  struct Case {
    std::string script;
    std::int32_t result;
    std::vector<std::uint8_t> wsq, bmp;
  };
  const Bytes wsq = wsqOf(128, 128, 11), bmp = bmpOf(40, 30, 12);
  const Case cases[] = {
      {"wrap wsq=file:" + staged("wrapped.wsq", wsq, true) + " bmp=file:" + staged("wrapped.bmp", bmp, true),
       DEV_SUCCESS, wsq, bmp},
      {"wrap wsq=byte:203 bmp=byte:203 exit=203", 203, {}, {203}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    LogCollector log;
    biodeviceOutput out;
    std::int32_t result = -1;
    run(c.script, input(), out, result);
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(out.wsq == c.wsq) << "wsq holds " << out.wsq.size() << " bytes";
    EXPECT_TRUE(out.bmp == c.bmp) << "bmp holds " << out.bmp.size() << " bytes";
    EXPECT_FALSE(log.hasPrefix(LOG_WARN, "refused client process "));
    EXPECT_FALSE(log.hasPrefix(LOG_WARN, "no job for the capture application"));
  }
}

// What the capture application started and left running ends with the session.
TEST_F(CaptureSession, NothingItStartedOutlivesTheCapture) {
  const std::string pidFile = tempPath("velmar-fake-linger-" + std::to_string(GetCurrentProcessId()) + ".txt");
  DeleteFileA(pidFile.c_str());
  setEnv(L"VELMAR_FAKE_LINGER_PID_FILE", widen(pidFile));
  biodeviceOutput out;
  std::int32_t result = -1;
  run("linger wsq=byte:208", input(), out, result);
  setEnv(L"VELMAR_FAKE_LINGER_PID_FILE", L"");
  EXPECT_EQ(result, 208);
  const std::vector<std::string> lines = readLines(pidFile);
  DeleteFileA(pidFile.c_str());
  ASSERT_FALSE(lines.empty()) << "the lingering copy was not started";
  const DWORD lingering = static_cast<DWORD>(std::stoul(lines[0]));
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, lingering);
  if (process != nullptr) {  // null: already gone
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0) << "process " << lingering << " still runs";
    CloseHandle(process);
  }
}

std::string freshPipeName() { return PIPE_NAME_PREFIX + randomString(PIPE_NAME_RANDOM_LENGTH, PIPE_NAME_CHARS); }

// The process id a fake wrote into a file, or 0.
DWORD pidIn(const std::string& file) {
  const std::vector<std::string> lines = readLines(file);
  return lines.empty() ? 0 : static_cast<DWORD>(std::stoul(lines[0]));
}

// Whether the process has ended (or no longer exists) within a few seconds.
bool gone(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return true;
  const bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// A wrapper that starts the real application and exits while that one still holds the response pipe
// open: the session ends the holder with the job instead of waiting for the stream's end, and the
// capture fails.
TEST_F(CaptureSession, StreamHeldOpenAfterTheApplicationEndedIsEnded) {
  const std::string pidFile = tempPath("velmar-fake-holder-" + std::to_string(GetCurrentProcessId()) + ".txt");
  DeleteFileA(pidFile.c_str());
  setEnv(L"VELMAR_FAKE_LINGER_PID_FILE", widen(pidFile));
  LogCollector log;
  biodeviceOutput out;
  std::int32_t result = -1;
  run("detach hold wsq=gen:3000:5 bmp=gen:10:6", input(), out, result);
  setEnv(L"VELMAR_FAKE_LINGER_PID_FILE", L"");
  const DWORD holder = pidIn(pidFile);
  DeleteFileA(pidFile.c_str());
  EXPECT_EQ(result, DEV_ERR_FAILURE);
  EXPECT_TRUE(out.wsq.empty());
  EXPECT_TRUE(log.hasPrefix(LOG_ERROR, "gave up waiting for the response pipe '"));
  EXPECT_TRUE(log.has(LOG_WARN, "the capture application left 1 process(es) running: ending them"));
  ASSERT_NE(holder, 0u) << "the holding copy was not started";
  EXPECT_TRUE(gone(holder)) << "process " << holder << " still runs";
}

// A pipe that cannot be created (its name taken) fails the capture before the capture application
// starts, whichever of the two it is.
TEST_F(CaptureSession, PipeThatCannotBeCreatedStartsNothing) {
  for (const bool responsePipe : {true, false}) {
    SCOPED_TRACE(responsePipe ? "response pipe" : "image pipe");
    biodeviceInput in = input();
    in.wsqPipeName = freshPipeName();
    in.bmpPipeName = freshPipeName();
    const std::string taken = responsePipe ? in.wsqPipeName : in.bmpPipeName;
    HANDLE holder = CreateNamedPipeW(widen(taken).c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 1024,
                                     0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE) << GetLastError();
    setEnv(L"VELMAR_FAKE_CAPTURE", L"wsq=byte:203");
    DeleteFileA(argvFile_.c_str());
    LogCollector log;
    validateInput(in);
    CaptureExecutor executor(fakeDevice(), in);
    executor.run();
    CloseHandle(holder);
    EXPECT_EQ(executor.output().exitCode, DEV_ERR_INTERNAL_APP);
    EXPECT_TRUE(readLines(argvFile_).empty()) << "the capture application was started";
    EXPECT_TRUE(log.hasPrefix(LOG_ERROR, "Error in child: CreateNamedPipe failed with "));
    EXPECT_FALSE(log.has(LOG_DEBUG, "process started"));
  }
}

// A capture application that never ends is ended once the session's limit for it has passed.
TEST_F(CaptureSession, ApplicationThatHangsIsEndedAtTheLimit) {
  const std::string pidFile = tempPath("velmar-fake-pid-" + std::to_string(GetCurrentProcessId()) + ".txt");
  DeleteFileA(pidFile.c_str());
  setEnv(L"VELMAR_FAKE_PID_FILE", widen(pidFile));
  setEnv(L"VELMAR_FAKE_CAPTURE", L"wait=60000 wsq=byte:203");
  biodeviceInput in = input();
  in.wsqPipeName = freshPipeName();
  in.bmpPipeName = freshPipeName();
  validateInput(in);
  SessionLimits limits;
  limits.childRun = std::chrono::seconds(1);
  LogCollector log;
  CaptureExecutor executor(fakeDevice(), in, CommandText::kAnsi, limits);
  executor.run();
  setEnv(L"VELMAR_FAKE_PID_FILE", L"");
  const DWORD hung = pidIn(pidFile);
  DeleteFileA(pidFile.c_str());
  EXPECT_EQ(executor.output().exitCode, DEV_ERR_FAILURE);
  EXPECT_TRUE(log.has(LOG_ERROR, "gave up waiting for the capture application: still running after 1 s, ended"));
  ASSERT_NE(hung, 0u);
  EXPECT_TRUE(gone(hung)) << "process " << hung << " still runs";
}

// A caller's inheritable handle (here the write end of a pipe, as a program redirecting another
// child's output holds one) must not reach the capture application: once the caller closes its own
// copy, the pipe is broken at once, while the capture still runs.
TEST_F(CaptureSession, CallersInheritableHandlesStayOutOfTheCaptureApplication) {
  SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  biodeviceOutput out;
  std::int32_t result = -1;
  std::thread capturing([&] { run("wait=3000 wsq=byte:203", input(), out, result); });
  for (int i = 0; i < 3000 && readLines(argvFile_).empty(); ++i) Sleep(10);  // the application runs
  const bool running = !readLines(argvFile_).empty();
  CloseHandle(writeEnd);
  DWORD available = 0;
  const BOOL open = PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr);
  const DWORD error = GetLastError();
  capturing.join();
  CloseHandle(readEnd);
  ASSERT_TRUE(running) << "the capture application did not start";
  EXPECT_FALSE(open) << "the capture application holds the caller's handle";
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_BROKEN_PIPE));
  EXPECT_EQ(result, 203);
}

// The answer to a caller is one JSON line even when the JPEG step fails after both data checks
// passed: the line of 299, with the fault and its step in the log.
TEST_F(CaptureSession, AnswerWhoseJpegStepFailsIsTheFailureLine) {
  const Bytes wsq = wsqOf(128, 128, 21), bmp = bmpOf(40, 30, 22);
  const std::string script = "script:wsq=file:" + staged("jpeg.wsq", wsq, true) + " bmp=file:" +
                             staged("jpeg.bmp", bmp, true);
  std::string command;
  for (char c : fakeExe()) command += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string request = "{\"command\":\"" + command + "\",\"message\":\"" + script + "\"}";
  const ImageEncoder failing = [](const std::vector<std::uint8_t>&, const std::wstring&) -> std::vector<std::uint8_t> {
    throw std::runtime_error("bitmap.Save failed with 7");
  };
  LogCollector log;
  const ImageEncoder previous = setImageEncoder(failing);
  const RequestAnswer answer = answerRequestLine(request);
  setImageEncoder(previous);
  ASSERT_TRUE(answer.read) << answer.refusal;
  EXPECT_EQ(answer.code, DEV_ERR_FAILURE);
  EXPECT_EQ(answer.json, failedCaptureJson(DEV_ERR_FAILURE));
  bool logged = false;
  for (const LogLine& line : log.lines()) {
    logged |= line.level == LOG_ERROR &&
              line.text.find(": encoding the answer failed at the JPEG step: bitmap.Save failed with 7") != std::string::npos;
  }
  EXPECT_TRUE(logged);
  EXPECT_TRUE(log.hasPrefix(LOG_INFO, "capture ")) << "no summary line";

  // The same capture with the encoder in place answers 0.
  EXPECT_EQ(answerRequestLine(request).code, DEV_SUCCESS);
}

}  // namespace
