// futronic_manager.cpp: opening the scanner, the frame loop, NFIQ and template, abort and close.
#include "futronic_manager.h"

#include <windows.h>

#include <algorithm>

#include "fingerprint_window.h"
#include "frame_rows.h"
#include "pipe_ipc_manager.h"
#include "result_codes.h"
#include "side_pipe.h"
#include "segmentation.h"

namespace Futronic {
namespace {

constexpr DWORD kFrameNotUsable[] = {4306, 0x20000001, 0x20000002};  // the finger moved, etc.
constexpr int kAcceptAfter = 3;                                     // consecutive frames with a finger
const wchar_t* const kNfiqPipe = L"\\\\.\\pipe\\nfiq";
const wchar_t* const kTemplatePipe = L"\\\\.\\pipe\\fmd";

// Longest the destructor waits for a worker thread that is still finishing.
constexpr DWORD kThreadEndWaitMs = 2000;
// Longest the close waits for the frame loop to leave the scanner library after the abort: a frame
// grab in progress finishes first (a slow scanner takes about a second).
constexpr DWORD kLoopEndWaitMs = 5000;

}  // namespace

FutronicManager::FutronicManager(SimpleLogger::Log* log_)
    : DeviceManager(log_), captureThread(this), timeoutThread(this, 0, 250) {
  settings.threshold = 210;
  settings.fill = 255;
}

FutronicManager::~FutronicManager() { waitForWorkers(); }

void FutronicManager::waitForWorkers() {
  // The threads are never joined while the capture runs; both end within a round or a step after the
  // close handler's abort.
  captureThread.waitEnded(kThreadEndWaitMs);
  timeoutThread.waitEnded(kThreadEndWaitMs);
}

bool FutronicManager::init() {
  resultCode = DEV_ERR_INTERNAL_APP;
  if (!window) {
    if (log) log->error(L"Device.init invalid arguments");
    return false;
  }
  deviceHandle = ftrScanOpenDevice();
  if (!deviceHandle) {
    const DWORD error = GetLastError();
    if (log) log->error(L"ERROR Device.ftrScanOpenDevice: %d", static_cast<int>(error));
    resultCode = error == ERROR_FILE_NOT_FOUND ? DEV_ERR_NOT_DETECTED : DEV_ERR_INTERNAL_DEVICE;
    return false;
  }
  deviceOpen = true;
  if (!ftrScanGetImageSize(deviceHandle, &imageSize)) {
    if (log) log->error(L"ERROR Device.ftrScanGetImageSize: %d", static_cast<int>(GetLastError()));
    resultCode = DEV_ERR_INTERNAL_APP;
    return false;
  }
  // A size the frame buffer cannot be made from would be read out of bounds later.
  if (imageSize.nWidth <= 0 || imageSize.nHeight <= 0 ||
      static_cast<std::int64_t>(imageSize.nWidth) * imageSize.nHeight > imageSize.nImageSize) {
    if (log) log->error(L"ERROR Device.ftrScanGetImageSize: %d", static_cast<int>(ERROR_INVALID_DATA));
    resultCode = DEV_ERR_INTERNAL_APP;
    return false;
  }
  if (!ftrScanSetOptions(deviceHandle, FTR_OPTIONS_INVERT_IMAGE, FTR_OPTIONS_INVERT_IMAGE)) {
    if (log) log->error(L"ERROR Device.ftrScanSetOptions FTR_OPTIONS_INVERT_IMAGE: %d", static_cast<int>(GetLastError()));
    resultCode = DEV_ERR_INTERNAL_APP;
    return false;
  }
  if (log) log->info(L"Device '%ls/%ls' ready", L"futronic", L"<unknown>");
  captureThread.start();
  timeoutThread.setTimeout(settings.timeoutMs);
  timeoutThread.start();
  Sleep(50);
  return true;
}

void FutronicManager::showAndRepaint(const std::vector<std::uint8_t>& frame) {
  if (window) window->showFrame(frame.data(), imageSize.nWidth, imageSize.nHeight);
}

void FutronicManager::captureLoop() {
  setResultCode(DEV_ERR_INTERNAL_DEVICE);
  const int width = imageSize.nWidth;
  const int height = imageSize.nHeight;
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(imageSize.nImageSize),
                                  static_cast<std::uint8_t>(settings.fill));
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  int counter = 0;
  while (true) {
    if (!ftrScanSetDiodesStatus(deviceHandle, 255, 0) && log)
      log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0, L"ERROR Device.ftrScanSetDiodesStatus: %d",
                 static_cast<int>(GetLastError()));
    if (stopRequested) {
      if (log) log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0, L"Deteniendo captura en curso");
      break;
    }
    bool usable = true;
    bool present = ftrScanIsFingerPresent(deviceHandle, nullptr) != 0;
    if (!present) {
      std::fill(frame.begin(), frame.end(), static_cast<std::uint8_t>(settings.fill));
    } else {
      if (!ftrScanGetFrame(deviceHandle, frame.data(), nullptr)) {
        const DWORD error = GetLastError();
        if (std::find(std::begin(kFrameNotUsable), std::end(kFrameNotUsable), error) == std::end(kFrameNotUsable)) {
          if (log) log->error(L"ERROR Device.ftrScanGetFrame: %d", static_cast<int>(error));
          setResultCode(DEV_ERR_INTERNAL_DEVICE);
          break;
        }
        usable = false;
      }
      flipRows(frame.data(), width, height);  // the picture takes rows bottom-up
      if (!usable) {
        counter = 0;
        std::fill(frame.begin(), frame.end(), static_cast<std::uint8_t>(settings.fill));
      } else {
        segmentation::GrayImage copy(
            std::vector<std::uint8_t>(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(pixels)), width,
            height);
        std::uint32_t dark = 0;
        segmentation::binarizeAndCount(copy, settings.threshold, nullptr, &dark);
        const int count = static_cast<int>(dark);
        counter = count > settings.minFingerArea ? counter + 1 : 0;
        if (log)
          log->debug(L"image=%dx%d threshold frequency #%d = %d>%d ?", width, height, counter,
                     static_cast<int>(settings.minFingerArea), count);
        if (counter >= kAcceptAfter) {
          showAndRepaint(frame);
          flipRows(frame.data(), width, height);  // back to the scanner's row order
          // The frame first, then the code that tells the window thread it is there.
          capturedFrame.assign(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(pixels));
          capturedWidth = width;
          capturedHeight = height;
          setResultCode(DEV_SUCCESS);
          int value = -1;
          int unused = 0;
          nfiq = ftrMathImageNfIQ(deviceHandle, capturedFrame.data(), width, height, &value, &unused) ? value : 0;
          break;
        }
      }
    }
    showAndRepaint(frame);
    Sleep(50);
  }
  if (!ftrScanSetDiodesStatus(deviceHandle, 0, 0) && log)
    log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0, L"ERROR Device.ftrScanSetDiodesStatus: %d",
               static_cast<int>(GetLastError()));
  if (log) log->debug(L"NFIQ = %d", static_cast<int>(nfiq));
  writeSideOutputs();
  if (log) log->debug(L"autoclosing window...");
  if (window) window->requestClose();
}

