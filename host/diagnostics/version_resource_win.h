// version_resource_win.h: a program's or library's version resource (VERSIONINFO), read from its file.
#pragma once

#include <string>

struct VersionResource {
  bool present = false;
  std::string productVersion;   // "ProductVersion", else the fixed product version "a.b.c.d"
  std::string fileDescription;  // "FileDescription"; empty when missing
};

// The file's version resource; present is false for a file without one (or one that cannot be read).
VersionResource readVersionResource(const std::wstring& path);
