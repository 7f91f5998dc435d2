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

// The remedies offered for a library: a vendor's library is replaced from the device's installation
// manual; Windows' own libraries come with Windows and are never copied.
struct LibraryRemedies {
  std::string missing, damaged, bitness, functions;
};

LibraryRemedies vendorRemedies(const AppFacts& app, const LibraryFacts& lib) {
  const std::string manual = " según el manual de instalación del dispositivo biométrico.";
  return {"Copie " + lib.name + " en la carpeta de " + app.fileName() + manual,
          "Reemplace " + lib.name + " por la del fabricante del dispositivo biométrico según su manual de instalación.",
          "Reemplace " + lib.name + " por su versión de " + bits(app.bitness) + manual,
          "Instale la versión de " + lib.name + " indicada en el manual de instalación del dispositivo biométrico."};
}

LibraryRemedies windowsRemedies(const AppFacts& app, const LibraryFacts& lib) {
  const std::string neverCopy = " No copie librerías de Windows de otro PC ni en la carpeta de la aplicación.";
  const std::string update = "Instale las actualizaciones de Windows o la versión de Windows que indica el manual de "
                             "instalación." + neverCopy;
  const std::string repair = "Pida a su administrador que repare Windows (por ejemplo con sfc /scannow)." + neverCopy;
  // A copy beside the application hides the system's own library from it.
  const std::string bitness = lib.location == "app"
                                  ? "Borre " + lib.name + " de la carpeta de " + app.fileName() +
                                        ": es una librería de Windows y Windows provee la suya."
                                  : repair;
  return {update, repair, bitness, update};
}

void addLibrary(const AppFacts& app, const LibraryFacts& lib, std::vector<DiagnosticCheck>& checks) {
  const std::string name = app.path + " " + lib.name;
  const std::string program = app.fileName();
  const LibraryRemedies remedy = lib.windowsLibrary ? windowsRemedies(app, lib) : vendorRemedies(app, lib);
  const std::string library = (lib.windowsLibrary ? "La librería de Windows " : "La librería ") + lib.name;
  if (!lib.found()) {
    checks.push_back(fail(name,
                          (lib.windowsLibrary ? "No se encontró la librería de Windows " : "No se encontró la librería ") +
                              lib.name + " que requiere " + program + ".",
                          remedy.missing));
    return;
  }
  if (!lib.readError.empty()) {
    checks.push_back(fail(name,
                          library + " que requiere " + program +
                              (lib.windowsLibrary ? " está dañada (" : " está dañada o no es una librería de Windows (") +
                              lib.readError + ").",
                          remedy.damaged));
    return;
  }
  checks.push_back(pass(name));

  if (lib.bitness != app.bitness) {
    checks.push_back(fail(name + " bitness",
                          library + " es de " + bits(lib.bitness) + " y " + program + " es de " + bits(app.bitness) + ".",
                          remedy.bitness));
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
                        library + " no exporta " + (count == 1 ? "la función " : "las funciones ") + missing +
                            " que requiere " + program + ".",
                        remedy.functions));
}

// Whether this PC can run the application at all, as one finding: without Windows' support for its
// bitness every Windows library it imports is missing, and none of them is to be copied.
bool addSystemSupport(const DiagnosticFacts& facts, const AppFacts& app, std::vector<DiagnosticCheck>& checks) {
  const bool tooWide = facts.host.systemBitness != 0 && app.bitness > facts.host.systemBitness;
  if (!tooWide && app.systemSupport) {
    checks.push_back(pass(app.path));
    return true;
  }
  const std::string cannot = "Este PC no puede ejecutar programas de " + bits(app.bitness) + ": ";
  if (tooWide) {
    checks.push_back(fail(app.path,
                          cannot + app.fileName() + " es de " + bits(app.bitness) + " y el sistema operativo es de " +
                              bits(facts.host.systemBitness) + ".",
                          "Instale la versión de " + bits(facts.host.systemBitness) +
                              " del software de captura biométrica según el manual de instalación."));
  } else {
    checks.push_back(fail(app.path,
                          cannot + "a Windows le falta su soporte para programas de " + bits(app.bitness) +
                              ", que requiere " + app.fileName() + ".",
                          "Pida a su administrador que active en Windows el soporte para programas de " +
                              bits(app.bitness) + " (WoW64) o use el software en un PC que lo tenga. No copie "
                              "librerías de Windows en la carpeta de la aplicación: no resuelve el problema."));
  }
  return false;
}

void addApp(const DiagnosticFacts& facts, const AppFacts& app, std::vector<DiagnosticCheck>& checks) {
  if (!app.readError.empty()) {
    checks.push_back(fail(app.path,
                          "La aplicación de captura " + app.path + " está dañada o no es un programa de Windows (" +
                              app.readError + ").",
                          kReinstall));
    return;
  }
  const bool runs = addSystemSupport(facts, app, checks);
  for (const LibraryFacts& lib : app.libraries) {
    if (lib.windowsLibrary && !runs) continue;
    addLibrary(app, lib, checks);
  }
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
