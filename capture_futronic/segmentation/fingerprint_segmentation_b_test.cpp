// GetFingerPrint as velmar-capture-b runs it (built with VELMAR_SEGMENTATION_VARIANT_B).
#include "fingerprint_segmentation.h"

#include <gtest/gtest.h>

#include "segmentation_test_support.h"
#include "testing/temp_dir.h"

namespace segmentation {
namespace {

using testing::frameWith;
using testing::RecordingLog;
using testing::Rect;
using velmar::testing::readBytes;
using velmar::testing::TempDir;

SegmentationParams exactParamsFor(const GrayImage& frame) {
  SegmentationParams p;
  p.frameWidth = frame.width;
  p.frameHeight = frame.height;
  p.erosionPasses = 0;
  p.dilationPasses = 0;
  return p;
}

// A finger with a speck in the empty corner of its box.
GrayImage lFingerFrame() {
  return frameWith(320, 480, {{60, 90, 200, 150}, {60, 240, 100, 150}, {200, 300, 4, 4}}, 250);
}

TEST(GetFingerPrintB, ExtraProgressLines) {
  GrayImage frame = lFingerFrame();
  GrayImage output(512, 512, 0);
  RecordingLog log;
  ASSERT_TRUE(GetFingerPrint(frame, output, exactParamsFor(frame), false, L"aB3xY9", &log));
  EXPECT_EQ(log.lines,
            (std::vector<std::wstring>{
                L"DBG GetFingerPrint: copia de objeto completada...",
                L"DBG simple thresholding...",
                L"DBG simple erosion...",
                L"DBG simple dilation...",
                L"DBG efficient region labeling...",
                L"DBG EfficientRegionLabeling: Inicializaci\u00f3n de arrays completada",
                L"DBG EfficientRegionLabeling: Primer escaneo y etiquetado completado",
                L"DBG EfficientRegionLabeling: Segundo escaneo y etiquetado finalizado",
                L"DBG EfficientRegionLabeling: Inicializaci\u00f3n de arrays de regiones completado",
                L"DBG EfficientRegionLabeling: C\u00e1lculo de \u00e1reas y coordenadas de regiones completado",
                L"DBG GetFingerPrint: b\u00fasqueda de regiones completada...",
                L"DBG MAIN REGION ((0,0),(320,480))",
                L"DBG region #0 (label=1): 200x300 ((60,90),(259,389)) = 45000 => impresi\u00f3n dactilar detectada",
                L"DBG region #1 (label=2): 4x4 ((200,300),(203,303)) = 16 => OK",
                L"DBG GetFingerPrint: enmascaramiento completado...",
                L"DBG Iniciando cropAndFill: (60,90),(259,389) de imagen de 320x480 ",
                L"DBG GetFingerPrint: recorte y rellenado completado..."}));
  EXPECT_EQ(output.at(156, 106), 0);    // finger's top-left corner
  EXPECT_EQ(output.at(296, 316), 255);  // the speck inside the box is whitened
}

TEST(GetFingerPrintB, FailuresOfSegmentAndCountAreSilent) {
  std::vector<Rect> dots;
  for (int i = 0; i < 300; ++i) dots.push_back({(i % 30) * 10, (i / 30) * 10, 2, 2});
  const struct { const char* name; GrayImage frame; std::vector<std::wstring> errors; } cases[] = {
      {"two fingers", frameWith(800, 700, {{20, 20, 400, 200}, {100, 400, 150, 201}}), {}},
      {"no finger", frameWith(320, 480, {}), {}},
      {"too many labels", frameWith(320, 480, dots),
       {L"ERR EfficientRegionLabeling: N\u00famero de regiones sobrepasa l\u00edmite (255)"}},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.name);
    GrayImage output(512, 512, 0);
    RecordingLog log;
    EXPECT_FALSE(GetFingerPrint(c.frame, output, exactParamsFor(c.frame), false, L"x", &log));
    std::vector<std::wstring> errors;
    for (const auto& l : log.lines)
      if (l.rfind(L"ERR", 0) == 0) errors.push_back(l);
    EXPECT_EQ(errors, c.errors);
  }
}

TEST(GetFingerPrintB, WrongEdgeText) {
  SegmentationParams p;
  p.frameWidth = 320;
  p.frameHeight = 480;
  EXPECT_STREQ(regionClassText({0, 10, 281, 100}, 40000, p),
               L"impresi\u00f3n dactilar detectada en borde equivocado");
  EXPECT_STREQ(regionClassText({0, 10, 100, 450}, 40000, p), L"impresi\u00f3n dactilar GRANDE detectada");
}

TEST(GetFingerPrintB, DebugDumpWritesThresholdedAndMaskedImages) {
  TempDir dir(/*enter=*/true);
  GrayImage frame = lFingerFrame();
  const GrayImage original = frame;
  GrayImage output(512, 512, 0);
  RecordingLog log;
  ASSERT_TRUE(GetFingerPrint(frame, output, exactParamsFor(frame), true, L"aB3xY9", &log));

  std::string thresholded = "P5 320 480 255 ";
  for (uint8_t p : original.data) thresholded += static_cast<char>(p < 210 ? 0 : 255);
  EXPECT_EQ(readBytes("original.b&w-aB3xY9.pgm"), thresholded);

  std::string masked = "P5 320 480 255 ";
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 320; ++x) {
      const bool finger = x >= 60 && y >= 90 && x < 260 && y < 390 && (y < 240 || x < 160);
      masked += static_cast<char>(finger ? original.at(x, y) : 255);
    }
  EXPECT_EQ(readBytes("original.masked-aB3xY9.pgm"), masked);
  EXPECT_EQ(log.countPrefix(L"DBG PGM header = 15 bytes"), 2u);

  // Without the flag nothing is written.
  std::filesystem::remove("original.b&w-aB3xY9.pgm");
  std::filesystem::remove("original.masked-aB3xY9.pgm");
  GrayImage again = original;
  ASSERT_TRUE(GetFingerPrint(again, output, exactParamsFor(again), false, L"aB3xY9", nullptr));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace segmentation
