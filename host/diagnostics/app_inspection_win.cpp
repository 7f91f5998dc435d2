// app_inspection_win.cpp: reading programs and libraries as files (never loading them) and looking
// libraries up in the loader's order: the application's folder, the system folder of the application's
// bitness, the Windows folder.
#include "app_inspection_win.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "api_failure.h"
#include "capture_app_table.h"
#include "version_resource_win.h"
#include "windows_libraries.h"
#include "win/utf8_wide.h"
#include "win/last_error.h"
#include "win/unique_handle.h"

namespace {

// Far above any program or library; bounds what a damaged file can make the host read.
constexpr LONGLONG kMaxImageBytes = 256LL << 20;

using FindHandle = velmar::win::Unique<HANDLE, &FindClose>;

std::vector<std::uint8_t> readFileBytes(const std::wstring& path) {
  velmar::win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) velmar::win::throwLastError("CreateFile");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) velmar::win::throwLastError("GetFileSizeEx");
  if (size.QuadPart > kMaxImageBytes) throw std::runtime_error("file too large");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) velmar::win::throwLastError("ReadFile");
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

// The PE image of a file, or the reason it cannot be read.
PeImage readImage(const std::wstring& path, std::string& error) {
  try {
    return readPeImage(readFileBytes(path));
  } catch (const std::exception& e) {
    error = e.what();
    return {};
  }
}

bool isFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring fullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(path.c_str(), sizeof buffer / sizeof buffer[0], buffer, nullptr);
  return n == 0 || n >= sizeof buffer / sizeof buffer[0] ? path : std::wstring(buffer, n);
}

template <class Get>
std::wstring systemText(Get get) {
  wchar_t buffer[MAX_PATH];
  const UINT n = get(buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

std::wstring windowsFolder() {
  return systemText([](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); });
}

// The system folder a program of the given bitness loads its system libraries from, as this process can
// read it (file-system redirection applies to a 32-bit host); empty where Windows has no such folder (a
// 32-bit Windows for 64-bit programs, a 64-bit one without its 32-bit part).
std::wstring systemFolderFor(int bitness) {
  const int own = static_cast<int>(sizeof(void*) * 8);
  if (bitness == own) return systemText([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); });
#ifdef _WIN64
  return systemText([](wchar_t* b, UINT n) { return GetSystemWow64DirectoryW(b, n); });
#else
  BOOL wow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) return windowsFolder() + L"\\Sysnative";
  return {};
#endif
}

// Whether Windows runs programs of this bitness: its system folder for them holds the core libraries.
bool systemRuns(int bitness) {
  const std::wstring folder = systemFolderFor(bitness);
  return !folder.empty() && isFile(folder + L"\\ntdll.dll") && isFile(folder + L"\\kernel32.dll");
}

bool hasFolder(const std::wstring& name) { return name.find_first_of(L"\\/:") != std::wstring::npos; }

LibraryFacts inspectLibrary(const std::wstring& appFolder, int appBitness, const PeImportedLibrary& import) {
  LibraryFacts lib;
  lib.name = import.name;
  const std::wstring name = velmar::win::wideFromUtf8(import.name);
  lib.windowsLibrary = isWindowsLibraryName(import.name);
  const std::pair<std::wstring, const char*> places[] = {
      {appFolder, "app"},
      {systemFolderFor(appBitness), "system"},
      {windowsFolder(), "windows"},
  };
  for (const auto& [folder, location] : places) {
    // A name with a folder in it is never looked up outside the places above.
    if (folder.empty() || hasFolder(name)) continue;
    const std::wstring path = folder + L"\\" + name;
    if (!isFile(path)) continue;
    lib.path = velmar::win::utf8FromWide(path);
    lib.location = location;
    const PeImage image = readImage(path, lib.readError);
    lib.bitness = image.bitness;
    lib.machine = image.machine;
    lib.standIn = describesStandIn(readVersionResource(path).fileDescription);
    for (const PeImportedFunction& f : import.functions) {
      lib.functions.push_back({f, lib.readError.empty() && image.provides(f)});
    }
    return lib;
  }
  for (const PeImportedFunction& f : import.functions) lib.functions.push_back({f, false});
  // Missing here but among the system libraries of the other bitness: Windows' own.
  const std::wstring other = systemFolderFor(appBitness == 32 ? 64 : 32);
  if (!other.empty() && !hasFolder(name) && isFile(other + L"\\" + name)) lib.windowsLibrary = true;
  return lib;
}

AppFacts inspectApp(const std::wstring& hostFolder, const std::wstring& relative) {
  AppFacts app;
  std::wstring slashed = relative;
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  app.path = velmar::win::utf8FromWide(slashed);
  const std::wstring path = hostFolder + L"\\" + relative;
  app.fullPath = velmar::win::utf8FromWide(path);
  const PeImage image = readImage(path, app.readError);
  if (!app.readError.empty()) return app;
  app.bitness = image.bitness;
  app.machine = image.machine;
  app.systemSupport = systemRuns(image.bitness);
  const VersionResource version = readVersionResource(path);
  app.version = version.productVersion;

  const std::wstring folder = folderOf(path);
  for (const PeImportedLibrary& import : image.imports) app.libraries.push_back(inspectLibrary(folder, image.bitness, import));
  if (const CaptureAppTraits* traits = findCaptureApp(app.fileName())) {
    for (const std::string& name : traits->files) {
      std::wstring relativeFile = velmar::win::wideFromUtf8(name);
      std::replace(relativeFile.begin(), relativeFile.end(), L'/', L'\\');
      const std::wstring filePath = fullPath(folder + L"\\" + relativeFile);
      app.files.push_back({name, velmar::win::utf8FromWide(filePath), isFile(filePath)});
    }
  }
  return app;
}

// Names in folder matching pattern (FindFirstFile syntax), directories or files.
std::vector<std::wstring> listFolder(const std::wstring& folder, const wchar_t* pattern, bool directories) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW((folder + L"\\" + pattern).c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directories) names.push_back(name);
  } while (FindNextFileW(find.get(), &data));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::wstring folderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::vector<AppFacts> inspectCaptureApps(const std::wstring& hostFolder) {
  std::vector<AppFacts> apps;
  const std::wstring capture = hostFolder + L"\\capture";
  for (const std::wstring& dir : listFolder(capture, L"*", true)) {
    for (const std::wstring& exe : listFolder(capture + L"\\" + dir, L"*.exe", false)) {
      apps.push_back(inspectApp(hostFolder, L"capture\\" + dir + L"\\" + exe));
    }
  }
  return apps;
}
