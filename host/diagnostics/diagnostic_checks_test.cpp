// diagnostic_checks_test.cpp: which check fails for each fault a PC can have, with both Spanish texts,
// and the report line that carries them.
#include "diagnostic_checks.h"

#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

#include "diagnostic_json.h"

namespace {

PeImportedFunction byOrdinal(std::uint16_t n) {
  PeImportedFunction f;
  f.ordinal = n;
  return f;
}

// A PC where everything is in order: capture-a (32-bit) with its scanning library and a Windows library
// from the 32-bit system folder, capture-b with its files.
DiagnosticFacts healthy() {
  DiagnosticFacts f;
  f.version = "1.4.0";
  f.host = {64, 64, "10.0.19045", ""};
  AppFacts a;
  a.path = "capture/futronic/velmar-capture-a.exe";
  a.bitness = 32;
  a.machine = 0x14C;
  LibraryFacts scan;
  scan.name = "ftrScanAPI.dll";
  scan.path = "C:\\velmar\\capture\\futronic\\ftrScanAPI.dll";
  scan.location = "app";
  scan.bitness = 32;
  scan.machine = 0x14C;
  scan.functions = {{byOrdinal(1), true}, {byOrdinal(17), true}};
  LibraryFacts math = scan;
  math.name = "ftrMathAPI.dll";
  math.functions = {{{"ftrMathImageNfIQ", 0}, true}};
  LibraryFacts kernel = scan;
  kernel.name = "KERNEL32.dll";
  kernel.path = "C:\\windows\\syswow64\\KERNEL32.dll";
  kernel.location = "system";
  kernel.windowsLibrary = true;
  kernel.functions = {{{"GetTickCount", 0}, true}};
  a.libraries = {scan, math, kernel};
  a.files = {{"logo.bmp", "C:\\velmar\\capture\\futronic\\logo.bmp", true}};
  AppFacts b;
  b.path = "capture/dpfpdd/velmar-capture-b.exe";
  b.bitness = 64;
  b.files = {{"../../wsq.exe", "C:\\velmar\\wsq.exe", true}, {"..\\..\\fondo.bmp", "C:\\velmar\\fondo.bmp", true}};
  f.apps = {a, b};
  f.running = {{"Futronic", "velmar-capture-a.exe", false}, {"VELMAR-CAPTURE-B-1.0", "velmar-capture-b.exe", false}};
  f.pipes = {true, 65536, 2.5, ""};
  f.jpeg = {true, true, ""};
  return f;
}

std::vector<DiagnosticCheck> failed(const std::vector<DiagnosticCheck>& checks) {
  std::vector<DiagnosticCheck> out;
  for (const auto& c : checks) {
    if (!c.ok) out.push_back(c);
  }
  return out;
}

TEST(DiagnosticChecks, AHealthyPcPassesEveryCheckWithEmptyTexts) {
  const auto checks = diagnosticChecks(healthy());
  EXPECT_TRUE(allChecksPass(checks));
  for (const auto& c : checks) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.error.empty());
    EXPECT_TRUE(c.solution.empty());
  }
}

