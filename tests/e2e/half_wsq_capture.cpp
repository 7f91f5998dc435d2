// half_wsq_capture.cpp: a capture application that dies in the middle of its delivery. It takes the
// host's command line, writes the first half of the WSQ file named by the environment variable
// VELMAR_HALF_WSQ_FILE into the response pipe (-p) in pieces of 4096 bytes, as velmar-capture-a does,
// and then ends abruptly (TerminateProcess on itself, exit code 3) without flushing or closing the
// pipe and without touching the image pipe.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  std::wstring responsePipe;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wstring(argv[i]) == L"-p") responsePipe = argv[i + 1];
  }
  wchar_t file[1024];
  const DWORD n = GetEnvironmentVariableW(L"VELMAR_HALF_WSQ_FILE", file, 1024);
  std::vector<char> wsq;
  if (n > 0 && n < 1024) {
    std::ifstream in(file, std::ios::binary);
    wsq.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (responsePipe.empty() || wsq.size() < 4) {
    std::fprintf(stderr, "half_wsq_capture: needs -p and a WSQ file in VELMAR_HALF_WSQ_FILE\n");
    return 2;
  }
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
    pipe = CreateFileW(responsePipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) Sleep(20);
  }
  if (pipe == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "half_wsq_capture: cannot open the response pipe, error %lu\n", GetLastError());
    return 2;
  }
  const std::size_t half = wsq.size() / 2;
  for (std::size_t at = 0; at < half;) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(4096, half - at));
    DWORD written = 0;
    if (!WriteFile(pipe, wsq.data() + at, piece, &written, nullptr)) break;
    at += written;
  }
  // Standard error only: the host's standard output carries the JSON line.
  std::fprintf(stderr, "half_wsq_capture: wrote %zu of %zu bytes, dying\n", half, wsq.size());
  TerminateProcess(GetCurrentProcess(), 3);
  return 3;
}
