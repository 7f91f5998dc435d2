// virtual_reader_win.cpp: the virtual dpfpdd reader (dpfpdd.dll). It plays the scenario file: what
// init, the list query, open, arming and close answer, and which report the armed capture gets, when,
// on a thread of its own, as the real library does. Calls come from the program's dialog thread; the
// report comes from the worker thread; state shared by both is guarded by one mutex.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dpfpdd/dpfpdd.h"
#include "grey_image_file.h"
#include "scenario.h"
#include "synthetic_source.h"

namespace {

using dpfpdd_virtual::Report;
using dpfpdd_virtual::Scenario;

struct Device {
  std::mutex mutex;
  std::condition_variable wake;
  Scenario scenario;
  std::wstring scenarioDir;  // with its trailing separator; relative names start here
  bool initialised = false;
  bool open = false;
  bool firstQueryDone = false;
  // The armed capture: the worker waits for the delay, a cancel, or the reader's close.
  bool armed = false;
  bool cancelRequested = false;
  bool abandon = false;
  std::thread worker;
};

Device& device() {
  static Device d;
  return d;
}

std::wstring widen(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

bool isAbsolute(const std::wstring& p) {
  return (p.size() >= 2 && p[1] == L':') || (!p.empty() && (p[0] == L'\\' || p[0] == L'/'));
}

std::wstring resolve(const Device& d, const std::string& name) {
  const std::wstring w = widen(name);
  return isAbsolute(w) ? w : d.scenarioDir + w;
}

// One line per library call, so tests can see what the program asked for.
void trace(const Device& d, const char* format, ...) {
  if (d.scenario.trace.empty()) return;
  FILE* f = _wfopen(resolve(d, d.scenario.trace).c_str(), L"ab");
  if (!f) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
  va_end(args);
  std::fputc('\n', f);
  std::fclose(f);
}

bool readFile(const std::wstring& path, std::vector<uint8_t>& bytes) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return false;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return true;
}

std::wstring moduleDir() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&moduleDir), &self);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(self, path, MAX_PATH);
  std::wstring p(path);
  const auto slash = p.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1);
}

std::wstring dirOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// VIRTUAL_SCANNER_SCENARIO, else virtual-scanner.ini beside the DLL, else the built-in default.
bool loadScenario(Device& d, std::string& error) {
  std::wstring path;
  if (const wchar_t* env = _wgetenv(L"VIRTUAL_SCANNER_SCENARIO"); env && *env) {
    path = env;
  } else {
    path = moduleDir() + L"virtual-scanner.ini";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) path.clear();
  }
  d.scenario = Scenario{};
  d.scenarioDir = moduleDir();
  if (path.empty()) return true;
  std::vector<uint8_t> text;
  if (!readFile(path, text)) {
    error = "scenario file cannot be read";
    return false;
  }
  d.scenarioDir = dirOf(path);
  return dpfpdd_virtual::parseScenario(
      std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), d.scenario, error);
}

bool loadImage(const Device& d, velmar::synthetic::GreyImage& image, std::string& error) {
  const Scenario& s = d.scenario;
  if (s.image.empty()) return dpfpdd_virtual::syntheticFinger(s, image, error);
  std::vector<uint8_t> bytes;
  if (!readFile(resolve(d, s.image), bytes)) {
    error = "image file cannot be read: " + s.image;
    return false;
  }
  return velmar::synthetic::decodeGreyImage(bytes, image, error);
}

void deliver(const Device& d, Report kind, const velmar::synthetic::GreyImage* image, void* context,
             dpfpdd::CaptureCallback callback) {
  dpfpdd::CaptureReport r{};
  r.size = sizeof r;
  r.resolution = 500;
  r.bitsPerPixel = 8;
  switch (kind) {
    case Report::Image:
      r.success = 1;
      r.score = 100;
      r.width = static_cast<uint32_t>(image->width);
      r.height = static_cast<uint32_t>(image->height);
      r.imageSize = static_cast<uint32_t>(image->pixels.size());
      r.image = const_cast<uint8_t*>(image->pixels.data());
      break;
    case Report::Error: r.error = d.scenario.reportError; break;
    case Report::Cancelled: r.quality = dpfpdd::kQualityCancelled; break;
    case Report::Faulty: r.quality = 1; break;
    case Report::None: return;
  }
  callback(context, 0, sizeof r, &r);
}

void runCapture(void* context, dpfpdd::CaptureCallback callback) {
  Device& d = device();
  Report kind;
  velmar::synthetic::GreyImage image;
  {
    std::unique_lock<std::mutex> lock(d.mutex);
    const auto stop = [&] { return d.cancelRequested || d.abandon; };
    d.wake.wait_for(lock, std::chrono::milliseconds(d.scenario.delayMs), stop);
    if (!stop() && d.scenario.report == Report::None) d.wake.wait(lock, stop);
    d.armed = false;
    if (d.abandon) return;
    kind = d.cancelRequested ? Report::Cancelled : d.scenario.report;
    if (kind == Report::Image) {
      std::string error;
      if (!loadImage(d, image, error)) {
        trace(d, "image failed: %s", error.c_str());
        kind = Report::Faulty;
      }
    }
    trace(d, "report %s", kind == Report::Image       ? "image"
                          : kind == Report::Error     ? "error"
                          : kind == Report::Cancelled ? "cancelled"
                                                      : "faulty");
  }
  deliver(d, kind, &image, context, callback);
}

void stopWorker(Device& d) {
  std::thread worker;
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    d.abandon = true;
    worker = std::move(d.worker);
  }
  d.wake.notify_all();
  if (worker.joinable()) worker.join();
}

