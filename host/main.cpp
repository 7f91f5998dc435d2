// main.cpp: the console program velmar-device. It reads one request line from standard input (a JSON
// object with "command" and "message", or the fixed form {"command":"...","message":"..."} read by
// position), runs one capture with the capture application named by the command, prints the JSON line
// of the result, runs "pause" and ends with status 0. A request line it cannot use ends the program
// with a message on standard error and status 1. The capture and toJsonString it exports are
// forwarders to velmar-device.dll (velmar-device-exe.def).
// With the single argument --diagnose it inspects the installation instead, prints a few Spanish lines
// for a person and then the report as its last line, one JSON line, and ends with status 0 when every
// check passes, 1 otherwise (no request, no pause, no log).
// With --serve it is the local web service instead (serve_win.h).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <locale>
#include <string>
#include <vector>

#include "answer_line.h"
#include "diagnose_command_win.h"
#include "host_log_route.h"
#include "request_answer_win.h"
#include "serve_win.h"

namespace {

constexpr UINT kUtf8CodePage = 65001;
constexpr std::size_t kStdoutBufferBytes = 1000;
char stdoutBuffer[kStdoutBufferBytes];

// The user's default locale for standard input. The C++ runtime may not know the name the
// environment gives; standard input then keeps the classic locale, which reads the same bytes.
void useDefaultLocaleForInput() {
  try {
    std::cin.imbue(std::locale(""));
  } catch (const std::exception&) {
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--diagnose") return runDiagnoseCommand();
  routeHostLogToLog4z();
  if (argc >= 2 && std::wstring(argv[1]) == L"--serve") return serveMain(std::vector<std::wstring>(argv + 1, argv + argc));

  // Without a console (redirected standard streams) the code-page calls fail; nothing depends on them.
  SetConsoleOutputCP(kUtf8CodePage);
  SetConsoleCP(kUtf8CodePage);
  std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);

  useDefaultLocaleForInput();
  std::string line;
  std::getline(std::cin, line);

  const RequestAnswer answer = answerRequestLine(line);
  if (!answer.read) {
    // Standard output stays empty, so a caller reading the JSON line sees nothing.
    std::fprintf(stderr, "velmar-device: invalid request line: %s\n", answer.refusal.c_str());
    std::fflush(stderr);
    return 1;
  }
  const std::string output = answerOutput(answer.json);
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fflush(stdout);

  std::system("pause");
  return 0;
}
