// diagnostic_facts.h: what the field diagnostics found on a PC, as plain records. The Windows side
// (diagnose_win.cpp) fills them; the checks (diagnostic_checks.h) and the JSON line (diagnostic_json.h)
// are made from them by portable code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pe_image.h"

struct HostFacts {
  int bitness = 0;          // of velmar-device itself
  int systemBitness = 0;    // of Windows
  std::string system;       // "10.0.19045"
  std::string wine;         // Wine's version; empty on Windows
};

// Whether a library's version-resource description says it is a stand-in ("stand-in" in any case).
bool describesStandIn(const std::string& fileDescription);

// text with its ASCII letters in lower case.
std::string asciiLower(std::string text);

struct FunctionFacts {
  PeImportedFunction function;
  bool exported = false;
};

// One library an application imports, where the system loader would find it.
struct LibraryFacts {
  std::string name;      // as in the import table
  std::string path;      // full path of the file found; empty when not found
  std::string location;  // "app" (beside the application), "system", or empty when not found
  std::string readError; // the PE reader's refusal of the file found; empty when it was read
  int bitness = 0;
  std::uint16_t machine = 0;
  bool standIn = false;  // its version resource says it is a stand-in (else the vendor's, or unknown)
  // One of Windows' own libraries: named in Windows' list, or, when not found, present in the system
  // folder of the other bitness. Such a library is never to be copied beside the application.
  bool windowsLibrary = false;
  std::vector<FunctionFacts> functions;
  bool found() const { return !path.empty(); }
};

// A file an application needs beside its libraries ("logo.bmp", "../../wsq.exe", …).
struct FileFacts {
  std::string name;  // as the application names it, relative to its folder
  std::string path;  // full path looked at
  bool found = false;
};

struct AppFacts {
  std::string path;      // relative to the host's folder, with "/": "capture/futronic/velmar-capture-a.exe"
  std::string fullPath;
  std::string readError; // the PE reader's refusal of the program file; empty when it was read
  int bitness = 0;
  std::uint16_t machine = 0;
  std::string version;   // from its version resource; empty without one
  // Whether this PC runs programs of the application's bitness: Windows is that wide and its system
  // folder for that bitness holds Windows' core libraries (a 64-bit Windows may lack its 32-bit part).
  bool systemSupport = true;
  std::vector<LibraryFacts> libraries;
  std::vector<FileFacts> files;
  std::string fileName() const;
};

// A capture application's single-instance mutex, opened (never taken) to see whether one runs now.
struct MutexFacts {
  std::string name;
  std::string app;  // the program that takes it
  bool held = false;
};

struct PipeFacts {
  bool ok = false;
  std::uint64_t bytes = 0;  // read back
  double milliseconds = 0;
  std::string error;
};

struct JpegFacts {
  bool gdiplusStarted = false;
  bool encoderFound = false;
  std::string error;
};

struct LogFacts {
  std::string program;
  std::string folder;
  std::string newest;  // full path of the newest log file; empty when there is none yet
};

struct DiagnosticFacts {
  std::string version;  // the product version of velmar-device; empty without a version resource
  HostFacts host;
  std::vector<AppFacts> apps;
  std::vector<MutexFacts> running;
  PipeFacts pipes;
  JpegFacts jpeg;
  std::vector<LogFacts> logs;
};

