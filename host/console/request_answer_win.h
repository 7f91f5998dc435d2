// request_answer_win.h: one request line answered the way velmar-device's console answers it: the
// request read (request_reader.h), the capture run, and the JSON line of its result. Shared by the
// console program and captureJson, so both give the same line for the same request. Touches nothing
// of the process beyond the capture itself (no code page, locale or standard stream); any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct RequestAnswer {
  bool read = false;    // false: the line could not be read and no capture was started
  std::string refusal;  // why, when not read
  std::int32_t code = 0;
  std::string json;     // the JSON line without its line feed; for an unread line the one of 211
};

// Reads line and, when it reads, runs one capture with the request's command, message, timeout and
// debug level. A failed capture gives the line of failedCaptureJson, a successful one toJsonString's;
// when that cannot be built the capture is answered as failed with 299 and its line. The capture's
// summary line is logged once its answer is made. A refused line is logged as "invalid request line:
// <why>" and answered with 211. Never throws.
RequestAnswer answerRequestLine(std::string_view line) noexcept;

// The answer to a line that could not be read, for the reason given.
RequestAnswer refusedRequest(std::string why) noexcept;
