// ftr_scan_api.cpp: the virtual scanner behind ftrScanAPI.dll. One device per process; the scenario
// decides whether it opens, which calls fail, and what each round of the frame loop sees. Calls may
// come from several threads (the program opens on one and grabs on another): state is atomic.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "futronic_api.h"
#include "scenario_loader_win.h"

using namespace velmar::futronic;

namespace {

struct VirtualDevice {
  std::atomic<bool> open{false};
  std::atomic<bool> invert{false};          // FTR_OPTIONS_INVERT_IMAGE set by the caller
  std::atomic<std::uint64_t> rounds{0};     // finger-presence queries so far
  std::atomic<std::uint64_t> current{0};    // round of the latest query: the next grab belongs to it
  std::atomic<int> framesRunning{0};        // frame grabs in progress (a close must never meet one)
};

VirtualDevice g_device;

bool validHandle(FTRHANDLE h) {
  if (h == &g_device && g_device.open) return true;
  SetLastError(ERROR_INVALID_HANDLE);
  return false;
}

BOOL failWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Counts a grab as running for its whole duration, including the scenario's delay.
class RunningFrame {
 public:
  RunningFrame() { ++g_device.framesRunning; }
  ~RunningFrame() { --g_device.framesRunning; }
  RunningFrame(const RunningFrame&) = delete;
  RunningFrame& operator=(const RunningFrame&) = delete;
};

}  // namespace

extern "C" {

FTRHANDLE FTR_API ftrScanOpenDevice() {
  const Scenario& s = loadedScenario().scenario;
  trace("open");
  if (s.openError != 0) {
    SetLastError(s.openError);
    return nullptr;
  }
  g_device.rounds = 0;
  g_device.current = 0;
  g_device.invert = false;
  g_device.open = true;
  return &g_device;
}

void FTR_API ftrScanCloseDevice(FTRHANDLE device) {
  trace("close");
  // A real scanner's handle closed under a running grab is a call on a freed handle: record it.
  if (g_device.framesRunning > 0) trace("close while a frame call runs");
  if (device == &g_device) g_device.open = false;
}

FTR_BOOL FTR_API ftrScanGetImageSize(FTRHANDLE device, FTRSCAN_IMAGE_SIZE* size) {
  if (!validHandle(device)) return FALSE;
  const Scenario& s = loadedScenario().scenario;
  trace("image-size");
  if (s.imageSizeError != 0) return failWith(s.imageSizeError);
  if (!size) return failWith(ERROR_INVALID_PARAMETER);
  size->nWidth = s.width;
  size->nHeight = s.height;
  size->nImageSize = s.width * s.height;
  return TRUE;
}

FTR_BOOL FTR_API ftrScanSetOptions(FTRHANDLE device, unsigned long mask, unsigned long flags) {
  if (!validHandle(device)) return FALSE;
  trace("options mask=0x%lx flags=0x%lx", mask, flags);
  if (loadedScenario().scenario.optionsError != 0) return failWith(loadedScenario().scenario.optionsError);
  if (mask & FTR_OPTIONS_INVERT_IMAGE) g_device.invert = (flags & FTR_OPTIONS_INVERT_IMAGE) != 0;
  return TRUE;
}

FTR_BOOL FTR_API ftrScanSetDiodesStatus(FTRHANDLE device, unsigned char green, unsigned char red) {
  if (!validHandle(device)) return FALSE;
  trace("diodes %u %u", green, red);
  if (loadedScenario().scenario.diodesError != 0) return failWith(loadedScenario().scenario.diodesError);
  return TRUE;
}

FTR_BOOL FTR_API ftrScanIsFingerPresent(FTRHANDLE device, void*) {
  if (!validHandle(device)) return FALSE;
  const std::uint64_t round = g_device.rounds++;
  g_device.current = round;
  const TimelineStep& step = stepAt(loadedScenario().scenario.timeline, round);
  const bool present = step.kind != TimelineStep::Kind::None;
  if (!present) SetLastError(ERROR_EMPTY);  // a negative answer, not a failure the caller reports
  return present ? TRUE : FALSE;
}

FTR_BOOL FTR_API ftrScanGetFrame(FTRHANDLE device, void* buffer, void*) {
  RunningFrame running;
  if (!validHandle(device)) return FALSE;
  if (!buffer) return failWith(ERROR_INVALID_PARAMETER);
  const Scenario& s = loadedScenario().scenario;
  if (s.frameDelayMs > 0) {
    trace("frame delay %d ms", s.frameDelayMs);
    Sleep(static_cast<DWORD>(s.frameDelayMs));
    trace("frame delay over");
    if (!validHandle(device)) return FALSE;  // closed meanwhile
  }
  const TimelineStep& step = stepAt(s.timeline, g_device.current);
  auto* out = static_cast<std::uint8_t*>(buffer);
  const std::size_t n = static_cast<std::size_t>(s.width) * s.height;
  switch (step.kind) {
    case TimelineStep::Kind::Error:
      trace("frame error %lu", static_cast<unsigned long>(step.error));
      return failWith(step.error);
    case TimelineStep::Kind::None:
    case TimelineStep::Kind::Blank:
      std::memset(out, g_device.invert ? 255 : 0, n);
      break;
    case TimelineStep::Kind::Finger: {
      const std::vector<std::uint8_t>& finger = fingerFrame();
      // Without the invert option the sensor gives light ridges on a dark background.
      if (g_device.invert) {
        std::memcpy(out, finger.data(), n);
      } else {
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(255 - finger[i]);
      }
      break;
    }
  }
  return TRUE;
}

}  // extern "C"
