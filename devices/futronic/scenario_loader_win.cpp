// scenario_loader_win.cpp: locating, reading and caching the scenario of the virtual Futronic scanner.
#include "scenario_loader_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "fit_to_frame.h"
#include "grey_image_file.h"
#include "synthetic_frame.h"
#include "win/unique_handle.h"

namespace velmar::futronic {
namespace {

using velmar::win::UniqueHandle;

std::wstring folderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring thisModuleFolder() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&thisModuleFolder), &module))
    return L".";
  wchar_t path[1024];
  const DWORD n = GetModuleFileNameW(module, path, 1024);
  if (n == 0 || n >= 1024) return L".";
  return folderOf(std::wstring(path, n));
}

bool readWholeFile(const std::wstring& path, std::vector<std::uint8_t>* out) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return false;
  out->resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  std::size_t done = 0;
  while (done < out->size()) {
    if (!ReadFile(file.get(), out->data() + done, static_cast<DWORD>(out->size() - done), &got, nullptr) || got == 0)
      return false;
    done += got;
  }
  return true;
}

std::wstring widen(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

bool isAbsolute(const std::wstring& p) {
  return (p.size() >= 2 && p[1] == L':') || (!p.empty() && (p[0] == L'\\' || p[0] == L'/'));
}

LoadedScenario load() {
  LoadedScenario loaded;
  std::wstring path;
  wchar_t env[1024];
  const DWORD n = GetEnvironmentVariableW(L"VIRTUAL_SCANNER_SCENARIO", env, 1024);
  if (n > 0 && n < 1024) {
    path.assign(env, n);
  } else {
    path = thisModuleFolder() + L"\\virtual-scanner.ini";
  }
  std::vector<std::uint8_t> bytes;
  if (readWholeFile(path, &bytes)) {
    loaded.scenario = parseScenario(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())).scenario;
    loaded.folder = folderOf(path);
  } else {
    loaded.folder = thisModuleFolder();  // built-in default
  }
  return loaded;
}

}  // namespace

const LoadedScenario& loadedScenario() {
  static const LoadedScenario loaded = load();
  return loaded;
}

const std::vector<std::uint8_t>& fingerFrame() {
  static const std::vector<std::uint8_t> frame = [] {
    const LoadedScenario& l = loadedScenario();
    const Scenario& s = l.scenario;
    if (s.image == "synthetic") return syntheticFrame(s);
    std::wstring path = widen(s.image);
    if (!isAbsolute(path)) path = l.folder + L"\\" + path;
    std::vector<std::uint8_t> bytes;
    velmar::synthetic::GreyImage picture;
    std::string why;
    if (!readWholeFile(path, &bytes) || !velmar::synthetic::decodeGreyImage(bytes, picture, why)) {
      trace("picture '%s' unusable: %s", s.image.c_str(), why.empty() ? "cannot read" : why.c_str());
      // A blank frame: the loop never sees a finger, which the test then notices.
      return std::vector<std::uint8_t>(static_cast<std::size_t>(s.width) * s.height, 255);
    }
    return fitToFrame(picture, s.width, s.height);
  }();
  return frame;
}

void trace(const char* format, ...) {
  const std::string& file = loadedScenario().scenario.trace;
  if (file.empty()) return;
  char line[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line - 2, format, args);
  va_end(args);
  if (n < 0) return;
  std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(n), sizeof line - 3);
  line[len++] = '\n';
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  std::wstring path = widen(file);
  if (!isAbsolute(path)) path = loadedScenario().folder + L"\\" + path;
  const DWORD saved = GetLastError();  // tracing must not disturb the error the caller reads
  UniqueHandle out(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (out) {
    DWORD written = 0;
    WriteFile(out.get(), line, static_cast<DWORD>(len), &written, nullptr);
  }
  out.reset();
  SetLastError(saved);
}

}  // namespace velmar::futronic
