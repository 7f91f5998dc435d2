// log4z_test_support_win.h: helpers for the logger's Windows tests: a fresh directory per test, file
// listing and reading, local times for an injected clock. Test code only.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "log_file_win.h"
#include "win/utf8_wide.h"

namespace velmar::log4z::testing {

// A new empty directory under the temporary folder, removed with its contents at the end.
class TestDir {
 public:
  TestDir() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = win::utf8FromWide(temp) + "log4z_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + "_" + std::to_string(GetTickCount()) + "\\";
    CreateDirectoryW(win::wideFromUtf8(path_).c_str(), nullptr);
  }
  ~TestDir() { removeTree(win::wideFromUtf8(path_.substr(0, path_.size() - 1))); }
  TestDir(const TestDir&) = delete;
  TestDir& operator=(const TestDir&) = delete;

  // Ends in '\'.
  const std::string& path() const { return path_; }

 private:
  static void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = dir + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          removeTree(full);
        } else {
          DeleteFileW(full.c_str());
        }
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
  }

  std::string path_;
};

// Names of the plain files in a directory, sorted.
inline std::vector<std::string> filesIn(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(win::wideFromUtf8(dir + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(win::utf8FromWide(data.cFileName));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

inline bool fileExists(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(win::wideFromUtf8(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string readFile(const std::string& name) {
  std::string bytes;
  std::FILE* f = _wfopen(win::wideFromUtf8(name).c_str(), L"rb");
  if (!f) return bytes;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

// Lines without their CR LF; a final piece without CR LF is returned as a line of its own.
inline std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t crlf; (crlf = bytes.find("\r\n", from)) != std::string::npos; from = crlf + 2) {
    lines.push_back(bytes.substr(from, crlf - from));
  }
  if (from < bytes.size()) lines.push_back(bytes.substr(from));
  return lines;
}

// Seconds since 1970 of a local date and time (the C runtime's idea of the local zone).
inline std::int64_t localSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

// A clock a test sets by hand; counts how often it was read.
struct FakeClock {
  std::atomic<std::int64_t> micros{0};
  std::atomic<int> reads{0};

  void setLocal(int year, int month, int day, int hour, int minute, int second, int millis = 0) {
    micros = localSeconds(year, month, day, hour, minute, second) * 1000000 + millis * 1000;
  }
  void advanceSeconds(std::int64_t seconds) { micros += seconds * 1000000; }
  std::int64_t operator()() {
    ++reads;
    return micros.load();
  }
};

inline std::string pid6() {
  char text[32];
  std::snprintf(text, sizeof text, "%06lu", GetCurrentProcessId());
  return text;
}

inline std::string tid4() {
  char text[32];
  std::snprintf(text, sizeof text, "%04lu", GetCurrentThreadId());
  return text;
}

}  // namespace velmar::log4z::testing
