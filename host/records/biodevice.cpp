#include "biodevice.h"

std::string toString(const biodevice& device) {
  return "{baseDir=" + device.baseDir + ",command=" + device.command + ",version=" + device.version +
         ",name=" + device.name + ",id=" + device.id + "}";
}

std::string toString(const biodeviceInput& input) {
  return "{message=" + input.message + ",timeout=" + input.timeout + ",debugLevel=" + input.debugLevel +
         "}";
}

std::string toString(const biodeviceOutput& output) {
  return "{bmp=" + std::to_string(output.bmp.size()) + " bytes" + ",wsq=" + std::to_string(output.wsq.size()) +
         " bytes" + ",exitCode=" + std::to_string(output.exitCode) + "}";
}
