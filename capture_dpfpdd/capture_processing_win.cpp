// capture_processing_win.cpp: the result processing of velmar-capture-b.
//
// The converter is waited for (at most 30 s); then the WSQ file it leaves decides: present and whole
// (the WSQ library's stream check) it is the capture, whatever the converter's exit code, which is only
// logged; missing or not whole it is the conversion failure 210, so a slow, missing or failing converter
// is never reported as a successful capture with a truncated or absent WSQ.
#include "capture_processing_win.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "app_state_win.h"
#include "capture_admission.h"
#include "capture_log_win.h"
#include "capture_status.h"
#include "converter_command.h"
#include "converter_win.h"
#include "fingerprint_adapter.h"
#include "pipe_client_win.h"
#include "result_codes.h"
#include "win/unique_handle.h"
#include "win/user_folders.h"
#include "wsq_stream_check.h"

namespace capture_b {
namespace {

constexpr DWORD kConverterLimitMs = 30000;

CaptureAdmission admission;

// The converter's WSQ file, whole; empty when it is missing or cannot be read.
std::vector<uint8_t> readWsqFile(const std::wstring& path) {
  CaptureLog& log = captureLog();
  velmar::win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    log.info(L"No se puede leer el archivo WSQ");
    log.info(L"Tamanio del archivo es : %d", -1);
    return {};
  }
  log.info(L"Lectura archivo WSQ correcta");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) size.QuadPart = 0;
  log.info(L"Tamanio del archivo es : %d", static_cast<int>(size.QuadPart));
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size())) {
    bytes.clear();
  }
  return bytes;
}

// Segmentation, raw file, converter and WSQ file for a captured image. Returns the result code and
// fills `wsq` on success.
int32_t convertCapture(const ReportOutcome& capture, std::vector<uint8_t>& wsq) {
  CaptureLog& log = captureLog();
  const RunSettings& settings = runSettings();
  // The raw and WSQ files are the user's temporaries: the install folder may not be writable.
  const CaptureFiles files = captureFiles(velmar::win::userTempFolder(), settings.runId);
  const bool dump = settings.keepFiles && settings.debugImages;

  if (dump) writeDebugPgm(files.debugImage, capture.pixels, capture.width, capture.height);
  std::vector<uint8_t> output;
  log.debug(L"Verificando, obteniendo y convirtiendo impresión dactilar a %dx%d...", kOutputSide, kOutputSide);
  if (!normaliseFinger(capture.pixels, capture.width, capture.height, dump, output)) {
    log.errorBox(
        L"Captura errónea. Verifique que para la captura se haya presionado en el CENTRO y de forma VERTICAL "
        L"sólo la FALANGE DISTAL (tercera falange o falangeta) del dedo. Si eso no funciona asegúrese que el "
        L"dispositivo esté limpio y no presente manchas.");
    return DEV_ERR_WRONG_FINGERPRINT;
  }

  if (settings.saveBmpFile) {
    DeleteFileW(settings.bmpFileName.c_str());
    const std::vector<uint8_t> bmp = bmpFileOf(output, kOutputSide, kOutputSide);
    if (bmp.empty()) {
      log.error(L"HeapAllocBMP");
    } else {
      velmar::win::UniqueHandle file(CreateFileW(settings.bmpFileName.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      if (!file) {
        log.logSystemError(L"CreateFile");
      } else if (!WriteFile(file.get(), bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr)) {
        log.logSystemError(L"WriteFile");
      } else {
        log.debug(L"BMP '%ls' : %d/%d bytes written", settings.bmpFileName.c_str(), static_cast<int>(written),
                  static_cast<int>(bmp.size()));
      }
    }
  }

  log.debug(L"Intentando conversión a WSQ...");
  writeWholeFile(files.raw, output.data(), output.size());
  log.info(L"ARCHIVO RAW : %ls", files.raw.c_str());
  log.info(L"ARCHIVO\tWSQ : %ls", files.wsq.c_str());
  log.info(L"COMANDO CONVERTER : %ls ", files.converterCommand.c_str());

  int32_t code = DEV_SUCCESS;
  DWORD converterExit = 0;
  // The converter counts as created once its process exists; what it leaves is judged after the wait.
  const ConverterRun run = runConverter(files.converterCommand, kConverterLimitMs, converterExit,
                                        [&log] { log.info(L"Creacion WSQ de manera correcta"); });
  if (run == ConverterRun::NotStarted) {
    log.info(L"Creacion WSQ");
    code = DEV_ERR_WSQ_CONVERSION;
  } else {
    if (run == ConverterRun::TimedOut) {
      log.warning(L"El conversor WSQ no terminó en %d ms", static_cast<int>(kConverterLimitMs));
    } else if (converterExit != 0) {
      log.warning(L"El conversor WSQ terminó con código %d", static_cast<int>(converterExit));
    } else {
      log.info(L"El conversor WSQ terminó con código %d", 0);
    }
    wsq = readWsqFile(files.wsq);
    const wsq::WsqCheckResult check = wsq::checkWsqStream(wsq.data(), wsq.size());
    if (!check.whole) {
      const std::wstring fault(check.fault.begin(), check.fault.end());  // ASCII
      log.error(L"El archivo WSQ no es un WSQ completo: %ls", fault.c_str());
      code = DEV_ERR_WSQ_CONVERSION;
      wsq.clear();
    }
  }

  if (!settings.keepFiles) {
    log.info(DeleteFileW(files.wsq.c_str()) ? L"Se elimino correctamente archivo WSQ" : L"No se pudo eliminar archivo WSQ");
    log.info(DeleteFileW(files.raw.c_str()) ? L"Se elimino correctamente archivo RAW" : L"No se pudo eliminar RAW");
  }
  if (code == DEV_SUCCESS && settings.saveWsqFile) writeWholeFile(settings.wsqFileName, wsq.data(), wsq.size());
  return code;
}

}  // namespace

bool writeWholeFile(const std::wstring& path, const void* bytes, size_t count) {
  CaptureLog& log = captureLog();
  if (!bytes || count == 0) {
    log.warning(L"Archivo vacío");
    return false;
  }
  velmar::win::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    log.logSystemError(L"CreateFile");
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes, static_cast<DWORD>(count), &written, nullptr)) {
    log.logSystemError(L"WriteFile");
    return false;
  }
  log.debug(L"Archivo escrito %d/%d bytes", static_cast<int>(written), static_cast<int>(count));
  return true;
}