void FutronicManager::writeSideOutputs() {
  const std::uint8_t nfiqByte = static_cast<std::uint8_t>(nfiq & 0xFF);
  one::sendToSidePipe(log, &nfiqByte, 1, kNfiqPipe);
  std::vector<std::uint8_t> fmd;
  if (resultCode == DEV_SUCCESS && createTemplate(fmd)) {
    one::sendToSidePipe(log, fmd.data(), fmd.size(), kTemplatePipe);
  } else {
    const std::uint8_t code = static_cast<std::uint8_t>(resultCode & 0xFF);
    one::sendToSidePipe(log, &code, 1, kTemplatePipe);
  }
}

bool FutronicManager::createTemplate(std::vector<std::uint8_t>& out) {
  const int maxSize = ftrAnsiSdkGetMaxTemplateSize();
  if (log) log->debug(L"Maximum template size of %d bytes", maxSize);
  if (maxSize <= 0) return false;
  out.assign(static_cast<std::size_t>(maxSize), 0);
  int size = 0;
  if (!ftrAnsiSdkCreateTemplateFromBuffer(deviceHandle, 0, capturedFrame.data(), capturedWidth, capturedHeight,
                                          out.data(), &size)) {
    if (log)
      log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0, L"ERROR ftrAnsiSdkCreateTemplateFromBuffer: %d",
                 static_cast<int>(GetLastError()));
    return false;
  }
  // A size outside the buffer cannot be trusted: no template rather than bytes that were never written.
  if (size <= 0 || size > maxSize) {
    if (log)
      log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0,
                 L"ERROR Template size of %d bytes outside the buffer of %d bytes", size, maxSize);
    return false;
  }
  out.resize(static_cast<std::size_t>(size));
  if (log) log->debug(L"Template size of %d bytes", size);
  return true;
}

void FutronicManager::abortCapture() {
  if (captureThread.isRunning()) {
    setResultCode(DEV_ERR_CANCELLED);
    stopRequested = true;
    if (log) log->debug(L"Device.closeDevice abortando captura en curso...");
  }
  if (timeoutThread.isRunning()) timeoutThread.cancel();
  Sleep(250);
}

bool FutronicManager::closeDevice() {
  if (log) log->debug(L"Device.closeDevice cerrando dispositivo...");
  Sleep(100);
  abortCapture();
  // The scanner is closed only once the capture thread has left the scanner library; a thread still
  // inside a call after the wait keeps the device open (the process's end releases it).
  if (captureThread.waitEnded(kLoopEndWaitMs)) {
    if (deviceOpen.exchange(false)) ftrScanCloseDevice(deviceHandle);
  } else if (log) {
    log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0,
               L"El thread de captura no termin\u00f3 en %d ms: el dispositivo no se cierra",
               static_cast<int>(kLoopEndWaitMs));
  }
  writeResults();
  return true;
}

bool FutronicManager::forceCapture() {
  if (log)
    log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0,
               L"Este dispositivo no tiene la funcionalidad para captura forzada o manual");
  return true;
}

}  // namespace Futronic
