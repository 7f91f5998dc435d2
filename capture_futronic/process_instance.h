// process_instance.h: Util::Process::Instance, the single-instance guard: a named mutex taken at start.
#pragma once

#include <string>

#include "win/unique_handle.h"

namespace Util::Process {

class Instance {
 public:
  explicit Instance(std::wstring name) : name(std::move(name)) {}
  ~Instance() { release(); }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Creates the mutex with the caller as initial owner. True when another process already holds it
  // (the system reports ERROR_ALREADY_EXISTS); a failed creation counts as being alone.
  bool alreadyRunning();
  // Releases and closes the mutex if it is held.
  void release();

 private:
  std::wstring name;
  velmar::win::UniqueHandle handle;
};

}  // namespace Util::Process
