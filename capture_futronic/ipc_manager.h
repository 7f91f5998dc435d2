// ipc_manager.h: one::IPCManager, where the capture application sends bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace one {

class IPCManager {
 public:
  // True only if every byte was delivered.
  virtual bool send(const std::uint8_t* bytes, std::size_t count) = 0;
  virtual ~IPCManager() = default;
};

}  // namespace one
