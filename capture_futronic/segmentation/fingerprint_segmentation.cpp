// fingerprint_segmentation.cpp: segment and GetFingerPrint, both variants.
#include "fingerprint_segmentation.h"

#include "crop_fill.h"
#include "image_writers.h"
#include "morphology.h"

namespace segmentation {

namespace {

#ifdef VELMAR_SEGMENTATION_VARIANT_B
constexpr bool kVariantB = true;
constexpr const wchar_t* kWrongEdge = L"impresi\u00f3n dactilar detectada en borde equivocado";

// Debug images in the working directory: prefix + run identifier + ".pgm".
void dump(const GrayImage& image, const wchar_t* prefix, const std::wstring& runId,
          SegmentationLog* log) {
  writePgm(image, (prefix + runId + L".pgm").c_str(), log);
}
#else
constexpr bool kVariantB = false;
constexpr const wchar_t* kWrongEdge = L"impresi\u00f3n dactilar en borde equivocado";
#endif

bool isFinger(uint32_t area, const SegmentationParams& params) {
  return static_cast<int64_t>(area) > params.minFingerArea;
}

bool segmentSteps(GrayImage& image, const SegmentationParams& params, RegionTables& regions,
                  int32_t capacity, [[maybe_unused]] bool debugDump,
                  [[maybe_unused]] const std::wstring& runId, SegmentationLog* log) {
  logDebug(log, L"simple thresholding...");
  if (!image.usable()) return false;
  applyThreshold(image, params.threshold);
#ifdef VELMAR_SEGMENTATION_VARIANT_B
  if (debugDump) dump(image, L"original.b&w-", runId, log);
#endif
  logDebug(log, L"simple erosion...");
  if (!erode(image, params.erosionPasses)) return false;
  logDebug(log, L"simple dilation...");
  if (!dilate(image, params.dilationPasses)) return false;
  logDebug(log, L"efficient region labeling...");
  return EfficientRegionLabeling(image, regions, capacity, log);
}

bool getFingerPrintSteps(GrayImage& frame, GrayImage& output, const SegmentationParams& params,
                         bool debugDump, const std::wstring& runId, SegmentationLog* log) {
  if (!frame.usable() || !output.usable()) return false;
  GrayImage grey = frame;
  if (kVariantB) logDebug(log, L"GetFingerPrint: copia de objeto completada...");

  const int32_t capacity = params.maxRegions > 0 ? params.maxRegions : 0;
  RegionTables regions;
  regions.areas.reserve(capacity);
  regions.labels.reserve(capacity);
  regions.boxes.reserve(capacity);
  if (!segmentSteps(frame, params, regions, capacity, debugDump, runId, log)) {
    if (!kVariantB) logError(log, L"No fue posible segmentar la imagen original");
    return false;
  }
  if (kVariantB) logDebug(log, L"GetFingerPrint: b\u00fasqueda de regiones completada...");

  logDebug(log, L"MAIN REGION ((%d,%d),(%d,%d))", 0, 0, params.frameWidth, params.frameHeight);
  int fingers = 0;
  uint8_t fingerLabel = 0;
  RegionBox box{};
  for (int32_t i = 0; i < regions.count; ++i) {
    const RegionBox& b = regions.boxes[i];
    logDebug(log, L"region #%d (label=%d): %dx%d ((%d,%d),(%d,%d)) = %u => %ls", i,
             static_cast<int>(regions.labels[i]), b.maxX - b.minX + 1, b.maxY - b.minY + 1, b.minX,
             b.minY, b.maxX, b.maxY, static_cast<unsigned>(regions.areas[i]),
             regionClassText(b, regions.areas[i], params));
    if (isFinger(regions.areas[i], params)) {
      ++fingers;
      fingerLabel = regions.labels[i];
      box = b;
    }
  }
  if (fingers != 1) {
    if (!kVariantB)
      logError(log, L"S\u00f3lo una huella. Sin embargo, impresiones dactilares detectadas: %d", fingers);
    return false;
  }

  const auto fill = static_cast<uint8_t>(params.fill & 0xFF);
  if (!maskOutside(grey, frame, fingerLabel, fill)) {
    logError(log, L"Mask");
    return false;
  }
#ifdef VELMAR_SEGMENTATION_VARIANT_B
  logDebug(log, L"GetFingerPrint: enmascaramiento completado...");
  if (debugDump) dump(grey, L"original.masked-", runId, log);
#endif

  logDebug(log, L"Iniciando cropAndFill: (%d,%d),(%d,%d) de imagen de %dx%d ", box.minX, box.minY,
           box.maxX, box.maxY, grey.width, grey.height);
  if (!cropAndFill(grey, box.minX, box.minY, box.maxX, box.maxY, output, -1, -1, fill)) {
    logError(log, L"Crop");
    return false;
  }
  logDebug(log, L"GetFingerPrint: recorte y rellenado completado...");
  return true;
}

}  // namespace

const wchar_t* regionClassText(const RegionBox& b, uint32_t area, const SegmentationParams& params) {
  if (!isFinger(area, params)) return L"OK";
  const int64_t w = static_cast<int64_t>(b.maxX) - b.minX, h = static_cast<int64_t>(b.maxY) - b.minY;
  if (b.minX > 0 && b.minY > 0 && b.maxX < params.frameWidth)
    return w > h ? L"impresi\u00f3n dactilar detectada girada" : L"impresi\u00f3n dactilar detectada";
  // The box touches the left or top edge.
  if (w + 1 > static_cast<int64_t>(params.frameWidth) - 39 &&
      h + 1 < static_cast<int64_t>(params.frameHeight) - 29)
    return kWrongEdge;
  return L"impresi\u00f3n dactilar GRANDE detectada";
}

#ifndef VELMAR_SEGMENTATION_VARIANT_B

bool segment(GrayImage& image, const SegmentationParams& params, RegionTables& regions,
             int32_t capacity, SegmentationLog* log) {
  return segmentSteps(image, params, regions, capacity, false, std::wstring(), log);
}

bool GetFingerPrint(GrayImage& frame, GrayImage& output, const SegmentationParams& params,
                    SegmentationLog* log) {
  return getFingerPrintSteps(frame, output, params, false, std::wstring(), log);
}

#else

bool segment(GrayImage& image, const SegmentationParams& params, RegionTables& regions,
             int32_t capacity, bool debugDump, const std::wstring& runId, SegmentationLog* log) {
  return segmentSteps(image, params, regions, capacity, debugDump, runId, log);
}

bool GetFingerPrint(GrayImage& frame, GrayImage& output, const SegmentationParams& params,
                    bool debugDump, const std::wstring& runId, SegmentationLog* log) {
  return getFingerPrintSteps(frame, output, params, debugDump, runId, log);
}

#endif

}  // namespace segmentation
