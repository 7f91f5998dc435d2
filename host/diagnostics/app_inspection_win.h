// app_inspection_win.h: the capture applications installed beside the host, each read from its file: its
// bitness, version, the libraries it imports (found where the system loader would find them, with their
// bitness, origin and exports) and the files it opens.
#pragma once

#include <string>
#include <vector>

#include "diagnostic_facts.h"

// Every .exe one folder below hostFolder\capture, sorted by path.
std::vector<AppFacts> inspectCaptureApps(const std::wstring& hostFolder);

// The folder of a full path, without its trailing separator.
std::wstring folderOf(const std::wstring& path);
