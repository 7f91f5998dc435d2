#include "capture_body.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

CaptureBody refused(std::string reason) {
  CaptureBody body;
  body.reason = std::move(reason);
  return body;
}

}  // namespace

const std::vector<CaptureDevice>& captureDevices() {
  static const std::vector<CaptureDevice> devices = {
      {"futronic", "capture\\futronic\\velmar-capture-a.exe"},
      {"dpfpdd", "capture\\dpfpdd\\velmar-capture-b.exe"},
  };
  return devices;
}

CaptureBody readCaptureBody(std::string_view text) {
  // No exceptions from the parser: text that is not JSON (or not UTF-8) gives a discarded value.
  const json request = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (request.is_discarded()) return refused("the body is not JSON");
  if (!request.is_object()) return refused("the body is not a JSON object");
  if (request.contains("command")) {
    return refused("a page does not name a program: send \"device\" (futronic or dpfpdd), not \"command\"");
  }
  const auto device = request.find("device");
  if (device == request.end() || !device->is_string()) {
    return refused("\"device\" (futronic or dpfpdd) is missing or not a string");
  }
  const std::string name = device->get<std::string>();
  const auto& devices = captureDevices();
  if (std::none_of(devices.begin(), devices.end(), [&](const CaptureDevice& d) { return d.name == name; })) {
    return refused("unknown device (futronic or dpfpdd)");
  }

  CaptureBody body;
  body.device = name;
  const auto message = request.find("message");
  if (message != request.end()) {
    if (!message->is_string()) return refused("\"message\" is not a string");
    body.message = message->get<std::string>();
  }
  for (auto [member, target] : {std::pair{"timeout", &body.timeout}, std::pair{"debugLevel", &body.debugLevel}}) {
    const auto value = request.find(member);
    if (value == request.end()) continue;
    if (!value->is_string() && !value->is_number()) {
      return refused(std::string("\"") + member + "\" is neither a string nor a number");
    }
    *target = value->dump();
  }
  body.read = true;
  return body;
}

std::string captureRequestLine(const CaptureBody& body, const std::string& applicationPath) {
  json line = {{"command", applicationPath}, {"message", body.message}};
  if (body.timeout) line["timeout"] = json::parse(*body.timeout);
  if (body.debugLevel) line["debugLevel"] = json::parse(*body.debugLevel);
  return line.dump();
}