TEST(DiagnosticChecks, EachFaultFailsItsOwnCheckWithBothTexts) {
  struct Case {
    const char* name;
    std::function<void(DiagnosticFacts&)> spoil;
    const char* check;
    const char* error;
    const char* solution;
  };
  const Case cases[] = {
      {"no version resource", [](auto& f) { f.version.clear(); }, "version",
       "No se pudo leer la versión del producto en velmar-device.exe.", "Reinstale el software"},
      {"no capture application", [](auto& f) { f.apps.clear(); }, "captureApps",
       "No se encontró ninguna aplicación de captura", "Instale correctamente"},
      {"library missing",
       [](auto& f) {
         f.apps[0].libraries[0].path.clear();
         f.apps[0].libraries[0].location.clear();
       },
       "capture/futronic/velmar-capture-a.exe ftrScanAPI.dll",
       "No se encontró la librería ftrScanAPI.dll que requiere velmar-capture-a.exe.",
       "Copie ftrScanAPI.dll en la carpeta de velmar-capture-a.exe"},
      {"library damaged", [](auto& f) { f.apps[0].libraries[0].readError = "not a PE file"; },
       "capture/futronic/velmar-capture-a.exe ftrScanAPI.dll",
       "está dañada o no es una librería de Windows (not a PE file).", "Reemplace ftrScanAPI.dll"},
      {"64-bit library beside the 32-bit application", [](auto& f) { f.apps[0].libraries[0].bitness = 64; },
       "capture/futronic/velmar-capture-a.exe ftrScanAPI.dll bitness",
       "La librería ftrScanAPI.dll es de 64 bits y velmar-capture-a.exe es de 32 bits.",
       "Reemplace ftrScanAPI.dll por su versión de 32 bits"},
      {"ordinal not exported", [](auto& f) { f.apps[0].libraries[0].functions[1].exported = false; },
       "capture/futronic/velmar-capture-a.exe ftrScanAPI.dll functions",
       "La librería ftrScanAPI.dll no exporta la función ordinal 17 que requiere velmar-capture-a.exe.",
       "Instale la versión de ftrScanAPI.dll"},
      {"two functions not exported",
       [](auto& f) {
         for (auto& fn : f.apps[0].libraries[0].functions) fn.exported = false;
       },
       "capture/futronic/velmar-capture-a.exe ftrScanAPI.dll functions", "no exporta las funciones ordinal 1, ordinal 17",
       "Instale la versión"},
      {"name not exported", [](auto& f) { f.apps[0].libraries[1].functions[0].exported = false; },
       "capture/futronic/velmar-capture-a.exe ftrMathAPI.dll functions", "no exporta la función ftrMathImageNfIQ",
       "Instale la versión de ftrMathAPI.dll"},
      {"converter missing", [](auto& f) { f.apps[1].files[0].found = false; },
       "capture/dpfpdd/velmar-capture-b.exe ../../wsq.exe",
       "No se encontró el archivo ../../wsq.exe que requiere velmar-capture-b.exe.", "Reinstale el software"},
      {"64-bit application on 32-bit Windows", [](auto& f) { f.host.systemBitness = 32; },
       "capture/dpfpdd/velmar-capture-b.exe",
       "Este PC no puede ejecutar programas de 64 bits: velmar-capture-b.exe es de 64 bits y el sistema operativo es "
       "de 32 bits.",
       "Instale la versión de 32 bits"},
      // Each Windows library of the 32-bit application is then missing: one finding for the PC.
      {"64-bit Windows without its 32-bit part",
       [](auto& f) {
         f.apps[0].systemSupport = false;
         f.apps[0].libraries[2].path.clear();
         f.apps[0].libraries[2].location.clear();
       },
       "capture/futronic/velmar-capture-a.exe",
       "Este PC no puede ejecutar programas de 32 bits: a Windows le falta su soporte para programas de 32 bits, "
       "que requiere velmar-capture-a.exe.",
       "active en Windows el soporte para programas de 32 bits (WoW64)"},
      {"Windows library missing from a Windows that runs the application",
       [](auto& f) {
         f.apps[0].libraries[2].path.clear();
         f.apps[0].libraries[2].location.clear();
       },
       "capture/futronic/velmar-capture-a.exe KERNEL32.dll",
       "No se encontró la librería de Windows KERNEL32.dll que requiere velmar-capture-a.exe.",
       "Instale las actualizaciones de Windows"},
      {"copy of a Windows library of the other bitness beside the application",
       [](auto& f) {
         f.apps[0].libraries[2].location = "app";
         f.apps[0].libraries[2].bitness = 64;
       },
       "capture/futronic/velmar-capture-a.exe KERNEL32.dll bitness",
       "La librería de Windows KERNEL32.dll es de 64 bits y velmar-capture-a.exe es de 32 bits.",
       "Borre KERNEL32.dll de la carpeta de velmar-capture-a.exe"},
      {"Windows library without a function", [](auto& f) { f.apps[0].libraries[2].functions[0].exported = false; },
       "capture/futronic/velmar-capture-a.exe KERNEL32.dll functions",
       "La librería de Windows KERNEL32.dll no exporta la función GetTickCount", "Instale las actualizaciones de Windows"},
      {"damaged application", [](auto& f) { f.apps[1].readError = "truncated PE file"; },
       "capture/dpfpdd/velmar-capture-b.exe", "está dañada o no es un programa de Windows (truncated PE file).",
       "Reinstale"},
      {"capture-a running", [](auto& f) { f.running[0].held = true; }, "running Futronic",
       "El software de captura biométrica velmar-capture-a.exe ya se está ejecutando.", "Termine la captura en curso"},
      {"pipes fail", [](auto& f) { f.pipes = {false, 0, 1, "CreateNamedPipe failed with 5"}; }, "pipes",
       "(CreateNamedPipe failed with 5).", "Reinicie su PC"},
      {"no JPEG encoder", [](auto& f) { f.jpeg = {true, false, "encoder clsid not found"}; }, "jpeg",
       "No se pudo usar el codificador de imágenes JPEG de Windows (encoder clsid not found).", "GDI+"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosticFacts facts = healthy();
    c.spoil(facts);
    const auto checks = diagnosticChecks(facts);
    EXPECT_FALSE(allChecksPass(checks));
    const auto bad = failed(checks);
    ASSERT_EQ(bad.size(), 1u) << bad[0].name << " / " << (bad.size() > 1 ? bad[1].name : "");
    EXPECT_EQ(bad[0].name, c.check);
    EXPECT_NE(bad[0].error.find(c.error), std::string::npos) << bad[0].error;
    EXPECT_NE(bad[0].solution.find(c.solution), std::string::npos) << bad[0].solution;
  }
}

TEST(DiagnosticChecks, AMissingLibraryIsNotAlsoReportedForBitnessOrFunctions) {
  DiagnosticFacts facts = healthy();
  facts.apps[0].libraries[0].path.clear();
  for (const auto& c : diagnosticChecks(facts)) {
    EXPECT_EQ(c.name.find("ftrScanAPI.dll bitness"), std::string::npos);
    EXPECT_EQ(c.name.find("ftrScanAPI.dll functions"), std::string::npos);
  }
}

TEST(DiagnosticChecks, NoTextAdvisesCopyingOrReplacingAWindowsLibrary) {
  for (bool systemSupport : {false, true}) {
    DiagnosticFacts facts = healthy();
    facts.apps[0].systemSupport = systemSupport;
    LibraryFacts& kernel = facts.apps[0].libraries[2];
    for (const char* location : {"", "system", "app"}) {
      SCOPED_TRACE(std::string(location) + (systemSupport ? " with" : " without") + " 32-bit support");
      kernel.location = location;
      kernel.path = *location ? "C:\\somewhere\\KERNEL32.dll" : "";
      kernel.bitness = 64;
      kernel.readError = *location == 'a' ? "not a PE file" : "";
      for (const auto& c : diagnosticChecks(facts)) {
        EXPECT_EQ(c.solution.find("Copie"), std::string::npos) << c.solution;
        EXPECT_EQ(c.solution.find("Reemplace"), std::string::npos) << c.solution;
      }
    }
  }
}

TEST(DiagnosticJson, IsOneLineWithEverySectionInOrderAndTheChecks) {
  DiagnosticFacts facts = healthy();
  facts.version.clear();
  facts.host.wine = "wine-8.0";
  facts.logs = {{"velmar-device", "C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-device", ""}};
  facts.apps[0].libraries[2].path.clear();  // a Windows library not found
  facts.apps[0].libraries[2].location.clear();
  facts.apps[0].systemSupport = false;
  facts.apps[1].files[0].path = "C:\\caf\xE9\\wsq.exe";  // not UTF-8, as a system call may hand it over
  const auto checks = diagnosticChecks(facts);
  const std::string line = diagnosticJson(facts, checks);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  const auto report = nlohmann::ordered_json::parse(line);

  std::vector<std::string> members;
  for (const auto& item : report.items()) members.push_back(item.key());
  EXPECT_EQ(members, (std::vector<std::string>{"version", "host", "captureApps", "running", "pipes", "jpeg", "logs",
                                               "checks"}));
  EXPECT_TRUE(report["version"].is_null());
  EXPECT_EQ(report["host"], nlohmann::ordered_json::parse(
                                R"({"bitness":64,"system":"10.0.19045","systemBitness":64,"wine":"wine-8.0"})"));
  EXPECT_EQ(report["pipes"], nlohmann::ordered_json::parse(R"({"ok":true,"bytes":65536,"ms":2.5})"));
  EXPECT_EQ(report["logs"][0]["folder"], "C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-device");
  EXPECT_TRUE(report["logs"][0]["newest"].is_null());

  const auto& a = report["captureApps"][0];
  EXPECT_EQ(a["systemSupport"], false);
  EXPECT_EQ(a["libraries"][0]["kind"], "vendor");
  EXPECT_EQ(a["libraries"][0]["functions"][1], nlohmann::ordered_json::parse(R"({"ordinal":17,"exported":true})"));
  EXPECT_EQ(a["libraries"][1]["functions"][0],
            nlohmann::ordered_json::parse(R"({"name":"ftrMathImageNfIQ","exported":true})"));
  const auto& kernel = a["libraries"][2];
  EXPECT_EQ(kernel["found"], false);
  EXPECT_EQ(kernel["kind"], "system");
  EXPECT_FALSE(kernel["functions"][0].contains("exported"));
  EXPECT_EQ(report["captureApps"][1]["files"][0]["path"], "C:\\caf\xEF\xBF\xBD\\wsq.exe");  // U+FFFD
  EXPECT_EQ(report["captureApps"][1]["files"][1]["name"], "..\\..\\fondo.bmp");

  ASSERT_EQ(report["checks"].size(), checks.size());
  EXPECT_EQ(report["checks"][0], nlohmann::ordered_json::parse(
                                     R"({"name":"version","ok":false,"error":"No se pudo leer la versión del producto )"
                                     R"(en velmar-device.exe.","solution":")" +
                                     checks[0].solution + "\"}"));
}

}  // namespace

TEST(DiagnosticFacts, AStandInSaysSoInItsDescription) {
  EXPECT_TRUE(describesStandIn("Futronic scanning library (stand-in, virtual scanner)"));
  EXPECT_TRUE(describesStandIn("Stand-In"));
  EXPECT_FALSE(describesStandIn("Futronic scanner API"));
  EXPECT_FALSE(describesStandIn(""));
}
