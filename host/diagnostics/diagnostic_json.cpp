// diagnostic_json.cpp: the diagnostics report written member by member.
#include "diagnostic_json.h"

#include "json_writer.h"

namespace {

void writeHost(JsonWriter& w, const HostFacts& h) {
  w.beginObject();
  w.key("bitness").number(std::int64_t{h.bitness});
  w.key("system").string(h.system);
  w.key("systemBitness").number(std::int64_t{h.systemBitness});
  if (!h.wine.empty()) w.key("wine").string(h.wine);
  w.endObject();
}

void writeLibrary(JsonWriter& w, const LibraryFacts& lib) {
  w.beginObject();
  w.key("name").string(lib.name);
  w.key("found").boolean(lib.found());
  if (lib.found()) {
    w.key("path").string(lib.path);
    w.key("location").string(lib.location);
    if (!lib.readError.empty()) w.key("error").string(lib.readError);
    w.key("bitness").number(std::int64_t{lib.bitness});
    w.key("machine").string(peMachineName(lib.machine));
    // Beside the application, a library without a version resource saying otherwise counts as the
    // vendor's; elsewhere it is the system's.
    w.key("kind").string(lib.standIn ? "stand-in" : lib.location == "app" ? "vendor" : "system");
  }
  w.key("functions").beginArray();
  for (const FunctionFacts& f : lib.functions) {
    w.beginObject();
    if (f.function.byOrdinal()) {
      w.key("ordinal").number(std::int64_t{f.function.ordinal});
    } else {
      w.key("name").string(f.function.name);
    }
    if (lib.found() && lib.readError.empty()) w.key("exported").boolean(f.exported);
    w.endObject();
  }
  w.endArray();
  w.endObject();
}

void writeApp(JsonWriter& w, const AppFacts& app) {
  w.beginObject();
  w.key("path").string(app.path);
  if (!app.readError.empty()) {
    w.key("error").string(app.readError);
    w.endObject();
    return;
  }
  w.key("bitness").number(std::int64_t{app.bitness});
  w.key("machine").string(peMachineName(app.machine));
  w.key("version").stringOrNull(app.version);
  w.key("libraries").beginArray();
  for (const LibraryFacts& lib : app.libraries) writeLibrary(w, lib);
  w.endArray();
  w.key("files").beginArray();
  for (const FileFacts& f : app.files) {
    w.beginObject().key("name").string(f.name).key("path").string(f.path).key("found").boolean(f.found).endObject();
  }
  w.endArray();
  w.endObject();
}

}  // namespace

std::string diagnosticJson(const DiagnosticFacts& facts, const std::vector<DiagnosticCheck>& checks) {
  JsonWriter w;
  w.beginObject();
  w.key("version").stringOrNull(facts.version);
  w.key("host");
  writeHost(w, facts.host);

  w.key("captureApps").beginArray();
  for (const AppFacts& app : facts.apps) writeApp(w, app);
  w.endArray();

  w.key("running").beginArray();
  for (const MutexFacts& m : facts.running) {
    w.beginObject().key("mutex").string(m.name).key("app").string(m.app).key("held").boolean(m.held).endObject();
  }
  w.endArray();

  w.key("pipes").beginObject();
  w.key("ok").boolean(facts.pipes.ok);
  w.key("bytes").number(static_cast<std::int64_t>(facts.pipes.bytes));
  w.key("ms").number(facts.pipes.milliseconds, 3);
  if (!facts.pipes.error.empty()) w.key("error").string(facts.pipes.error);
  w.endObject();

  w.key("jpeg").beginObject();
  w.key("gdiplus").boolean(facts.jpeg.gdiplusStarted);
  w.key("encoder").boolean(facts.jpeg.encoderFound);
  if (!facts.jpeg.error.empty()) w.key("error").string(facts.jpeg.error);
  w.endObject();

  w.key("logs").beginArray();
  for (const LogFacts& l : facts.logs) {
    w.beginObject().key("program").string(l.program).key("folder").string(l.folder);
    w.key("newest").stringOrNull(l.newest).endObject();
  }
  w.endArray();

  w.key("checks").beginArray();
  for (const DiagnosticCheck& c : checks) {
    w.beginObject().key("name").string(c.name).key("ok").boolean(c.ok);
    w.key("error").string(c.error).key("solution").string(c.solution).endObject();
  }
  w.endArray();
  w.endObject();
  return w.text();
}
