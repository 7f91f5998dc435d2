// c_interface_win.cpp: the C interface of velmar-device.dll (velmar_device.h). Lines are allocated
// here and freed here, so callers never mix C runtimes. Any thread; nothing is shared between calls
// but the host log, which runs while a capture does.
#include "velmar_device.h"

#include <cstdlib>
#include <cstring>

#include "dll_host_log_win.h"
#include "request_answer_win.h"
#include "running_captures_win.h"

int32_t VELMAR_DEVICE_CALL captureJson(const char* request, char** line) {
  DllHostLogScope log;
  const RequestAnswer answer = request ? answerRequestLine(request) : refusedRequest("no request");
  if (line) {
    // malloc and free of this DLL's runtime: diagnoseJson's lines are allocated the same way.
    *line = static_cast<char*>(std::malloc(answer.json.size() + 1));
    if (*line) std::memcpy(*line, answer.json.c_str(), answer.json.size() + 1);
  }
  return answer.code;
}

void VELMAR_DEVICE_CALL freeJson(char* line) { std::free(line); }

int32_t VELMAR_DEVICE_CALL cancelCapture(void) { return cancelRunningCaptures(); }
