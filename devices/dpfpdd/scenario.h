// scenario.h: what the virtual dpfpdd reader does, read from a small key = value file. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dpfpdd_virtual {

enum class Report {
  Image,      // a captured finger image
  Error,      // the report's error field is set
  Cancelled,  // quality "cancelled", no image
  Faulty,     // no image, not cancelled: the library could not take the finger
  None,       // nothing is reported until the capture is cancelled
};

struct Scenario {
  int32_t initResult = 0;
  bool firstQuerySucceeds = false;  // first query answers success with count 0 instead of "more data"
  uint32_t readers = 1;             // count announced by the first query
  int64_t listed = -1;              // count the list query reports; -1 = same as `readers`
  std::string readerName = "Virtual dpfpdd reader 0";
  int32_t openResult = 0;
  int32_t captureResult = 0;
  Report report = Report::Image;
  int32_t reportError = 0x05BA001F;
  uint32_t delayMs = 1000;
  std::string image;  // PGM or BMP file; relative names are taken from the scenario's folder
  uint32_t width = 400;   // synthetic finger size when no image file is named
  uint32_t height = 500;
  uint32_t seed = 1;
  uint32_t fingers = 1;  // synthetic fingers: 0 (a blank frame), 1 or 2
  uint32_t specks = 0;   // small dark specks beside the synthetic finger
  int32_t closeResult = 0;
  int32_t exitResult = 0;
  std::string trace;  // file that receives one line per library call, for tests

  uint32_t listedCount() const { return listed < 0 ? readers : static_cast<uint32_t>(listed); }
};

// Parses the scenario text. Blank lines and lines starting with '#' or ';' are skipped, "[section]"
// lines are ignored; every other line is "key = value". Numbers are decimal or 0x-hexadecimal. An
// unknown key or a bad value fails with a message naming the line.
bool parseScenario(std::string_view text, Scenario& out, std::string& error);

}  // namespace dpfpdd_virtual
