// scenario.h: the script of the virtual Futronic scanner, parsed from "key = value" text. Portable: no
// Windows API; the three stand-in DLLs each load the same file (scenario_loader_win.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmar::futronic {

// What one round of the frame loop sees: the finger-presence query answers, then (when a finger is
// present) the frame grab gives the finger image, a blank frame, or fails with a system error.
struct TimelineStep {
  enum class Kind { None, Finger, Blank, Error };
  Kind kind = Kind::None;
  std::uint32_t error = 0;  // Kind::Error: the grab's last system error
  int rounds = 1;           // how many rounds this step lasts
};

struct Scenario {
  std::uint32_t openError = 0;        // non-zero: opening fails with this system error
  std::uint32_t imageSizeError = 0;   // non-zero: the image-size query fails
  std::uint32_t optionsError = 0;     // non-zero: setting options fails
  std::uint32_t diodesError = 0;      // non-zero: every diode switch fails
  int width = 320;
  int height = 480;
  std::string image = "synthetic";    // "synthetic" or a PGM/BMP file (relative to the scenario file)
  std::string synthetic = "finger";   // finger, two-fingers, edge, specks, blank
  std::uint32_t seed = 1;
  double ridgePeriod = 11.0;          // synthetic ridge-to-ridge distance in pixels
  double pressure = 0.8;              // synthetic pressure, 0..1 (wider, darker ridges when higher)
  // The finger timeline; the last step repeats for ever. Default: no finger for 20 rounds (about a
  // second at the frame loop's pace), then a finger held still.
  std::vector<TimelineStep> timeline{{TimelineStep::Kind::None, 0, 20},
                                     {TimelineStep::Kind::Finger, 0, 1}};
  int nfiq = 2;                       // 1 (best) .. 5
  std::uint32_t nfiqError = 0;        // non-zero: the NFIQ call fails
  int templateMaxSize = 1024;         // answer of the maximum-template-size query
  int templateSize = 384;             // size of the made template
  int templateReportedSize = -1;      // size reported to the caller; -1: the size of the made template
  std::uint32_t templateError = 0;    // non-zero: template creation fails
  int frameDelayMs = 0;               // every frame grab takes this long (a slow scanner)
  std::string trace;                  // non-empty: every call is appended to this file
};

struct ParseResult {
  Scenario scenario;
  std::vector<std::string> problems;  // "line N: ..." for every line that was not understood
};

// Parses scenario text: one "key = value" a line; blank lines, lines starting with '#' or ';' and
// "[section]" lines are skipped. Keys are case-insensitive. A bad line is reported and ignored; the
// defaults stand for every key not given.
ParseResult parseScenario(std::string_view text);

// Parses a timeline such as "none*20, error:4306*2, finger". Empty on a malformed text.
std::vector<TimelineStep> parseTimeline(std::string_view text, std::string* problem);

// The step in force at a round (0-based); the last step repeats for ever.
const TimelineStep& stepAt(const std::vector<TimelineStep>& timeline, std::uint64_t round);

}  // namespace velmar::futronic
