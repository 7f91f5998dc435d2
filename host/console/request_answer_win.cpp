#include "request_answer_win.h"

#include <chrono>
#include <exception>
#include <utility>

#include "answer_line.h"
#include "biodevice.h"
#include "capture_executor_win.h"
#include "capture_summary.h"
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
    const auto began = std::chrono::steady_clock::now();

    biodevice device;
    device.command = std::move(request.command);
    biodeviceInput input;
    input.message = std::move(request.message);
    input.timeout = std::move(request.timeout);
    input.debugLevel = std::move(request.debugLevel);
    biodeviceOutput output;

    RequestAnswer answer;
    answer.read = true;
    CaptureSummary summary;
    answer.code = runCapture(device, input, output, request.text, &summary);
    if (answer.code == DEV_SUCCESS) {
      const std::string fault = jsonFromOutput(output, "0", answer.json);
      if (!fault.empty()) {
        // The caller still gets one JSON line: the capture failed as far as it can tell.
        hostLog(LOG_ERROR, "capture " + summary.id + ": encoding the answer failed at the JPEG step: " + fault +
                               "; answered " + std::to_string(DEV_ERR_FAILURE));
        answer.code = DEV_ERR_FAILURE;
      }
    }
    if (answer.code != DEV_SUCCESS) answer.json = failedCaptureJson(answer.code);
    summary.result = answer.code;
    summary.answerBytes = answer.json.size();
    summary.answerEncoded = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - began)
                                .count();
    hostLog(LOG_INFO, summaryLine(summary));
    return answer;
  } catch (...) {
    // An allocation failure outside the capture: answered as a failure inside the host.
    RequestAnswer answer;
    answer.read = true;
    answer.code = DEV_ERR_INTERNAL_APP;
    return answer;
  }
}
