// scenario.cpp: parsing of the virtual Futronic scanner's scenario text.
#include "scenario.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace velmar::futronic {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Decimal or 0x-hexadecimal, whole text, within [lo, hi].
bool parseNumber(std::string_view text, long long lo, long long hi, long long* out) {
  const std::string s(trim(text));
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, 0);
  if (errno != 0 || end != s.c_str() + s.size() || v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool parseCode(std::string_view text, std::uint32_t* out) {
  long long v = 0;
  if (!parseNumber(text, 0, 0xFFFFFFFFLL, &v)) return false;
  *out = static_cast<std::uint32_t>(v);
  return true;
}

bool parseReal(std::string_view text, double lo, double hi, double* out) {
  const std::string s(trim(text));
  if (s.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !(v >= lo && v <= hi)) return false;
  *out = v;
  return true;
}

bool parseInt(std::string_view text, int lo, int hi, int* out) {
  long long v = 0;
  if (!parseNumber(text, lo, hi, &v)) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

std::vector<TimelineStep> parseTimeline(std::string_view text, std::string* problem) {
  std::vector<TimelineStep> steps;
  auto fail = [&](const std::string& why) {
    if (problem) *problem = why;
    return std::vector<TimelineStep>{};
  };
  while (true) {
    const std::size_t comma = text.find(',');
    std::string_view item = trim(text.substr(0, comma));
    TimelineStep step;
    const std::size_t star = item.find('*');
    if (star != std::string_view::npos) {
      if (!parseInt(item.substr(star + 1), 1, 1000000, &step.rounds))
        return fail("bad round count in '" + std::string(item) + "'");
      item = trim(item.substr(0, star));
    }
    const std::size_t colon = item.find(':');
    const std::string kind = lower(trim(item.substr(0, colon)));
    const std::string_view arg = colon == std::string_view::npos ? std::string_view{}
                                                                 : item.substr(colon + 1);
    if (kind == "none") {
      step.kind = TimelineStep::Kind::None;
    } else if (kind == "finger") {
      step.kind = TimelineStep::Kind::Finger;
    } else if (kind == "blank") {
      step.kind = TimelineStep::Kind::Blank;
    } else if (kind == "error") {
      step.kind = TimelineStep::Kind::Error;
      if (!parseCode(arg, &step.error) || step.error == 0)
        return fail("error step needs a non-zero code: '" + std::string(item) + "'");
    } else {
      return fail("unknown step '" + std::string(item) + "'");
    }
    if (kind != "error" && colon != std::string_view::npos)
      return fail("step takes no argument: '" + std::string(item) + "'");
    steps.push_back(step);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return steps;
}

const TimelineStep& stepAt(const std::vector<TimelineStep>& timeline, std::uint64_t round) {
  for (const TimelineStep& step : timeline) {
    if (round < static_cast<std::uint64_t>(step.rounds)) return step;
    round -= static_cast<std::uint64_t>(step.rounds);
  }
  return timeline.back();
}

ParseResult parseScenario(std::string_view text) {
  ParseResult result;
  Scenario& s = result.scenario;
  int lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    const std::size_t nl = text.find('\n');
    const std::string_view line = trim(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;

    const std::string where = "line " + std::to_string(lineNo) + ": ";
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      result.problems.push_back(where + "no '=' in '" + std::string(line) + "'");
      continue;
    }
    const std::string key = lower(trim(line.substr(0, eq)));
    const std::string_view value = trim(line.substr(eq + 1));
    bool ok = true;
    if (key == "device") {
      const std::string v = lower(value);
      if (v == "present") s.openError = 0;
      else if (v == "absent") s.openError = 2;  // ERROR_FILE_NOT_FOUND: no scanner attached
      else ok = false;
    } else if (key == "open_error") {
      ok = parseCode(value, &s.openError);
    } else if (key == "image_size_error") {
      ok = parseCode(value, &s.imageSizeError);
    } else if (key == "options_error") {
      ok = parseCode(value, &s.optionsError);
    } else if (key == "diodes_error") {
      ok = parseCode(value, &s.diodesError);
    } else if (key == "width") {
      ok = parseInt(value, 1, 4096, &s.width);
    } else if (key == "height") {
      ok = parseInt(value, 1, 4096, &s.height);
    } else if (key == "image") {
      ok = !value.empty();
      if (ok) s.image = std::string(value);
    } else if (key == "synthetic") {
      const std::string v = lower(value);
      ok = v == "finger" || v == "two-fingers" || v == "edge" || v == "specks" || v == "blank";
      if (ok) s.synthetic = v;
    } else if (key == "seed") {
      ok = parseCode(value, &s.seed);
    } else if (key == "ridge_period") {
      ok = parseReal(value, 4.0, 30.0, &s.ridgePeriod);
    } else if (key == "pressure") {
      ok = parseReal(value, 0.0, 1.0, &s.pressure);
    } else if (key == "timeline") {
      std::string problem;
      std::vector<TimelineStep> steps = parseTimeline(value, &problem);
      if (steps.empty()) {
        result.problems.push_back(where + problem);
        continue;
      }
      s.timeline = std::move(steps);
    } else if (key == "nfiq") {
      ok = parseInt(value, 1, 5, &s.nfiq);
    } else if (key == "nfiq_error") {
      ok = parseCode(value, &s.nfiqError);
    } else if (key == "template_max_size") {
      ok = parseInt(value, -1, 1 << 20, &s.templateMaxSize);
    } else if (key == "template_size") {
      ok = parseInt(value, 1, 1 << 20, &s.templateSize);
    } else if (key == "template_reported_size") {
      ok = parseInt(value, -1, 1 << 20, &s.templateReportedSize);
    } else if (key == "template_error") {
      ok = parseCode(value, &s.templateError);
    } else if (key == "frame_delay_ms") {
      ok = parseInt(value, 0, 60000, &s.frameDelayMs);
    } else if (key == "trace") {
      s.trace = std::string(value);
    } else {
      result.problems.push_back(where + "unknown key '" + key + "'");
      continue;
    }
    if (!ok) result.problems.push_back(where + "bad value for '" + key + "': '" + std::string(value) + "'");
  }
  return result;
}

}  // namespace velmar::futronic
