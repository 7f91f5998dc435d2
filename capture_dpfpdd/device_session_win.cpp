// device_session_win.cpp: the reader session. The library's callback only copies its report and starts
// the dispatch thread, so the library's thread is free at once; all processing runs on the dispatch
// thread, the timeout watch or, for a user cancel, the dialog's thread.
#include "device_session_win.h"

#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app_state_win.h"
#include "capture_processing_win.h"
#include "capture_log_win.h"
#include "dpfpdd/dpfpdd.h"
#include "pipe_client_win.h"
#include "reader_slot.h"
#include "result_codes.h"
#include "win/unique_handle.h"

namespace capture_b {
namespace {

// Written before the capture is armed and read afterwards; atomic because several threads read them.
struct DeviceState {
  ReaderSlot<dpfpdd::Reader> reader;
  std::string readerName;
  std::atomic<bool> isStarted{false};
  std::atomic<ProcessingCallback> callback{nullptr};
  std::atomic<int> timeoutMs{0};
  std::atomic<bool> watchRunning{false};
  std::atomic<bool> dispatchStarted{false};
  velmar::win::UniqueHandle watchThread;  // dialog's (start-up) thread only
};

DeviceState& state() {
  static DeviceState s;
  return s;
}

int32_t process(int32_t code, ReportOutcome& capture) {
  ProcessingCallback callback = state().callback;
  return callback ? callback(code, capture) : 0;
}

// Cancels the armed capture of the open reader; nothing once the reader has been closed.
void cancelReader() {
  state().reader.use([](dpfpdd::Reader reader) { dpfpdd_cancel(reader); });
}

int32_t processEmpty(int32_t code) {
  ReportOutcome none;
  none.code = code;
  return process(code, none);
}

DWORD WINAPI dispatchCapture(void* parameter) {
  std::unique_ptr<ReportCopy> copy(static_cast<ReportCopy*>(parameter));
  CaptureLog& log = captureLog();
  ReportOutcome outcome = outcomeOf(copy->report());
  const wchar_t* name = outcome.code == DEV_ERR_INTERNAL_DEVICE ? L"DEV_ERR_INTERNAL_DEVICE"
                        : outcome.code == DEV_SUCCESS           ? L"DEV_SUCCESS"
                        : outcome.code == DEV_ERR_CANCELLED     ? L"DEV_ERR_CANCELLED"
                                                                : L"DEV_ERR_FAULTY_FINGER";
  log.debug(L"* generando %ls callback", name);
  process(outcome.code, outcome);
  log.debug(L"* finalizado %ls callback", name);
  return 0;
}

DWORD WINAPI timeoutWatch(void* parameter) {
  const DWORD timeout = static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
  DeviceState& s = state();
  CaptureLog& log = captureLog();
  if (!s.isStarted) {
    log.error(L"ERROR Device.isStarted: FALSE");
    return 0;
  }
  const DWORD start = GetTickCount();
  log.debug(L"thread-timeout timeout=%d", static_cast<int>(timeout));
  DWORD elapsed = 0;
  while (s.watchRunning && elapsed < timeout) {
    Sleep(100);
    elapsed = GetTickCount() - start;  // unsigned: safe across the tick count's wrap-around
  }
  if (s.watchRunning) {
    log.debug(L"* generando TIMEOUT callback");
    processEmpty(DEV_ERR_TIMEOUT);
    log.debug(L"* finalizado TIMEOUT callback");
    cancelReader();
  }
  log.debug(L"finalizando thread-timeout");
  return 0;
}

void DPFPDD_CALL onReaderCapture(void*, uint32_t, uint32_t, void* data) {
  if (!data) return;
  std::unique_ptr<ReportCopy> copy(new (std::nothrow) ReportCopy);
  if (!copy) return;
  try {
    *copy = ReportCopy::of(data);
  } catch (const std::bad_alloc&) {
    return;
  }
  DeviceState& s = state();
  if (!s.isStarted || s.dispatchStarted.exchange(true)) return;  // one dispatch thread per run
  velmar::win::UniqueHandle thread(CreateThread(nullptr, 0, dispatchCapture, copy.get(), 0, nullptr));
  if (!thread) {
    captureLog().logSystemError(L"CreateThread");
    return;
  }
  (void)copy.release();  // the dispatch thread owns it now
}

}  // namespace

int32_t startDevice(ProcessingCallback callback, int timeoutMs) {
  DeviceState& s = state();
  CaptureLog& log = captureLog();
  s.callback = callback;
  s.timeoutMs = timeoutMs;
  const auto fail = [&](int32_t code) {
    log.error(L"ERROR Device.startDevice");
    return code;
  };

  int32_t r = dpfpdd_init();
  if (r != 0) {
    log.error(L"ERROR dpfpdd_init: %d", r);
    return fail(DEV_ERR_INTERNAL_DEVICE);
  }
  uint32_t count = 0;
  r = dpfpdd_query_devices(&count, nullptr);
  if (r != dpfpdd::kMoreData) {
    log.error(L"ERROR dpfpdd_query_devices: %d", 0);
    return fail(DEV_ERR_INTERNAL_DEVICE);
  }
  std::vector<dpfpdd::ReaderInfo> readers;
  do {
    try {
      readers.assign(count, dpfpdd::ReaderInfo{});
    } catch (const std::bad_alloc&) {
      log.error(L"ERROR dpfpdd_query_devices: %d", 0);
      return fail(DEV_ERR_INTERNAL_DEVICE);
    }
    for (auto& reader : readers) reader.size = dpfpdd::kReaderInfoSize;
    r = dpfpdd_query_devices(&count, readers.empty() ? nullptr : readers.data());
  } while (r == dpfpdd::kMoreData);
  // The list never reports more readers than the array it was given holds.
  if (count > readers.size()) count = static_cast<uint32_t>(readers.size());
  log.info(L"%d dispositivo(s) detectado(s)", static_cast<int>(count));
  if (count == 0) return fail(DEV_ERR_NOT_DETECTED);

  readers[0].name[dpfpdd::kReaderNameSize - 1] = '\0';
  s.readerName = readers[0].name;
  dpfpdd::Reader reader = nullptr;
  r = dpfpdd_open(&s.readerName[0], &reader);
  if (r != 0) {
    log.error(L"ERROR dpfpdd_open: %d", r);
    return fail(resultForLibraryError(r, LibraryCall::OpenOrCapture));
  }
  s.reader.set(reader);
  log.info(L"dispositivo abierto");
  s.isStarted = true;
  return 0;
}

int32_t closeDevice() {
  DeviceState& s = state();
  CaptureLog& log = captureLog();
  if (!s.isStarted) {
    log.warning(L"WARNING Device.isStarted=FALSE");
    return 1;
  }
  log.info(L"cerrando dispositivo...");
  {
    const int32_t r = s.reader.close([](dpfpdd::Reader reader) { return dpfpdd_close(reader); });
    if (r != 0) {
      log.error(L"ERROR dpfpdd_close: %d", r);
      return resultForLibraryError(r, LibraryCall::Close);
    }
  }
  const int32_t r = dpfpdd_exit();
  if (r != 0) log.error(L"ERROR dpfpdd_exit: %d", r);
  log.info(L"dispositivo cerrado");
  s.isStarted = false;
  return 1;
}

int onGuiInitCallback(HWND dialog, int) {
  DeviceState& s = state();
  CaptureLog& log = captureLog();
  const RunSettings& settings = runSettings();
  log.debug(L"CALLBACK onGuiInitCallback");
  log.setOwner(dialog);
  setMessageLabel(settings.labelStart);

  int32_t code = startDevice(&onDeviceCaptureCallback, settings.timeoutMs);
  if (code == 0) {
    setMessageLabel(settings.labelCaptureInit);
    if (!s.isStarted) {
      log.error(L"ERROR Device.isStarted=FALSE");
      code = DEV_ERR_INTERNAL_APP;
    } else if (s.watchRunning.exchange(true)) {
      closeDevice();
      code = DEV_ERR_INTERNAL_APP;
    } else {
      velmar::win::UniqueHandle& watch = s.watchThread;
      watch.reset(CreateThread(
          nullptr, 0, timeoutWatch, reinterpret_cast<void*>(static_cast<uintptr_t>(s.timeoutMs.load())), 0,
          nullptr));
      if (!watch) {
        s.watchRunning = false;
        log.logSystemError(L"CreateThread");
        closeDevice();
        code = DEV_ERR_INTERNAL_APP;
      } else {
        log.debug(L"thread-timeout (%d) iniciado...", s.timeoutMs.load());
        dpfpdd::CaptureParams params{16, 0, 0, 500};
        int32_t r = 0;
        s.reader.use([&](dpfpdd::Reader reader) { r = dpfpdd_capture_async(reader, &params, nullptr, onReaderCapture); });
        if (r == 0) return 1;
        log.error(L"ERROR dpfpdd_open: %d", r);
        code = resultForLibraryError(r, LibraryCall::OpenOrCapture);
      }
    }
  }

  PipeClient pipe(settings.wsqPipeName);
  if (pipe.connect()) {
    log.debug(L"Escribiendo error en PIPE");
    const unsigned char byte = static_cast<unsigned char>(code & 0xFF);
    pipe.write(&byte, 1);
    log.debug(L"Cerrando PIPE");
    pipe.close();
  }
  exitCode() = code;
  return 0;
}

void stopTimeoutWatch() {
  DeviceState& s = state();
  if (!s.watchThread) return;
  s.watchRunning = false;
  WaitForSingleObject(s.watchThread.get(), 5000);
  s.watchThread.reset();
}

int onGuiCancelCallback() {
  DeviceState& s = state();
  CaptureLog& log = captureLog();
  log.debug(L"CALLBACK onGuiCancelCallback");
  if (!s.isStarted) {
    log.warning(L"WARNING Device.isStarted=FALSE");
    return 1;
  }
  cancelReader();
  log.debug(L"* generando CANCEL callback");
  const int r = processEmpty(DEV_ERR_CANCELLED);
  log.debug(L"* finalizado CANCEL callback");
  return r;
}

int onGuiCloseCallback() {
  captureLog().debug(L"CALLBACK onGuiCloseCallback");
  return closeDevice();
}

int onGuiCaptureCallback() {
  captureLog().debug(L"CALLBACK onGuiCaptureCallback");
  return 1;
}

}  // namespace capture_b
