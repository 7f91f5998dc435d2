#include "request_answer_win.h"

#include <exception>
#include <utility>

#include "answer_line.h"
#include "biodevice.h"
#include "capture_executor_win.h"
#include "host_log.h"
#include "json_result_win.h"
#include "request_reader.h"
#include "result_codes.h"

RequestAnswer refusedRequest(std::string why) noexcept {
  RequestAnswer answer;
  answer.code = DEV_ERR_INTERNAL_APP;
  try {
    hostLog(LOG_ERROR, "invalid request line: " + why);
    answer.refusal = std::move(why);
    answer.json = failedCaptureJson(answer.code);
  } catch (...) {
    // Only an allocation can fail here; the code alone is still the answer.
  }
  return answer;
}

RequestAnswer answerRequestLine(std::string_view line) noexcept {
  try {
    CaptureRequest request;
    try {
      request = readRequestLine(line);
    } catch (const RequestLineError& e) {
      return refusedRequest(e.what());
    }
    hostLog(LOG_DEBUG, "MENSAJE : " + request.message);

    biodevice device;
    device.command = std::move(request.command);
    biodeviceInput input;
    input.message = std::move(request.message);
    input.timeout = std::move(request.timeout);
    input.debugLevel = std::move(request.debugLevel);
    biodeviceOutput output;

    RequestAnswer answer;
    answer.read = true;
    answer.code = runCapture(device, input, output, request.text);
    if (answer.code != DEV_SUCCESS) {
      answer.json = failedCaptureJson(answer.code);
    } else {
      jsonFromOutput(output, "0", answer.json);
    }
    return answer;
  } catch (...) {
    // An allocation failure outside the capture: answered as a failure inside the host.
    RequestAnswer answer;
    answer.read = true;
    answer.code = DEV_ERR_INTERNAL_APP;
    return answer;
  }
}
