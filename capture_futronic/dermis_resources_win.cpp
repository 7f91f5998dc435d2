// dermis_resources_win.cpp: Resources and the DermisResources singleton.
#include "dermis_resources_win.h"

namespace one {

void Resources::release() {
  for (HGDIOBJ& object : objects_) {
    if (object) DeleteObject(object);
    object = nullptr;
  }
}

Resources::~Resources() { Resources::release(); }

void Resources::setObject(std::size_t slot, HGDIOBJ object) {
  HGDIOBJ& held = objects_.at(slot);
  if (held && held != object) DeleteObject(held);
  held = object;
}

DermisResources& DermisResources::instance(HINSTANCE instance) {
  static DermisResources resources(instance);
  return resources;
}

}  // namespace one
