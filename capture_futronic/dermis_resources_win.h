// dermis_resources_win.h: the process-wide resources holder of velmar-capture-a: the module instance
// handle and four GDI object slots, released together. Start-up creates the singleton first, on the
// main thread.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

namespace one {

class Resources {
 public:
  explicit Resources(HINSTANCE instance) : instance_(instance) {}
  Resources(const Resources&) = delete;
  Resources& operator=(const Resources&) = delete;

  // Deletes every GDI object that is set and clears its slot.
  virtual void release();
  virtual ~Resources();

  HINSTANCE moduleInstance() const { return instance_; }
  HGDIOBJ object(std::size_t slot) const { return objects_.at(slot); }
  // Hands a GDI object to the holder, which deletes it on release (and any object the slot held).
  void setObject(std::size_t slot, HGDIOBJ object);

  static constexpr std::size_t kSlots = 4;

 private:
  HINSTANCE instance_;
  std::array<HGDIOBJ, kSlots> objects_{};
};

class DermisResources final : public Resources {
 public:
  // The singleton, created with instance on the first call; later calls ignore the argument. It lives
  // until the process ends.
  static DermisResources& instance(HINSTANCE instance);

 private:
  using Resources::Resources;
};

}  // namespace one
