// process_counts_win.h: counts of this process's open handles and threads, for tests that check that a
// capture leaves nothing behind. Header-only; Windows test programs only.
#pragma once

#include <windows.h>
// Toolhelp and the process-memory counters need the Windows types first.
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>

#include <cstdint>

#include "win/unique_handle.h"

namespace velmar::testing {

// Handle values below 65536 that name an open handle of this process, counted one by one. Unlike
// GetProcessHandleCount (which Wine answers with 0) this works on Windows and under Wine.
inline DWORD probeOpenHandles() {
  DWORD count = 0;
  for (std::uintptr_t value = 4; value < 65536; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// Threads of this process in a Toolhelp snapshot; 0 when no snapshot can be taken.
inline DWORD threadCount() {
  velmar::win::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  DWORD count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  return count;
}

// This process's private bytes. Wine answers 0 for PrivateUsage; the commit charge (PagefileUsage)
// moves with the heap there. Link psapi.
inline SIZE_T privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  return std::max(memory.PrivateUsage, memory.PagefileUsage);
}

}  // namespace velmar::testing
