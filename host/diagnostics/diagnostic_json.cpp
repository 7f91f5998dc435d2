// diagnostic_json.cpp: the diagnostics report built as a JSON document (members in insertion order) and
// written as one line. Text the system or a file handed over that is not UTF-8 becomes U+FFFD, so the
// line is always valid JSON.
#include "diagnostic_json.h"

#include <cmath>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

Json stringOrNull(const std::string& value) { return value.empty() ? Json(nullptr) : Json(value); }

Json hostJson(const HostFacts& h) {
  Json j = {{"bitness", h.bitness}, {"system", h.system}, {"systemBitness", h.systemBitness}};
  if (!h.wine.empty()) j["wine"] = h.wine;
  return j;
}

// A stand-in says so in its version resource; otherwise Windows' own libraries and whatever the system
// folders hold are the system's, and the rest (beside the application, or missing) the vendor's.
const char* libraryKind(const LibraryFacts& lib) {
  if (lib.standIn) return "stand-in";
  if (lib.windowsLibrary || (lib.found() && lib.location != "app")) return "system";
  return "vendor";
}

Json libraryJson(const LibraryFacts& lib) {
  Json j = {{"name", lib.name}, {"found", lib.found()}};
  if (lib.found()) {
    j["path"] = lib.path;
    j["location"] = lib.location;
    if (!lib.readError.empty()) j["error"] = lib.readError;
    j["bitness"] = lib.bitness;
    j["machine"] = peMachineName(lib.machine);
  }
  j["kind"] = libraryKind(lib);
  Json functions = Json::array();
  for (const FunctionFacts& f : lib.functions) {
    Json fj = f.function.byOrdinal() ? Json{{"ordinal", f.function.ordinal}} : Json{{"name", f.function.name}};
    if (lib.found() && lib.readError.empty()) fj["exported"] = f.exported;
    functions.push_back(std::move(fj));
  }
  j["functions"] = std::move(functions);
  return j;
}

Json appJson(const AppFacts& app) {
  Json j = {{"path", app.path}};
  if (!app.readError.empty()) {
    j["error"] = app.readError;
    return j;
  }
  j["bitness"] = app.bitness;
  j["machine"] = peMachineName(app.machine);
  j["version"] = stringOrNull(app.version);
  j["systemSupport"] = app.systemSupport;
  Json libraries = Json::array();
  for (const LibraryFacts& lib : app.libraries) libraries.push_back(libraryJson(lib));
  j["libraries"] = std::move(libraries);
  Json files = Json::array();
  for (const FileFacts& f : app.files) files.push_back({{"name", f.name}, {"path", f.path}, {"found", f.found}});
  j["files"] = std::move(files);
  return j;
}

}  // namespace

std::string diagnosticJson(const DiagnosticFacts& facts, const std::vector<DiagnosticCheck>& checks) {
  Json report;
  report["version"] = stringOrNull(facts.version);
  report["host"] = hostJson(facts.host);

  Json apps = Json::array();
  for (const AppFacts& app : facts.apps) apps.push_back(appJson(app));
  report["captureApps"] = std::move(apps);

  Json running = Json::array();
  for (const MutexFacts& m : facts.running) running.push_back({{"mutex", m.name}, {"app", m.app}, {"held", m.held}});
  report["running"] = std::move(running);

  // Milliseconds to the microsecond; JSON has no infinity or NaN.
  const double ms = facts.pipes.milliseconds;
  Json pipes = {{"ok", facts.pipes.ok},
                {"bytes", facts.pipes.bytes},
                {"ms", std::isfinite(ms) ? Json(std::round(ms * 1000) / 1000) : Json(nullptr)}};
  if (!facts.pipes.error.empty()) pipes["error"] = facts.pipes.error;
  report["pipes"] = std::move(pipes);

  Json jpeg = {{"gdiplus", facts.jpeg.gdiplusStarted}, {"encoder", facts.jpeg.encoderFound}};
  if (!facts.jpeg.error.empty()) jpeg["error"] = facts.jpeg.error;
  report["jpeg"] = std::move(jpeg);

  Json logs = Json::array();
  for (const LogFacts& l : facts.logs) {
    logs.push_back({{"program", l.program}, {"folder", l.folder}, {"newest", stringOrNull(l.newest)}});
  }
  report["logs"] = std::move(logs);

  Json list = Json::array();
  for (const DiagnosticCheck& c : checks) {
    list.push_back({{"name", c.name}, {"ok", c.ok}, {"error", c.error}, {"solution", c.solution}});
  }
  report["checks"] = std::move(list);
  return report.dump(-1, ' ', false, Json::error_handler_t::replace);
}