int onDeviceCaptureCallback(int32_t code, ReportOutcome& capture) {
  CaptureLog& log = captureLog();
  const RunSettings& settings = runSettings();
  log.debug(L"onDeviceCaptureCallback: result=%d", code);

  int attempt = 0;
  switch (admission.admit(code, attempt)) {
    case Admission::First: break;
    case Admission::Ignored:
    case Admission::AfterDelivery:
      log.warning(L"Ya existe un proceso de cierre en curso... Ignoramos llamada... ");
      if (code == DEV_ERR_CANCELLED) log.warning(L"Intento %d... Ignorando...", attempt);
      if (code == DEV_ERR_CANCELLED && attempt + 1 > 3) {
        log.warning(L"El resultado ya fue entregado... No se cancela de nuevo.");
      }
      return 0;
    case Admission::ForcedCancel:
      log.warning(L"Ya existe un proceso de cierre en curso... Ignoramos llamada... ");
      log.warning(L"Intento %d... Ignorando...", attempt);
      log.warning(L"A pesar de que existe proceso de cierre en curso... Cancelando CAPTURA...");
      break;
  }

  PipeClient wsqPipe(settings.wsqPipeName);
  if (!wsqPipe.connect()) {
    log.warning(L"No se podrá enviar nada a SERVIDOR. No se pudo encontrar ruta de comunicación.");
  }
  const ReportOutcome captured = capture;  // the reader's image, kept for the BMP pipe

  std::vector<uint8_t> wsq;
  if (code != DEV_SUCCESS) {
    setMessageLabel(settings.labelCaptureError);
  } else {
    setMessageLabel(settings.labelCaptureSuccess);
    code = convertCapture(captured, wsq);
  }
  // The first result to get here is the one delivered; a forced cancel that got here first has
  // already ended the run, so this one leaves the exit code and the pipes alone.
  if (!admission.claimDelivery()) {
    log.warning(L"El resultado ya fue entregado... Se descarta el resultado %d", static_cast<int>(code));
    return 0;
  }
  if (code == DEV_SUCCESS) wsqPipe.write(wsq.data(), wsq.size());

  const CaptureStatus status = captureStatus(code);
  setMessageLabel(L"V E L M A R");
  setStatusLabel(status.label);
  if (code == DEV_SUCCESS) log.info(L"%ls", status.word);
  else log.error(L"%ls", status.word);

  if (code != DEV_SUCCESS && wsqPipe.connected()) {
    log.debug(L"Escribiendo resultado de error en PIPE");
    const unsigned char byte = static_cast<unsigned char>(code & 0xFF);
    wsqPipe.write(&byte, 1);
  }
  exitCode() = code;
  log.debug(L"Cerrando PIPE");
  wsqPipe.close();

  if (code == DEV_SUCCESS && settings.bmpPipeRequested) {
    PipeClient bmpPipe(settings.bmpPipeName);
    if (!bmpPipe.connect()) {
      log.warning(L"BMP PIPE: No se podrá enviar nada a SERVIDOR. No se pudo encontrar ruta de comunicación.");
    } else {
      log.debug(L"BMP PIPE: Escribiendo en PIPE");
      const std::vector<uint8_t> bmp = bmpFileOf(captured.pixels, captured.width, captured.height);
      if (!bmp.empty()) bmpPipe.write(bmp.data(), bmp.size());
      log.debug(L"BMP PIPE: Cerrando PIPE");
      bmpPipe.close();
    }
  }

  Sleep(1000);
  log.debug(L"Closing GUI...");
  if (HWND dialog = guiDescriptor().dialog) {
    if (!EndDialog(dialog, 0)) log.logSystemError(L"EndDialog");
  }
  return 1;
}

}  // namespace capture_b
