// service_answers.h: the JSON bodies of the local web service's own answers and its log line for a
// request. Portable; plain inputs and outputs.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// GET /v1/info: {"version": "...", "busy": false, "devices": [{"name": "futronic", "installed": true}, ...]}.
std::string infoJson(std::string_view version, bool busy,
                     const std::vector<std::pair<std::string, bool>>& devicesInstalled);

// POST /v1/cancel: {"cancelled": true} or {"cancelled": false}.
std::string cancelJson(bool cancelled);

// The host-log line of one answered request: method, path, origin ("-" for none), status and the
// milliseconds it took; for a capture also the milliseconds of the capture's answer path itself
// (captureMilliseconds >= 0), so that what the HTTP layer adds can be told apart. Received texts are cut short and control characters replaced, so a request
// cannot forge log lines; nothing of the body ever goes into it.
std::string requestLogLine(std::string_view method, std::string_view path, std::string_view origin, int status,
                           long long milliseconds, long long captureMilliseconds = -1);
