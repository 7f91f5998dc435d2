#include "log_file_win.h"

#include <windows.h>

#include <vector>

#include "log_file_rules.h"
#include "win/utf8_wide.h"

namespace velmar::log4z {

bool LogFile::open(const std::string& name, std::uint64_t& size) {
  close();
  const std::wstring wide = win::wideFromUtf8(name);
  if (wide.empty()) return false;
  std::FILE* f = _wfopen(wide.c_str(), L"ab");
  if (!f) return false;
  file_.reset(f);
  // In append mode the position is only defined after a seek; the end is the current size.
  if (_fseeki64(f, 0, SEEK_END) != 0) {
    size = 0;
    return true;
  }
  const long long end = _ftelli64(f);
  size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  return true;
}

bool LogFile::write(const char* data, std::size_t n) noexcept {
  return file_ && std::fwrite(data, 1, n, file_.get()) == n;
}

void LogFile::flush() noexcept {
  if (file_) std::fflush(file_.get());
}

void createDirectories(std::string_view directory) {
  for (const std::string& level : directoryLevels(directory)) {
    const std::wstring wide = win::wideFromUtf8(level);
    if (wide.empty()) return;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    CreateDirectoryW(wide.c_str(), nullptr);
  }
}

bool deleteLogFile(const std::string& name) {
  const std::wstring wide = win::wideFromUtf8(name);
  return !wide.empty() && DeleteFileW(wide.c_str()) != FALSE;
}

std::string currentProcessName() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return "process";
    if (n < buffer.size()) {
      std::wstring_view path(buffer.data(), n);
      const std::size_t slash = path.find_last_of(L"\\/");
      if (slash != std::wstring_view::npos) path.remove_prefix(slash + 1);
      const std::size_t dot = path.find_last_of(L'.');
      if (dot != std::wstring_view::npos && dot > 0) path = path.substr(0, dot);
      const std::string name = win::utf8FromWide(path);
      return name.empty() ? "process" : name;
    }
    if (buffer.size() >= 32768) return "process";
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace velmar::log4z
