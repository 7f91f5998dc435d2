// system_probe_win.cpp: RtlGetVersion (GetVersionEx answers what the program's manifest allows, not the
// real system) and Wine's wine_get_version, both looked up in ntdll at run time.
#include "system_probe_win.h"

#include <windows.h>

#include <string>

namespace {

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
using WineGetVersionFn = const char*(CDECL*)();

template <class F>
F ntdllFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(ntdll, name))) : nullptr;
}

}  // namespace

HostFacts probeHost() {
  HostFacts h;
  h.bitness = static_cast<int>(sizeof(void*) * 8);

  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  const WORD arch = info.wProcessorArchitecture;
  h.systemBitness = arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_ARM64 ||
                            arch == PROCESSOR_ARCHITECTURE_IA64
                        ? 64
                        : 32;

  if (auto rtlGetVersion = ntdllFunction<RtlGetVersionFn>("RtlGetVersion")) {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (rtlGetVersion(&v) == 0) {
      h.system = std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + "." +
                 std::to_string(v.dwBuildNumber);
    }
  }
  if (auto wineGetVersion = ntdllFunction<WineGetVersionFn>("wine_get_version")) {
    if (const char* v = wineGetVersion()) h.wine = v;
  }
  return h;
}
