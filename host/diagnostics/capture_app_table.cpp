// capture_app_table.cpp: the two capture applications shipped today.
#include "capture_app_table.h"

#include "diagnostic_facts.h"

const std::vector<CaptureAppTraits>& captureAppTable() {
  // capture-b's mutex carries the version it compares with a caller's required version, which is its own
  // "1.0", not the product version.
  static const std::vector<CaptureAppTraits> table = {
      {"velmar-capture-a.exe", {"logo.bmp"}, "Futronic", "Futronic*.log"},
      {"velmar-capture-b.exe", {"../../wsq.exe", "..\\..\\fondo.bmp"}, "VELMAR-CAPTURE-B-1.0", "logdev-*.log"},
  };
  return table;
}

const CaptureAppTraits* findCaptureApp(const std::string& fileName) {
  const std::string wanted = asciiLower(fileName);
  for (const CaptureAppTraits& app : captureAppTable()) {
    if (asciiLower(app.fileName) == wanted) return &app;
  }
  return nullptr;
}
