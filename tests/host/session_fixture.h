// session_fixture.h: what the capture session tests share: the fake capture application's path, a
// log collector, and reading what the fake received on its command line.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "biodevice.h"
#include "device_exports.h"
#include "host_log.h"

namespace session_test {

struct LogLine {
  int level;
  std::string text;
};

// Collects every host log line while it lives.
class LogCollector {
 public:
  LogCollector() {
    previous_ = setHostLogSink([this](int level, const std::string& text) {
      std::lock_guard<std::mutex> hold(lock_);
      lines_.push_back({level, text});
    });
  }
  ~LogCollector() { setHostLogSink(previous_); }

  std::vector<LogLine> lines() {
    std::lock_guard<std::mutex> hold(lock_);
    return lines_;
  }
  bool has(int level, const std::string& text) {
    for (const LogLine& line : lines()) {
      if (line.level == level && line.text == text) return true;
    }
    return false;
  }
  bool hasPrefix(int level, const std::string& prefix) {
    for (const LogLine& line : lines()) {
      if (line.level == level && line.text.rfind(prefix, 0) == 0) return true;
    }
    return false;
  }

 private:
  std::mutex lock_;
  std::vector<LogLine> lines_;
  HostLogSink previous_;
};

inline void setEnv(const wchar_t* name, const std::wstring& value) {
  SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

inline std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// A per-test file name in the temporary folder, in the ANSI form capture and the fake both take.
inline std::string tempPath(const std::string& leaf) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + leaf;
}

inline std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The fake's path as a Windows program sees it (the build passes it with forward slashes).
inline std::string fakeExe() {
  std::string path = FAKE_CAPTURE_EXE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

inline biodevice fakeDevice() {
  biodevice device;
  device.command = fakeExe();
  return device;
}

inline biodeviceInput input(std::string message = "", std::string timeout = "30000", std::string level = "4") {
  biodeviceInput in;
  in.message = std::move(message);
  in.timeout = std::move(timeout);
  in.debugLevel = std::move(level);
  return in;
}

// The value after option in an argument vector; "<absent>" when missing.
inline std::string optionValue(const std::vector<std::string>& args, const std::string& option) {
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == option) return args[i + 1];
  }
  return "<absent>";
}

}  // namespace session_test
