// diagnostic_checks.cpp: the checks table. Each failure names the file or program concerned in the
// Spanish texts, so support staff can read the fault and its remedy straight from the report.
#include "diagnostic_checks.h"

#include <algorithm>

namespace {

const char* const kReinstall = "Reinstale el software de captura biométrica según el manual de instalación.";

DiagnosticCheck pass(std::string name) { return {std::move(name), true, "", ""}; }

DiagnosticCheck fail(std::string name, std::string error, std::string solution) {
  return {std::move(name), false, std::move(error), std::move(solution)};
}

std::string bits(int bitness) { return std::to_string(bitness) + " bits"; }

std::string describe(const PeImportedFunction& f) {
  return f.byOrdinal() ? "ordinal " + std::to_string(f.ordinal) : f.name;
}

void addVersion(const DiagnosticFacts& facts, std::vector<DiagnosticCheck>& checks) {
  if (!facts.version.empty()) {
    checks.push_back(pass("version"));
    return;
  }
  checks.push_back(fail("version", "No se pudo leer la versión del producto en velmar-device.exe.", kReinstall));
}

void addLibrary(const AppFacts& app, const LibraryFacts& lib, std::vector<DiagnosticCheck>& checks) {
  const std::string name = app.path + " " + lib.name;
  const std::string program = app.fileName();
  if (!lib.found()) {
    checks.push_back(fail(name, "No se encontró la librería " + lib.name + " que requiere " + program + ".",
                          "Copie " + lib.name + " en la carpeta de " + program +
                              " según el manual de instalación del dispositivo biométrico."));
    return;
  }
  if (!lib.readError.empty()) {
    checks.push_back(fail(name,
                          "La librería " + lib.name + " que requiere " + program +
                              " está dañada o no es una librería de Windows (" + lib.readError + ").",
                          "Reemplace " + lib.name + " por la del fabricante del dispositivo biométrico según su "
                              "manual de instalación."));
    return;
  }
  checks.push_back(pass(name));

  if (lib.bitness != app.bitness) {
    checks.push_back(fail(name + " bitness",
                          "La librería " + lib.name + " es de " + bits(lib.bitness) + " y " + program + " es de " +
                              bits(app.bitness) + ".",
                          "Reemplace " + lib.name + " por su versión de " + bits(app.bitness) +
                              " según el manual de instalación del dispositivo biométrico."));
  } else {
    checks.push_back(pass(name + " bitness"));
  }

  std::string missing;
  std::size_t count = 0;
  for (const FunctionFacts& f : lib.functions) {
    if (f.exported) continue;
    missing += (count++ ? ", " : "") + describe(f.function);
  }
  if (count == 0) {
    checks.push_back(pass(name + " functions"));
    return;
  }
  checks.push_back(fail(name + " functions",
                        "La librería " + lib.name + " no exporta " + (count == 1 ? "la función " : "las funciones ") +
                            missing + " que requiere " + program + ".",
                        "Instale la versión de " + lib.name +
                            " indicada en el manual de instalación del dispositivo biométrico."));
}

void addApp(const DiagnosticFacts& facts, const AppFacts& app, std::vector<DiagnosticCheck>& checks) {
  if (!app.readError.empty()) {
    checks.push_back(fail(app.path,
                          "La aplicación de captura " + app.path + " está dañada o no es un programa de Windows (" +
                              app.readError + ").",
                          kReinstall));
    return;
  }
  if (facts.host.systemBitness != 0 && app.bitness > facts.host.systemBitness) {
    checks.push_back(fail(app.path,
                          "La aplicación de captura " + app.fileName() + " es de " + bits(app.bitness) +
                              " y el sistema operativo es de " + bits(facts.host.systemBitness) + ".",
                          "Instale la versión de " + bits(facts.host.systemBitness) +
                              " del software de captura biométrica según el manual de instalación."));
  } else {
    checks.push_back(pass(app.path));
  }
  for (const LibraryFacts& lib : app.libraries) addLibrary(app, lib, checks);
  for (const FileFacts& file : app.files) {
    const std::string name = app.path + " " + file.name;
    if (file.found) {
      checks.push_back(pass(name));
    } else {
      checks.push_back(
          fail(name, "No se encontró el archivo " + file.name + " que requiere " + app.fileName() + ".", kReinstall));
    }
  }
}

}  // namespace

std::vector<DiagnosticCheck> diagnosticChecks(const DiagnosticFacts& facts) {
  std::vector<DiagnosticCheck> checks;
  addVersion(facts, checks);
  if (facts.apps.empty()) {
    checks.push_back(fail("captureApps", "No se encontró ninguna aplicación de captura biométrica junto a velmar-device.exe.",
                          "Instale correctamente el software de captura biométrica según el manual de instalación."));
  } else {
    checks.push_back(pass("captureApps"));
  }
  for (const AppFacts& app : facts.apps) addApp(facts, app, checks);

  for (const MutexFacts& m : facts.running) {
    const std::string name = "running " + m.name;
    if (!m.held) {
      checks.push_back(pass(name));
      continue;
    }
    checks.push_back(fail(name, "El software de captura biométrica " + m.app + " ya se está ejecutando.",
                          "Termine la captura en curso o cierre su ventana y reintente. Si el problema persiste "
                          "reinicie su PC."));
  }

  if (facts.pipes.ok) {
    checks.push_back(pass("pipes"));
  } else {
    checks.push_back(fail("pipes",
                          "No se pudo comunicar con las aplicaciones de captura mediante tuberías con nombre (" +
                              facts.pipes.error + ").",
                          "Reinicie su PC y reintente. Si el problema persiste, revise que ningún programa de "
                          "seguridad bloquee las tuberías con nombre."));
  }

  if (facts.jpeg.gdiplusStarted && facts.jpeg.encoderFound) {
    checks.push_back(pass("jpeg"));
  } else {
    checks.push_back(fail("jpeg",
                          "No se pudo usar el codificador de imágenes JPEG de Windows (" + facts.jpeg.error + ").",
                          "Instale las actualizaciones de Windows que incluyen GDI+ y reinicie su PC."));
  }
  return checks;
}

bool allChecksPass(const std::vector<DiagnosticCheck>& checks) {
  return std::all_of(checks.begin(), checks.end(), [](const DiagnosticCheck& c) { return c.ok; });
}
