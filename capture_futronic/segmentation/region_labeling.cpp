// region_labeling.cpp: EfficientRegionLabeling.
#include "region_labeling.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace segmentation {

namespace {

constexpr int kBackground = 255;
constexpr int kMaxLabels = 254;  // provisional labels 1..254; 255 is the background

// Work tables indexed by provisional label; index 0 is never a label.
struct WorkTables {
  std::array<uint8_t, 255> equivalence;
  std::array<uint32_t, 255> count{};
  std::array<uint32_t, 255> minX, minY, maxX{}, maxY{};
  WorkTables() {
    for (int i = 0; i < 255; ++i) equivalence[i] = static_cast<uint8_t>(i);
    minX.fill(std::numeric_limits<uint32_t>::max());
    minY.fill(std::numeric_limits<uint32_t>::max());
  }
};

}  // namespace

bool EfficientRegionLabeling(GrayImage& image, RegionTables& regions, int32_t capacity,
                             SegmentationLog* log) {
  if (!image.usable()) return false;
  WorkTables t;
  logDebug(log, L"EfficientRegionLabeling: Inicializaci\u00f3n de arrays completada");

  const int32_t w = image.width, h = image.height;
  // The image with a background row above and a background column either side, so that every
  // neighbour is read without a bounds check; labels are written here and copied back.
  const size_t stride = static_cast<size_t>(w) + 2;
  std::vector<uint8_t> padded(stride * (static_cast<size_t>(h) + 1), kBackground);
  for (int32_t y = 0; y < h; ++y) std::copy_n(&image.at(0, y), w, &padded[(y + 1) * stride + 1]);
  int last = 0;  // last provisional label given
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = &padded[(y + 1) * stride + 1];
    const uint8_t* up = row - stride;
    for (int32_t x = 0; x < w; ++x) {
      if (row[x] != 0) continue;
      // Left, upper-left, upper, upper-right; outside the image counts as background.
      const int neighbours[4] = {row[x - 1], up[x - 1], up[x], up[x + 1]};
      int primary = 0, secondary = 0;
      for (int n : neighbours) {
        if (n == kBackground) continue;
        if (primary == 0) primary = n;
        else if (n != primary) secondary = n;
      }
      int label;
      if (primary == 0) {
        if (last == kMaxLabels) {
          logError(log, L"EfficientRegionLabeling: N\u00famero de regiones sobrepasa l\u00edmite (%d)", 255);
          for (int32_t yy = 0; yy < h; ++yy) std::copy_n(&padded[(yy + 1) * stride + 1], w, &image.at(0, yy));
          return false;
        }
        label = ++last;
      } else {
        label = primary;
        // Classes already joined need no pass over the table.
        if (secondary != 0 && t.equivalence[secondary] != t.equivalence[primary]) {
          const uint8_t s = t.equivalence[secondary];
          for (int l = 1; l <= last; ++l)
            if (t.equivalence[l] == s) t.equivalence[l] = t.equivalence[primary];
        }
      }
      row[x] = static_cast<uint8_t>(label);
      ++t.count[label];
      t.minX[label] = std::min(t.minX[label], static_cast<uint32_t>(x));
      t.minY[label] = std::min(t.minY[label], static_cast<uint32_t>(y));
      t.maxX[label] = std::max(t.maxX[label], static_cast<uint32_t>(x));
      t.maxY[label] = std::max(t.maxY[label], static_cast<uint32_t>(y));
    }
  }
  for (int32_t y = 0; y < h; ++y) std::copy_n(&padded[(y + 1) * stride + 1], w, &image.at(0, y));
  logDebug(log, L"EfficientRegionLabeling: Primer escaneo y etiquetado completado");

  for (auto& p : image.data)
    if (p != kBackground) p = t.equivalence[p];
  logDebug(log, L"EfficientRegionLabeling: Segundo escaneo y etiquetado finalizado");

  // Regions numbered by their first provisional label, i.e. by their first pixel in raster order.
  std::array<int, 255> regionOf;
  regionOf.fill(-1);
  int count = 0;
  for (int l = 1; l <= last; ++l)
    if (regionOf[t.equivalence[l]] < 0) regionOf[t.equivalence[l]] = count++;
  if (count > capacity) {
    logError(log,
             L"EfficientRegionLabeling: N\u00famero de regiones sobrepasa tama\u00f1o de argumento enviado (%d)",
             capacity);
    return false;
  }

  regions.count = count;
  regions.areas.assign(count, 0);
  regions.labels.assign(count, 0);
  regions.boxes.assign(count, RegionBox{std::numeric_limits<int32_t>::max(),
                                        std::numeric_limits<int32_t>::max(), 0, 0});
  logDebug(log, L"EfficientRegionLabeling: Inicializaci\u00f3n de arrays de regiones completado");

  for (int l = 1; l <= last; ++l) {
    const int r = regionOf[t.equivalence[l]];
    regions.areas[r] += t.count[l];
    regions.labels[r] = t.equivalence[l];
    RegionBox& b = regions.boxes[r];
    b.minX = std::min(b.minX, static_cast<int32_t>(t.minX[l]));
    b.minY = std::min(b.minY, static_cast<int32_t>(t.minY[l]));
    b.maxX = std::max(b.maxX, static_cast<int32_t>(t.maxX[l]));
    b.maxY = std::max(b.maxY, static_cast<int32_t>(t.maxY[l]));
  }
  logDebug(log, L"EfficientRegionLabeling: C\u00e1lculo de \u00e1reas y coordenadas de regiones completado");
  return true;
}

}  // namespace segmentation
