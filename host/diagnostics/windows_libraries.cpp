// windows_libraries.cpp: the libraries every supported Windows ships in its system folders.
#include "windows_libraries.h"

#include <algorithm>
#include <iterator>

#include "diagnostic_facts.h"

namespace {

const char* const kWindowsLibraries[] = {
    "advapi32.dll", "bcrypt.dll",   "cfgmgr32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll",
    "dbghelp.dll",  "dwmapi.dll",   "gdi32.dll",    "gdiplus.dll",  "hid.dll",      "imm32.dll",
    "iphlpapi.dll", "kernel32.dll", "kernelbase.dll", "msimg32.dll", "msvcrt.dll",  "netapi32.dll",
    "ntdll.dll",    "ole32.dll",    "oleaut32.dll", "powrprof.dll", "psapi.dll",    "rpcrt4.dll",
    "secur32.dll",  "setupapi.dll", "shell32.dll",  "shlwapi.dll",  "ucrtbase.dll", "user32.dll",
    "userenv.dll",  "uxtheme.dll",  "version.dll",  "winhttp.dll",  "wininet.dll",  "winmm.dll",
    "winspool.drv", "winusb.dll",   "ws2_32.dll",   "wsock32.dll",  "wtsapi32.dll",
};

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

bool isWindowsLibraryName(const std::string& name) {
  const std::string n = asciiLower(name);
  if (startsWith(n, "api-ms-win-") || startsWith(n, "ext-ms-win-")) return true;
  return std::any_of(std::begin(kWindowsLibraries), std::end(kWindowsLibraries),
                     [&](const char* w) { return n == w; });
}
