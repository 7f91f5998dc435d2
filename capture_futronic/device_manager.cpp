// device_manager.cpp: construction of the device-independent run state.
#include "device_manager.h"

#include "result_codes.h"

namespace one {

DeviceManager::DeviceManager(SimpleLogger::Log* log_) : log(log_), settings(log_), resultCode(DEV_ERR_INTERNAL_APP) {}

DeviceManager::~DeviceManager() = default;

}  // namespace one
