// capture_processing.cpp: segmentation, WSQ and BMP of an accepted frame (window thread).
#include "capture_processing.h"

#include "encode_wsq.h"
#include "result_codes.h"
#include "segmentation.h"
#include "simple_logger.h"
#include "simple_logger_segmentation_log.h"

namespace one {

bool processCapture(const std::vector<std::uint8_t>& capturedFrame, std::int32_t capturedWidth,
                    std::int32_t capturedHeight, const CaptureSettings& settings, SimpleLogger::Log* log,
                    CaptureOutput& output) {
  output = CaptureOutput{};
  const std::size_t expected = capturedWidth > 0 && capturedHeight > 0
                                   ? static_cast<std::size_t>(capturedWidth) * static_cast<std::size_t>(capturedHeight)
                                   : 0;
  if (capturedFrame.empty() || capturedFrame.size() < expected || expected == 0) {
    if (log) log->error(L"IllegalArgument: Imagen capturada de 0 bytes.");
    // Nothing was captured: this must not reach the host as a success.
    output.code = DEV_ERR_INTERNAL_APP;
    return false;
  }
  segmentation::GrayImage frame(
      std::vector<std::uint8_t>(capturedFrame.begin(), capturedFrame.begin() + static_cast<std::ptrdiff_t>(expected)),
      capturedWidth, capturedHeight);
  segmentation::SegmentationParams params;
  params.threshold = settings.threshold;
  params.fill = settings.fill;
  params.erosionPasses = 1;
  params.dilationPasses = 2;
  params.maxRegions = 64;
  params.frameWidth = capturedWidth;
  params.frameHeight = capturedHeight;
  params.minFingerArea = settings.minFingerArea;
  params.outputWidth = settings.outputWidth;
  params.outputHeight = settings.outputHeight;
  segmentation::GrayImage finger(settings.outputWidth, settings.outputHeight);
  if (log)
    log->debug(L"Verificando, obteniendo y convirtiendo impresi\u00f3n dactilar a %dx%d...",
               static_cast<int>(settings.outputWidth), static_cast<int>(settings.outputHeight));
  segmentation::SimpleLoggerSegmentationLog segmentationLog(log);
  if (!segmentation::GetFingerPrint(frame, finger, params, &segmentationLog)) {
    if (log)
      log->error(L"Captura err\u00f3nea. Verifique que para la captura se haya presionado en el CENTRO y de forma "
                 L"VERTICAL s\u00f3lo la FALANGE DISTAL (tercera falange o falangeta) del dedo. Si eso no funciona "
                 L"aseg\u00farese que el dispositivo est\u00e9 limpio y no presente manchas.");
    output.code = DEV_ERR_WRONG_FINGERPRINT;
    return false;
  }
  std::vector<unsigned char> wsqBytes;
  const wsq::WsqSourceImage source{finger.data.data(), finger.data.size(), finger.width, finger.height};
  if (!wsq::encodeWsq(source, wsqBytes, log)) {
    if (log)
      log->error(L"No se pudo procesar impresi\u00f3n dactilar a compresi\u00f3n WSQ. \nVerifique la instalaci\u00f3n o "
                 L"reinstale la aplicaci\u00f3n.");
    output.code = DEV_ERR_WSQ_CONVERSION;
    return false;
  }
  std::vector<std::uint8_t> bmp;
  if (!segmentation::toBmp(finger, bmp, &segmentationLog)) {
    if (log)
      log->error(L"No se pudo procesar impresi\u00f3n dactilar a formato BMP. \nVuelva a ejecutar el proceso, o "
                 L"reinicie su ordenador.");
    output.code = DEV_ERR_WSQ_CONVERSION;
    return false;
  }
  output.wsq.assign(wsqBytes.begin(), wsqBytes.end());
  output.bmp = std::move(bmp);
  output.code = DEV_SUCCESS;
  return true;
}

}  // namespace one
