// main.cpp: the console program velmar-device. It reads one request line
// {"command":"...","message":"..."} from standard input, runs one capture with the capture application
// named by the command, prints the JSON line of the result, runs "pause" and ends with status 0.
// A request line it cannot use ends the program with a message on standard error and status 1.
// With the single argument --diagnose it inspects the installation instead, prints the report as one
// JSON line and ends with status 0 when every check passes, 1 otherwise (no request, no pause, no log).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <locale>
#include <string>

#include "answer_line.h"
#include "device_exports.h"
#include "diagnose_json.h"
#include "host_log.h"
#include "host_log_route.h"
#include "request_line.h"

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

// A request line the program cannot use: logged, reported on standard error (standard output stays
// empty, so a caller reading the JSON line sees nothing), and the status the program ends with.
int refuseRequest(const std::string& why) {
  hostLog(LOG_ERROR, "invalid request line: " + why);
  std::fprintf(stderr, "velmar-device: invalid request line: %s\n", why.c_str());
  std::fflush(stderr);
  return 1;
}

int diagnose() {
  char* line = nullptr;
  const std::int32_t status = diagnoseJson(&line);
  if (line) {
    std::fputs(line, stdout);
    std::free(line);
  }
  std::fputc('\n', stdout);
  std::fflush(stdout);
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--diagnose") return diagnose();
  routeHostLogToLog4z();

  // Without a console (redirected standard streams) the code-page calls fail; nothing depends on them.
  SetConsoleOutputCP(kUtf8CodePage);
  SetConsoleCP(kUtf8CodePage);
  std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);

  useDefaultLocaleForInput();
  std::string line;
  std::getline(std::cin, line);

  biodevice device;
  biodeviceInput input;
  try {
    const ConsoleRequest request = cutRequestLine(line);
    device.command = request.command;
    input.message = reduceToLatin1(request.message);
  } catch (const RequestLineError& e) {
    return refuseRequest(e.what());
  } catch (const std::logic_error& e) {
    return refuseRequest(std::string("message: ") + e.what());
  }
  hostLog(LOG_DEBUG, "MENSAJE : " + input.message);

  input.timeout = "15000";
  input.debugLevel = "4";
  biodeviceOutput output;
  const std::int32_t result = capture(device, input, output);

  std::string json;
  if (result != 0) {
    json = failedCaptureJson(result);
  } else {
    toJsonString(output, "0", json);
  }
  const std::string answer = answerOutput(json);
  std::fwrite(answer.data(), 1, answer.size(), stdout);
  std::fflush(stdout);

  std::system("pause");
  return 0;
}