bool validReader(const Device& d, dpfpdd::Reader reader) {
  return d.open && reader == static_cast<const void*>(&d);
}

}  // namespace

extern "C" {

int32_t DPFPDD_CALL dpfpdd_init(void) {
  Device& d = device();
  std::lock_guard<std::mutex> lock(d.mutex);
  std::string error;
  if (!loadScenario(d, error)) {
    // The trace file may be unknown here; tell the debugger at least.
    OutputDebugStringA(("dpfpdd stand-in: " + error + "\n").c_str());
    return -1;
  }
  d.firstQueryDone = false;
  trace(d, "init -> %d", d.scenario.initResult);
  if (d.scenario.initResult == 0) d.initialised = true;
  return d.scenario.initResult;
}

int32_t DPFPDD_CALL dpfpdd_exit(void) {
  Device& d = device();
  stopWorker(d);
  std::lock_guard<std::mutex> lock(d.mutex);
  trace(d, "exit -> %d", d.scenario.exitResult);
  if (d.scenario.exitResult == 0) d.initialised = false;
  return d.scenario.exitResult;
}

int32_t DPFPDD_CALL dpfpdd_query_devices(uint32_t* count, dpfpdd::ReaderInfo* readers) {
  Device& d = device();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!d.initialised || !count) return dpfpdd::kInvalidParameter;
  const bool first = !d.firstQueryDone;
  d.firstQueryDone = true;
  if (first && d.scenario.firstQuerySucceeds) {
    trace(d, "query_devices count=%u -> 0 count=0", *count);
    *count = 0;
    return dpfpdd::kSuccess;
  }
  const uint32_t available = first ? d.scenario.readers : d.scenario.listedCount();
  if (!readers || *count < available) {
    trace(d, "query_devices count=%u -> more data count=%u", *count, available);
    *count = available;
    return dpfpdd::kMoreData;
  }
  for (uint32_t i = 0; i < *count; ++i) {
    if (readers[i].size != dpfpdd::kReaderInfoSize) return dpfpdd::kInvalidParameter;
  }
  for (uint32_t i = 0; i < available; ++i) {
    std::memset(readers[i].name, 0, sizeof readers[i].name);
    std::memset(readers[i].details, 0, sizeof readers[i].details);
    std::string name = d.scenario.readerName;
    if (i > 0) name += " #" + std::to_string(i);
    std::memcpy(readers[i].name, name.data(), std::min<size_t>(name.size(), sizeof readers[i].name - 1));
  }
  trace(d, "query_devices count=%u -> 0 count=%u", *count, available);
  *count = available;
  return dpfpdd::kSuccess;
}

int32_t DPFPDD_CALL dpfpdd_open(char* name, dpfpdd::Reader* reader) {
  Device& d = device();
  std::lock_guard<std::mutex> lock(d.mutex);
  trace(d, "open '%s' -> %d", name ? name : "", d.scenario.openResult);
  if (!d.initialised || !name || !reader) return dpfpdd::kInvalidParameter;
  if (d.scenario.openResult != 0) return d.scenario.openResult;
  if (d.scenario.readerName != name) return dpfpdd::kInvalidReader;
  if (d.open) return dpfpdd::kReaderBusy;
  d.open = true;
  *reader = &d;
  return dpfpdd::kSuccess;
}

int32_t DPFPDD_CALL dpfpdd_close(dpfpdd::Reader reader) {
  Device& d = device();
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    trace(d, "close -> %d", d.scenario.closeResult);
    if (!validReader(d, reader)) return dpfpdd::kInvalidReader;
    if (d.scenario.closeResult != 0) return d.scenario.closeResult;
  }
  // A capture still armed is dropped without a report, as a closed reader reports nothing.
  stopWorker(d);
  std::lock_guard<std::mutex> lock(d.mutex);
  d.open = false;
  return dpfpdd::kSuccess;
}

int32_t DPFPDD_CALL dpfpdd_capture_async(dpfpdd::Reader reader, dpfpdd::CaptureParams* params,
                                         void* context, dpfpdd::CaptureCallback callback) {
  Device& d = device();
  std::thread finished;
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    if (params) {
      trace(d, "capture_async params={%u,%u,%u,%u} -> %d", params->size, params->imageFormat,
            params->imageProcessing, params->resolution, d.scenario.captureResult);
    }
    if (!validReader(d, reader) || !params || !callback) return dpfpdd::kInvalidParameter;
    if (params->size != sizeof(dpfpdd::CaptureParams) || params->resolution != 500) {
      return dpfpdd::kInvalidParameter;
    }
    if (d.scenario.captureResult != 0) return d.scenario.captureResult;
    if (d.armed) return dpfpdd::kReaderBusy;
    finished = std::move(d.worker);  // a previous capture that has reported already
    d.armed = true;
    d.cancelRequested = false;
    d.abandon = false;
  }
  if (finished.joinable()) finished.join();
  std::lock_guard<std::mutex> lock(d.mutex);
  d.worker = std::thread(runCapture, context, callback);
  return dpfpdd::kSuccess;
}

int32_t DPFPDD_CALL dpfpdd_cancel(dpfpdd::Reader reader) {
  Device& d = device();
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    trace(d, "cancel%s", d.armed ? "" : " (nothing armed)");
    if (!validReader(d, reader)) return dpfpdd::kInvalidReader;
    d.cancelRequested = true;
  }
  d.wake.notify_all();
  return dpfpdd::kSuccess;
}

}  // extern "C"
