// caller_test.cpp: a program that uses the host the way an integrator's program does. It links nothing
// of the host: it loads velmar-device.dll by its full path from its own folder (another one), or loads
// velmar-device.exe with the DLL's folder set, and calls the exports it finds by name. The capture
// application is the scripted fake, told what to do through VELMAR_FAKE_CAPTURE.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "biodevice.h"
#include "process_counts_win.h"
#include "test_bmp.h"
#include "wsq_test_stream.h"
#include "velmar_device.h"

namespace {

using CaptureFunction = std::int32_t (*)(const biodevice&, const biodeviceInput&, biodeviceOutput&);
using ToJsonStringFunction = void (*)(const biodeviceOutput&, std::string, std::string&);

std::wstring windowsPath(const char* built) {
  std::string path = built;
  std::replace(path.begin(), path.end(), '/', '\\');
  return std::wstring(path.begin(), path.end());
}

std::string narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::wstring ownFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void setScript(const std::string& script) {
  SetEnvironmentVariableW(L"VELMAR_FAKE_CAPTURE", std::wstring(script.begin(), script.end()).c_str());
}

// The WSQ file a succeeding capture delivers: our encoder's stream of a synthetic finger (the host
// takes only a whole WSQ as a capture).
const std::vector<unsigned char>& fixtureWsq() {
  static const std::vector<unsigned char> stream = wsq::testing::syntheticWsq(256, 256, 7);
  return stream;
}

// A script whose capture succeeds: that WSQ file and a small grey BMP file, written beside this program.
std::string successScript() {
  const std::wstring bmpPath = ownFolder() + L"caller_finger.bmp";
  const std::wstring wsqPath = ownFolder() + L"caller_finger.wsq";
  const std::vector<std::uint8_t> bmp =
      testbmp::make(64, 48, [](int x, int y) { return static_cast<std::uint8_t>(x * 3 + y); });
  std::ofstream(bmpPath.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), bmp.size());
  const std::vector<unsigned char>& wsq = fixtureWsq();
  std::ofstream(wsqPath.c_str(), std::ios::binary)
      .write(reinterpret_cast<const char*>(wsq.data()), static_cast<std::streamsize>(wsq.size()));
  return "wsq=file:" + narrow(wsqPath) + " bmp=file:" + narrow(bmpPath);
}

// The request line for the fake capture application, written as JSON.
std::string jsonRequest(const std::string& message) {
  std::string command;
  for (char c : narrow(windowsPath(FAKE_CAPTURE_EXE))) command += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return "{\"command\":\"" + command + "\",\"message\":\"" + message + "\"}";
}

class Module {
 public:
  explicit Module(HMODULE module) : module_(module) {}
  ~Module() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }
  template <class F>
  F find(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

struct Figures {
  DWORD handles, threads;
  SIZE_T privateBytes;
};

Figures figures() {
  return {velmar::testing::probeOpenHandles(), velmar::testing::threadCount(), velmar::testing::privateBytes()};
}

// 100 captures after ten of warm-up (lazily created system objects), in three kinds that alternate:
// success, a one-byte result, nothing at all. A leak per capture of any kind leaves at least 33 handles
// or threads behind, or 2.6 MB (a success line is 80 KB). Under load the system may start a worker
// thread or two of its own, with a few handles, that outlive the loop; the heap may grow a little.
template <class Once>
void expectNoGrowth(Once once) {
  for (int i = 0; i < 10; ++i) once(i);
  const Figures before = figures();
  for (int i = 0; i < 100; ++i) once(i);
  const Figures after = figures();
  std::printf("handles %lu -> %lu, threads %lu -> %lu, private bytes %zu -> %zu\n", before.handles, after.handles,
              before.threads, after.threads, static_cast<size_t>(before.privateBytes),
              static_cast<size_t>(after.privateBytes));
  EXPECT_LE(after.handles, before.handles + 8);
  EXPECT_LE(after.threads, before.threads + 2);
  EXPECT_LE(after.privateBytes, before.privateBytes + 2 * 1024 * 1024);
}

class DllCaller : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.get()) << "LoadLibraryW failed with " << GetLastError();
    captureJson_ = dll_.find<captureJsonFunction>("captureJson");
    freeJson_ = dll_.find<freeJsonFunction>("freeJson");
    ASSERT_TRUE(captureJson_ && freeJson_);
  }
  void TearDown() override { SetEnvironmentVariableW(L"VELMAR_FAKE_CAPTURE", nullptr); }

  // captureJson's code and line, the line released through freeJson.
  std::pair<std::int32_t, std::string> viaCaptureJson(const char* request) {
    char* line = nullptr;
    const std::int32_t code = captureJson_(request, &line);
    std::string text = line ? line : "<null>";
    freeJson_(line);
    return {code, text};
  }

  Module dll_{LoadLibraryW(windowsPath(DEVICE_DLL).c_str())};
  captureJsonFunction captureJson_ = nullptr;
  freeJsonFunction freeJson_ = nullptr;
};

