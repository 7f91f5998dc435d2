#include "region_labeling.h"

#include <gtest/gtest.h>

#include <set>

#include "segmentation_test_support.h"

namespace segmentation {
namespace {

using testing::frameWith;
using testing::RecordingLog;
using testing::Rect;

// Dark image from rows of '#' (0) and '.' (255).
GrayImage fromPicture(const std::vector<std::string>& rows) {
  GrayImage image(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), 255);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (rows[y][x] == '#') image.at(x, y) = 0;
  return image;
}

// n isolated dark pixels on a grid with one light pixel between them.
GrayImage dots(int n) {
  const int perRow = 40;
  GrayImage image(perRow * 2, ((n + perRow - 1) / perRow) * 2, 255);
  for (int i = 0; i < n; ++i) image.at((i % perRow) * 2, (i / perRow) * 2) = 0;
  return image;
}

TEST(EfficientRegionLabeling, MergesAndNumbersInRasterOrder) {
  // Region 0: a U whose arms start with different provisional labels and meet at the bottom.
  // Region 1: starts left of region 0 but on a lower row. The diagonal pixel joins region 1.
  GrayImage image = fromPicture({
      "....#...#.",
      "....#...#.",
      "#...#####.",
      "#.........",
      ".#........",
  });
  RegionTables regions;
  RecordingLog log;
  ASSERT_TRUE(EfficientRegionLabeling(image, regions, 64, &log));
  ASSERT_EQ(regions.count, 2);
  EXPECT_EQ(regions.areas[0], 9u);
  EXPECT_EQ(regions.areas[1], 3u);
  EXPECT_EQ(regions.boxes[0].minX, 4);
  EXPECT_EQ(regions.boxes[0].minY, 0);
  EXPECT_EQ(regions.boxes[0].maxX, 8);
  EXPECT_EQ(regions.boxes[0].maxY, 2);
  EXPECT_EQ(regions.boxes[1].minX, 0);
  EXPECT_EQ(regions.boxes[1].minY, 2);
  EXPECT_EQ(regions.boxes[1].maxX, 1);
  EXPECT_EQ(regions.boxes[1].maxY, 4);
  // Every pixel of a region carries the region's label; the background stays 255.
  EXPECT_EQ(image.at(4, 0), regions.labels[0]);
  EXPECT_EQ(image.at(8, 0), regions.labels[0]);
  EXPECT_EQ(image.at(6, 2), regions.labels[0]);
  EXPECT_EQ(image.at(0, 2), regions.labels[1]);
  EXPECT_EQ(image.at(1, 4), regions.labels[1]);
  EXPECT_NE(regions.labels[0], regions.labels[1]);
  EXPECT_EQ(image.at(0, 0), 255);
  EXPECT_EQ(log.lines, (std::vector<std::wstring>{
                           L"DBG EfficientRegionLabeling: Inicializaci\u00f3n de arrays completada",
                           L"DBG EfficientRegionLabeling: Primer escaneo y etiquetado completado",
                           L"DBG EfficientRegionLabeling: Segundo escaneo y etiquetado finalizado",
                           L"DBG EfficientRegionLabeling: Inicializaci\u00f3n de arrays de regiones completado",
                           L"DBG EfficientRegionLabeling: C\u00e1lculo de \u00e1reas y coordenadas de regiones completado"}));
}

TEST(EfficientRegionLabeling, UpperRightNeighbourMergesClasses) {
  // The second row's pixel sees a label on its left and another up-right: both must merge.
  GrayImage image = fromPicture({
      "#.#",
      "##.",
  });
  RegionTables regions;
  ASSERT_TRUE(EfficientRegionLabeling(image, regions, 64));
  EXPECT_EQ(regions.count, 1);
  EXPECT_EQ(regions.areas[0], 4u);
}

TEST(EfficientRegionLabeling, EmptyImageHasNoRegion) {
  GrayImage image(8, 8, 255);
  RegionTables regions;
  ASSERT_TRUE(EfficientRegionLabeling(image, regions, 64));
  EXPECT_EQ(regions.count, 0);
}

struct LimitCase {
  const char* name;
  int dots;
  int capacity;
  bool ok;
  const wchar_t* error;
};

TEST(EfficientRegionLabeling, Limits) {
  const LimitCase cases[] = {
      {"254 provisional labels fit", 254, 254, true, nullptr},
      {"255th provisional label fails", 255, 300,
       false, L"ERR EfficientRegionLabeling: N\u00famero de regiones sobrepasa l\u00edmite (255)"},
      {"64 regions fit 64", 64, 64, true, nullptr},
      {"65 regions exceed 64", 65, 64, false,
       L"ERR EfficientRegionLabeling: N\u00famero de regiones sobrepasa tama\u00f1o de argumento enviado (64)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GrayImage image = dots(c.dots);
    RegionTables regions;
    RecordingLog log;
    EXPECT_EQ(EfficientRegionLabeling(image, regions, c.capacity, &log), c.ok);
    if (c.ok) {
      EXPECT_EQ(regions.count, c.dots);
      std::set<uint8_t> labels(regions.labels.begin(), regions.labels.end());
      EXPECT_EQ(labels.size(), static_cast<size_t>(c.dots));
    } else {
      EXPECT_EQ(log.lines.back(), c.error);
      EXPECT_EQ(log.countPrefix(L"ERR "), 1u);
    }
  }
}

TEST(EfficientRegionLabeling, ManyMergesStayWithinOneRegion) {
  // A comb: 100 teeth, each a new provisional label, all joined by the bottom row.
  GrayImage image(200, 6, 255);
  for (int x = 0; x < 200; x += 2)
    for (int y = 0; y < 5; ++y) image.at(x, y) = 0;
  for (int x = 0; x < 200; ++x) image.at(x, 5) = 0;
  RegionTables regions;
  ASSERT_TRUE(EfficientRegionLabeling(image, regions, 64));
  ASSERT_EQ(regions.count, 1);
  EXPECT_EQ(regions.areas[0], 100u * 5 + 200);
  for (uint8_t p : image.data) EXPECT_TRUE(p == 255 || p == regions.labels[0]);
}

}  // namespace
}  // namespace segmentation
