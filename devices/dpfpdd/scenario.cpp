// scenario.cpp: the virtual reader's scenario file.
#include "scenario.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace dpfpdd_virtual {
namespace {

std::string_view trim(std::string_view s) {
  const char* blanks = " \t\r\n";
  const auto first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

bool parseNumber(std::string_view text, int64_t low, int64_t high, int64_t& out) {
  const std::string s(text);
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, 0);
  if (errno != 0 || end != s.c_str() + s.size() || v < low || v > high) return false;
  out = v;
  return true;
}

bool parseReport(std::string_view text, Report& out) {
  struct Name { std::string_view text; Report report; };
  static const Name kNames[] = {{"image", Report::Image},         {"error", Report::Error},
                                {"cancelled", Report::Cancelled}, {"faulty", Report::Faulty},
                                {"none", Report::None}};
  for (const auto& n : kNames) {
    if (n.text == text) {
      out = n.report;
      return true;
    }
  }
  return false;
}

}  // namespace

bool parseScenario(std::string_view text, Scenario& out, std::string& error) {
  Scenario s;
  constexpr int64_t kI32Min = std::numeric_limits<int32_t>::min();
  constexpr int64_t kU32Max = std::numeric_limits<uint32_t>::max();
  constexpr int64_t kMaxSide = 4096;
  size_t lineNo = 0;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    const std::string_view raw = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    ++lineNo;
    const std::string_view line = trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
    const auto eq = line.find('=');
    const auto fail = [&](const char* what) {
      error = "line " + std::to_string(lineNo) + ": " + what + ": " + std::string(line);
      return false;
    };
    if (eq == std::string_view::npos) return fail("expected key = value");
    const std::string_view key = trim(line.substr(0, eq));
    const std::string_view value = trim(line.substr(eq + 1));

    int64_t n = 0;
    // Library results are signed 32-bit values, written in decimal or hexadecimal (0x05BA001E).
    const auto result = [&](int32_t& field) {
      if (!parseNumber(value, kI32Min, kU32Max, n)) return fail("bad result value");
      field = static_cast<int32_t>(static_cast<uint32_t>(n));
      return true;
    };
    const auto count = [&](uint32_t& field, int64_t low) {
      if (!parseNumber(value, low, kU32Max, n)) return fail("bad number");
      field = static_cast<uint32_t>(n);
      return true;
    };

    bool ok = true;
    if (key == "init") ok = result(s.initResult);
    else if (key == "first_query") {
      if (value == "success") s.firstQuerySucceeds = true;
      else if (value == "more_data") s.firstQuerySucceeds = false;
      else return fail("first_query is success or more_data");
    } else if (key == "readers") ok = count(s.readers, 0);
    else if (key == "listed") {
      if (!parseNumber(value, 0, kU32Max, n)) return fail("bad number");
      s.listed = n;
    } else if (key == "reader_name") {
      if (value.empty() || value.size() >= 1024) return fail("reader_name needs 1 to 1023 characters");
      s.readerName = std::string(value);
    } else if (key == "open") ok = result(s.openResult);
    else if (key == "capture") ok = result(s.captureResult);
    else if (key == "report") {
      if (!parseReport(value, s.report)) return fail("report is image, error, cancelled, faulty or none");
    } else if (key == "report_error") {
      ok = result(s.reportError);
      if (ok && s.reportError == 0) return fail("report_error must not be 0");
    } else if (key == "delay_ms") ok = count(s.delayMs, 0);
    else if (key == "image") s.image = std::string(value);
    else if (key == "width" || key == "height") {
      if (!parseNumber(value, 1, kMaxSide, n)) return fail("image side is 1 to 4096 pixels");
      (key == "width" ? s.width : s.height) = static_cast<uint32_t>(n);
    }
    else if (key == "seed") ok = count(s.seed, 0);
    else if (key == "fingers") {
      if (!parseNumber(value, 0, 2, n)) return fail("fingers is 0, 1 or 2");
      s.fingers = static_cast<uint32_t>(n);
    } else if (key == "specks") {
      if (!parseNumber(value, 0, 100, n)) return fail("specks is 0 to 100");
      s.specks = static_cast<uint32_t>(n);
    }
    else if (key == "close") ok = result(s.closeResult);
    else if (key == "exit") ok = result(s.exitResult);
    else if (key == "trace") s.trace = std::string(value);
    else return fail("unknown key");
    if (!ok) return false;
  }
  out = s;
  return true;
}

}  // namespace dpfpdd_virtual
