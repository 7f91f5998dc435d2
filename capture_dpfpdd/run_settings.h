// run_settings.h: velmar-capture-b's process-wide settings, its command line, the run identifier and the
// directory part of a path. Portable: the effects that need the system (log level, message boxes, the
// working directory) go through CommandLineEnv.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace capture_b {

enum class FingerSize { None, S, M, L };

struct RunSettings {
  int logLevel = 2;
  std::wstring wsqPipeName = L"\\\\.\\pipe\\wsq";
  std::wstring bmpPipeName = L"\\\\.\\pipe\\bmp";
  bool bmpPipeRequested = false;
  int timeoutMs = 45000;
  bool messageBoxMode = false;
  bool hideTitleBar = false;
  bool keepFiles = false;
  bool debugImages = false;
  bool saveBmpFile = false;
  std::wstring bmpFileName = L"huella.bmp";
  bool saveWsqFile = false;
  std::wstring wsqFileName = L"wsq.wsq";
  FingerSize fingerSize = FingerSize::None;
  std::wstring labelCaptureInit = L"PULSE SU MEÑIQUE";
  std::wstring labelStart = L"INICIANDO DISPOSITIVO. ESPERE...";
  std::wstring labelCaptureSuccess;
  std::wstring labelCaptureError = L"NO SE REALIZÓ CAPTURA";
  std::wstring requiredVersion;
  std::wstring currentVersion = L"1.0";
  std::wstring workingDirectory;
  std::wstring runId;
};

// Text limits in characters (the fixed buffers less their terminator).
constexpr size_t kPipeNameChars = 255;
constexpr size_t kFileNameChars = 258;
constexpr size_t kLabelChars = 99;
constexpr size_t kVersionChars = 99;
constexpr size_t kWorkingDirChars = 259;
constexpr int kTimeoutMinMs = 10000;
constexpr int kTimeoutMaxMs = 600000;

// What reading the command line does outside the settings record.
class CommandLineEnv {
 public:
  virtual ~CommandLineEnv() = default;
  virtual void setLogLevel(int level) = 0;
  virtual void setMessageBoxMode(bool on) = 0;
  // A "Procesado" line, and its unformatted text, which the log writes instead when the line is too
  // long for it (a path or value of any length).
  virtual void debug(const std::wstring& line, const std::wstring& unformatted) = 0;
  // Sets the working directory from a path (see directoryOfPath) and stores it in the settings.
  virtual void setWorkingDirectoryFrom(const std::wstring& path) = 0;
};

// Six characters from 0-9A-Za-z, each the alphabet's entry at random() mod 62.
std::wstring makeRunId(const std::function<uint32_t()>& random);

// Drive and directory part of a path, as the C runtime's path splitter gives them: up to and including
// the last separator; empty when the path has none.
std::wstring directoryOfPath(const std::wstring& path);

// Reads the arguments after the program name (args[0] is the program path). Sets the run id and the
// working directory from the program path, the default log level, then scans the options. Fails when
// there is no argument after the program name.
bool readCommandLine(const std::vector<std::wstring>& args, RunSettings& settings, CommandLineEnv& env,
                     const std::function<uint32_t()>& random);

// The leading decimal integer of a text (optional sign), 0 without digits, saturated to int.
int leadingInt(const std::wstring& text);

}  // namespace capture_b
