// capture_app_table.h: what the diagnostics know about each capture application by its file name: the
// files it opens beside its libraries (named as the application names them, relative to its folder),
// its single-instance mutex and its log files. Portable.
#pragma once

#include <string>
#include <vector>

struct CaptureAppTraits {
  std::string fileName;            // "velmar-capture-a.exe"
  std::vector<std::string> files;  // "logo.bmp", "../../wsq.exe", …
  std::string mutex;               // the single-instance mutex it takes while it runs
  std::string logPattern;          // its log files in its folder, as a FindFirstFile pattern
};

// Every capture application the diagnostics know, in report order.
const std::vector<CaptureAppTraits>& captureAppTable();

// The traits of fileName (compared without regard to ASCII case), or null for an application the table
// does not know: such an application is still inspected for its libraries.
const CaptureAppTraits* findCaptureApp(const std::string& fileName);