const char* const kFailureScripts[] = {"wsq=byte:208 bmp=byte:208 exit=208", "exit=0"};

TEST_F(DllCaller, HundredCapturesThroughCaptureAndToJsonString) {
  const auto capture = dll_.find<CaptureFunction>("capture");
  const auto toJsonString = dll_.find<ToJsonStringFunction>("toJsonString");
  ASSERT_TRUE(capture && toJsonString);
  const std::string success = successScript();
  biodevice device;
  device.command = narrow(windowsPath(FAKE_CAPTURE_EXE));
  biodeviceInput input;
  input.message = "Coloque el dedo";
  input.timeout = "30000";
  input.debugLevel = "4";
  expectNoGrowth([&](int i) {
    setScript(i % 3 == 0 ? success : kFailureScripts[i % 3 - 1]);
    biodeviceOutput output;
    const std::int32_t code = capture(device, input, output);
    std::string json = "untouched";
    toJsonString(output, std::to_string(code), json);
    if (i % 3 == 0) {
      ASSERT_EQ(code, 0);
      ASSERT_EQ(output.wsq.size(), fixtureWsq().size());
      ASSERT_EQ(json.rfind("{\"wsq\":\"", 0), 0u) << json.substr(0, 40);
    } else {
      ASSERT_EQ(code, i % 3 == 1 ? 208 : 109);
      ASSERT_EQ(json, "untouched");  // no BMP to encode: toJsonString leaves the text alone
    }
  });
}

TEST_F(DllCaller, HundredCapturesThroughCaptureJson) {
  const std::string success = successScript();
  const std::string request = jsonRequest("Coloque el dedo \\u00edndice");
  expectNoGrowth([&](int i) {
    setScript(i % 3 == 0 ? success : kFailureScripts[i % 3 - 1]);
    const auto [code, line] = viaCaptureJson(request.c_str());
    if (i % 3 == 0) {
      ASSERT_EQ(code, 0);
      ASSERT_EQ(line.rfind("{\"wsq\":\"", 0), 0u) << line.substr(0, 40);
      ASSERT_NE(line.find("\",\"exitcode\":\"0\",\"error\":\"\",\"solution\":\"\"}"), std::string::npos);
    } else {
      const std::string want = i % 3 == 1 ? "208" : "109";
      ASSERT_EQ(code, std::stoi(want));
      ASSERT_EQ(line.rfind("{\"wsq\":\"\",\"jpg\":\"\",\"exitcode\":\"" + want + "\",\"error\":\"", 0), 0u) << line;
    }
  });
}

