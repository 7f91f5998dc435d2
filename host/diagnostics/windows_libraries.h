// windows_libraries.h: whether a library an application imports is one of Windows' own, which the
// system provides and nobody may copy beside a program. Portable.
#pragma once

#include <string>

// Compared without regard to ASCII case: "KERNEL32.dll", "user32.DLL", the API sets "api-ms-win-…"
// and "ext-ms-win-…". The vendor's and the C++ redistributable's libraries are not Windows' own.
bool isWindowsLibraryName(const std::string& name);
