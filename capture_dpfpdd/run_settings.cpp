// run_settings.cpp: velmar-capture-b's command line.
#include "run_settings.h"

#include <algorithm>
#include <climits>

namespace capture_b {
namespace {

std::wstring cut(const std::wstring& s, size_t chars) { return s.size() > chars ? s.substr(0, chars) : s; }

// "Procesado: <option> '<value>'" to the log, or its unformatted text when it is too long there.
void logQuoted(CommandLineEnv& env, const wchar_t* option, const std::wstring& value) {
  const std::wstring head = std::wstring(L"Procesado: ") + option + L" '";
  env.debug(head + value + L"'", head + L"%s'");
}

void logNumber(CommandLineEnv& env, const wchar_t* option, int value) {
  const std::wstring head = std::wstring(L"Procesado: ") + option + L" '";
  env.debug(head + std::to_wstring(value) + L"'", head + L"%d'");
}

void logPlain(CommandLineEnv& env, const std::wstring& line) { env.debug(line, line); }

}  // namespace

int leadingInt(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long v = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    v = v * 10 + (text[i] - L'0');
    if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) v = -v;
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::wstring makeRunId(const std::function<uint32_t()>& random) {
  static const wchar_t kAlphabet[] = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::wstring id;
  for (int i = 0; i < 6; ++i) id += kAlphabet[random() % 62];
  return id;
}

std::wstring directoryOfPath(const std::wstring& path) {
  const auto sep = path.find_last_of(L"\\/");
  if (sep != std::wstring::npos) return path.substr(0, sep + 1);
  // A drive without a directory ("C:name") keeps its drive.
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
  return {};
}

bool readCommandLine(const std::vector<std::wstring>& args, RunSettings& s, CommandLineEnv& env,
                     const std::function<uint32_t()>& random) {
  s.runId = makeRunId(random);
  if (!args.empty()) env.setWorkingDirectoryFrom(args[0]);
  s.logLevel = 2;
  env.setLogLevel(s.logLevel);
  if (args.size() < 2) return false;

  for (size_t i = 1; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    const bool hasValue = i + 1 < args.size();
    const std::wstring value = hasValue ? args[i + 1] : std::wstring();
    // Options with a value consume the next argument whatever it looks like; standing last they are
    // ignored.
    const auto takeText = [&](std::wstring& field, size_t chars, const wchar_t* logName) {
      if (!hasValue) return;
      field = cut(value, chars);
      logQuoted(env, logName, field);
      ++i;
    };
    if (a == L"-v") {
      if (!hasValue) continue;
      s.logLevel = std::clamp(leadingInt(value), 0, 3);
      env.setLogLevel(s.logLevel);
      logNumber(env, L"-v", s.logLevel);
      ++i;
    } else if (a == L"-p") {
      takeText(s.wsqPipeName, kPipeNameChars, L"-p");
    } else if (a == L"-t") {
      if (!hasValue) continue;
      s.timeoutMs = std::clamp(leadingInt(value), kTimeoutMinMs, kTimeoutMaxMs);
      logNumber(env, L"-t", s.timeoutMs);
      ++i;
    } else if (a == L"-d") {
      if (!hasValue) continue;
      env.setWorkingDirectoryFrom(value);
      logQuoted(env, L"-d", value);
      ++i;
    } else if (a == L"-F") {
      logPlain(env, L"Procesado: -F");
    } else if (a == L"--debug") {
      s.debugImages = true;
      logPlain(env, L"Procesado: --debug ");
    } else if (a == L"--file") {
      s.keepFiles = true;
      logPlain(env, L"Procesado: --file");
    } else if (a == L"--bmp" || a == L"--wsq") {
      const bool bmp = a == L"--bmp";
      (bmp ? s.saveBmpFile : s.saveWsqFile) = true;
      if (hasValue) {
        takeText(bmp ? s.bmpFileName : s.wsqFileName, kFileNameChars, a.c_str());
      } else {
        logPlain(env, L"Procesado: " + a);
      }
    } else if (a == L"-bp") {
      if (!hasValue) continue;
      s.bmpPipeRequested = true;
      takeText(s.bmpPipeName, kPipeNameChars, L"-bp");
    } else if (a == L"-lci" || a == L"--label-capture-init") {
      takeText(s.labelCaptureInit, kLabelChars, L"--label-capture-init");
    } else if (a == L"-ls" || a == L"--label-start") {
      takeText(s.labelStart, kLabelChars, L"--label-start");
    } else if (a == L"-lcs" || a == L"--label-capture-success") {
      takeText(s.labelCaptureSuccess, kLabelChars, L"--label-capture-success");
    } else if (a == L"-lce" || a == L"--label-capture-error") {
      takeText(s.labelCaptureError, kLabelChars, L"--label-capture-error");
    } else if (a == L"--auto") {
      s.fingerSize = FingerSize::M;  // as soon as the option is seen
      if (!hasValue) continue;
      if (value == L"s" || value == L"S") s.fingerSize = FingerSize::S;
      else if (value == L"l" || value == L"L") s.fingerSize = FingerSize::L;
      logQuoted(env, L"--auto", value);
      ++i;
    } else if (a == L"-mb" || a == L"--message-box") {
      s.messageBoxMode = true;
      env.setMessageBoxMode(true);
      logPlain(env, L"Procesado: -mb");
    } else if (a == L"-h" || a == L"--hide-title-bar") {
      s.hideTitleBar = true;
      logPlain(env, L"Procesado: -h");
    } else if (a == L"-vr" || a == L"--version") {
      takeText(s.requiredVersion, kVersionChars, L"-vr");
    }
    // Anything else is skipped without a message.
  }
  return true;
}

}  // namespace capture_b
