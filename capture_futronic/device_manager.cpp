// device_manager.cpp: construction of the device-independent run state.
#include "device_manager.h"

#include "result_codes.h"

namespace one {

DeviceManager::DeviceManager(SimpleLogger::Log* log_) : log(log_), settings(log_), resultCode(DEV_ERR_INTERNAL_APP) {}

DeviceManager::~DeviceManager() = default;

bool DeviceManager::setResultCode(std::int32_t code) {
  std::lock_guard<std::mutex> hold(resultLock);
  if (delivered) return false;
  resultCode = code;
  return true;
}

bool DeviceManager::resultDelivered() {
  std::lock_guard<std::mutex> hold(resultLock);
  return delivered;
}

}  // namespace one
