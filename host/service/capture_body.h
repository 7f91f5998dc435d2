// capture_body.h: the body of POST /v1/capture read into the request line the console reads, so the
// service's capture takes the console's one answer path. Portable; plain inputs and outputs.
//
// The body is a JSON object: "device" names the capture application ("futronic" or "dpfpdd"); the
// optional "message" (a string), "timeout" and "debugLevel" (a string or a number) are those of a
// console request. A page never names a program: a "command" member is refused. Other members are
// ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CaptureDevice {
  std::string name;         // "futronic"
  std::string relativePath;  // "capture\\futronic\\velmar-capture-a.exe", from the program's folder
};

// The devices the service knows, in the order /v1/info lists them.
const std::vector<CaptureDevice>& captureDevices();

struct CaptureBody {
  bool read = false;
  std::string reason;  // why not, for the 400 answer
  std::string device;  // a name of captureDevices()
  std::string message;
  std::optional<std::string> timeout;     // the member's JSON text (a string or a number), when given
  std::optional<std::string> debugLevel;
};

CaptureBody readCaptureBody(std::string_view body);

// The console request line for a read body and the full path (UTF-8) of its device's capture
// application: {"command": path, "message": ..., "timeout": ..., "debugLevel": ...}, the last two only
// when the body gave them, as it gave them.
std::string captureRequestLine(const CaptureBody& body, const std::string& applicationPath);