TEST_F(DllCaller, RequestsThatCannotBeReadStartNothing) {
  const std::wstring argvFile = ownFolder() + L"caller_argv.txt";
  DeleteFileW(argvFile.c_str());
  SetEnvironmentVariableW(L"VELMAR_FAKE_ARGV_FILE", argvFile.c_str());
  setScript("wsq=byte:203 exit=203");
  const auto [nullCode, nullLine] = viaCaptureJson(nullptr);
  const auto [badCode, badLine] = viaCaptureJson("{\"command\":\"c\"}");
  EXPECT_EQ(nullCode, 211);
  EXPECT_EQ(badCode, 211);
  EXPECT_EQ(nullLine.rfind("{\"wsq\":\"\",\"jpg\":\"\",\"exitcode\":\"211\",\"error\":\"No se pudo iniciar", 0), 0u)
      << nullLine;
  EXPECT_EQ(badLine, nullLine);
  EXPECT_EQ(GetFileAttributesW(argvFile.c_str()), INVALID_FILE_ATTRIBUTES) << "a capture application was started";

  // A null line: the capture runs and only the code comes back.
  EXPECT_EQ(captureJson_(jsonRequest("m").c_str(), nullptr), 203);
  EXPECT_NE(GetFileAttributesW(argvFile.c_str()), INVALID_FILE_ATTRIBUTES);
  freeJson_(nullptr);
  SetEnvironmentVariableW(L"VELMAR_FAKE_ARGV_FILE", nullptr);
}

TEST_F(DllCaller, CaptureJsonLeavesTheCallersProcessAsItWas) {
  std::setlocale(LC_ALL, "C");
  const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
  const UINT outputCp = GetConsoleOutputCP(), inputCp = GetConsoleCP();
  const LCID threadLocale = GetThreadLocale();
  setScript("wsq=byte:203 exit=203");
  EXPECT_EQ(viaCaptureJson(jsonRequest("\\u00f1").c_str()).first, 203);
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), localeBefore);
  EXPECT_EQ(GetConsoleOutputCP(), outputCp);
  EXPECT_EQ(GetConsoleCP(), inputCp);
  EXPECT_EQ(GetThreadLocale(), threadLocale);
}

// Four threads at once, each capturing in turn: every call gets its own whole line. (The real capture
// applications answer a second instance with 202; the fake has no such rule, so all succeed.)
TEST_F(DllCaller, CaptureJsonFromSeveralThreadsAtOnce) {
  setScript(successScript());
  const std::string request = jsonRequest("m");
  std::string first;
  std::atomic<int> successes{0};
  std::vector<std::string> lines(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int k = 0; k < 2; ++k) {
        const auto [code, line] = viaCaptureJson(request.c_str());
        if (code == 0) ++successes;
        lines[t * 2 + k] = line;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(successes.load(), 8);
  // Same WSQ and BMP every time, so every line is the same.
  for (const std::string& line : lines) EXPECT_EQ(line, lines[0]);
}

// The exe's capture and toJsonString are forwarders: they resolve to the DLL's functions once the
// DLL's folder is on this program's DLL search path. Windows takes the folder given to SetDllDirectoryW
// for that; Wine resolves a forwarder that GetProcAddress meets only through the search path the
// process started with (its own folder, PATH), so the test is also started with the folder on PATH.
TEST(ExeCaller, ForwardersResolveWithTheDllFolderOnTheSearchPath) {
  ASSERT_EQ(GetModuleHandleW(L"velmar-device.dll"), nullptr);  // nothing resolved by an earlier load
  std::wstring dllFolder = windowsPath(DEVICE_DLL);
  dllFolder.resize(dllFolder.find_last_of(L'\\'));
  ASSERT_TRUE(SetDllDirectoryW(dllFolder.c_str()));
  Module exe(LoadLibraryW(windowsPath(DEVICE_EXE).c_str()));
  ASSERT_TRUE(exe.get()) << "LoadLibraryW failed with " << GetLastError();
  const auto capture = exe.find<CaptureFunction>("capture");
  const auto toJsonString = exe.find<ToJsonStringFunction>("toJsonString");
  SetDllDirectoryW(nullptr);
  ASSERT_TRUE(capture && toJsonString) << "GetProcAddress failed with " << GetLastError();
  EXPECT_NE(GetModuleHandleW(L"velmar-device.dll"), nullptr);

  setScript(successScript());
  biodevice device;
  device.command = narrow(windowsPath(FAKE_CAPTURE_EXE));
  biodeviceInput input;
  input.timeout = "30000";
  biodeviceOutput output;
  EXPECT_EQ(capture(device, input, output), 0);
  EXPECT_EQ(output.wsq.size(), fixtureWsq().size());
  std::string json;
  toJsonString(output, "0", json);
  EXPECT_EQ(json.rfind("{\"wsq\":\"", 0), 0u) << json.substr(0, 40);
  EXPECT_NE(json.find("\",\"exitcode\":\"0\",\"error\":\"\",\"solution\":\"\"}"), std::string::npos);
  SetEnvironmentVariableW(L"VELMAR_FAKE_CAPTURE", nullptr);
}

// cancelCapture from a second thread ends the capture the first thread runs, the way a person closing
// the capture application's window does: that capture answers 208 with its line.
TEST_F(DllCaller, CancelCaptureFromAnotherThreadEndsTheRunningCapture) {
  const auto cancelCapture = dll_.find<cancelCaptureFunction>("cancelCapture");
  ASSERT_TRUE(cancelCapture);
  EXPECT_EQ(cancelCapture(), 0) << "no capture runs yet";
  setScript("window");
  const std::string request = jsonRequest("m");
  std::pair<std::int32_t, std::string> answer;
  std::atomic<bool> done{false};
  std::thread capturing([&] {
    answer = viaCaptureJson(request.c_str());
    done = true;
  });
  // The window shows a moment after the capture application starts; until then nothing is cancelled.
  int cancelled = 0;
  for (int i = 0; i < 600 && cancelled == 0 && !done; ++i) {
    cancelled = cancelCapture();
    if (cancelled == 0) Sleep(50);
  }
  capturing.join();
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(answer.first, 208);
  EXPECT_EQ(answer.second.rfind("{\"wsq\":\"\",\"jpg\":\"\",\"exitcode\":\"208\",\"error\":\"", 0), 0u) << answer.second;
  EXPECT_EQ(cancelCapture(), 0) << "the capture has ended";
}

// A capture through the DLL writes the host log under the caller's local application-data folder
// (pointed at a folder of this run): its summary line is in the file as soon as the call returns, and
// no byte of the capture is.
TEST_F(DllCaller, CaptureWritesTheHostLogWithItsSummaryLine) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring appData = std::wstring(temp) + L"velmar-caller-log-" + std::to_wstring(GetCurrentProcessId());
  SetEnvironmentVariableW(L"LOCALAPPDATA", appData.c_str());
  setScript(successScript());
  const auto [code, line] = viaCaptureJson(jsonRequest("Coloque el dedo").c_str());
  const std::wstring folder = appData + L"\\velmar\\velmar-device\\";
  std::string log;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"*.log").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::ifstream in((folder + found.cFileName).c_str(), std::ios::binary);
      log.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
  RemoveDirectoryW((appData + L"\\velmar").c_str());
  RemoveDirectoryW(appData.c_str());
  ASSERT_EQ(code, 0) << line.substr(0, 200);
  const std::string summary = " LOG_INFO capture " + std::to_string(GetCurrentProcessId()) + "-";
  const std::size_t at = log.find(summary);
  ASSERT_NE(at, std::string::npos) << "no summary line in:\n" << log;
  const std::string summaryLine = log.substr(at, log.find("\r\n", at) - at);
  EXPECT_NE(summaryLine.find(" ended: application=" + narrow(windowsPath(FAKE_CAPTURE_EXE)) + " result=0 wsq=" +
                             std::to_string(fixtureWsq().size()) + " bmp="),
            std::string::npos)
      << summaryLine;
  for (const char* phase : {"pipes ready ", "child started ", "first byte ", "child ended ", "answer encoded "}) {
    const std::size_t p = summaryLine.find(phase);
    ASSERT_NE(p, std::string::npos) << phase;
    EXPECT_NE(summaryLine[p + std::strlen(phase)], '-') << phase << "not reached: " << summaryLine;
  }
  // Neither the WSQ nor the answer's base64 of it.
  const std::vector<unsigned char>& wsq = fixtureWsq();
  EXPECT_EQ(log.find(std::string(wsq.begin() + 40, wsq.begin() + 80)), std::string::npos);
  const std::size_t wsqStart = line.find("\"wsq\":\"") + 7;
  EXPECT_EQ(log.find(line.substr(wsqStart + 40, 60)), std::string::npos);
}

}  // namespace
