// GetFingerPrint and segment as velmar-capture-a runs them.
#include "fingerprint_segmentation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "segmentation_test_support.h"
#include "synthetic_finger.h"

namespace segmentation {
namespace {

using testing::frameWith;
using testing::RecordingLog;
using testing::Rect;

SegmentationParams paramsFor(const GrayImage& frame) {
  SegmentationParams p;
  p.frameWidth = frame.width;
  p.frameHeight = frame.height;
  return p;
}

// Without morphology the regions are exactly the rectangles drawn.
SegmentationParams exactParamsFor(const GrayImage& frame) {
  SegmentationParams p = paramsFor(frame);
  p.erosionPasses = 0;
  p.dilationPasses = 0;
  return p;
}

GrayImage synthetic(velmar::synthetic::FingerParams f) {
  return GrayImage(velmar::synthetic::generateFinger(f), f.width, f.height);
}

const std::vector<std::wstring> kLabelingLines = {
    L"DBG EfficientRegionLabeling: Inicializaci\u00f3n de arrays completada",
    L"DBG EfficientRegionLabeling: Primer escaneo y etiquetado completado",
    L"DBG EfficientRegionLabeling: Segundo escaneo y etiquetado finalizado",
    L"DBG EfficientRegionLabeling: Inicializaci\u00f3n de arrays de regiones completado",
    L"DBG EfficientRegionLabeling: C\u00e1lculo de \u00e1reas y coordenadas de regiones completado"};

// An L-shaped finger with grey ridges, a speck in the empty corner of its box and one far away.
GrayImage lFingerFrame() {
  GrayImage frame = frameWith(320, 480, {{60, 90, 200, 150}, {60, 240, 100, 150}, {200, 300, 4, 4},
                                         {5, 5, 3, 3}}, 250);
  for (int y = 90; y < 390; ++y)
    for (int x = 60; x < 260; ++x)
      if (frame.at(x, y) == 0) frame.at(x, y) = static_cast<uint8_t>(20 + (x + 2 * y) % 150);
  return frame;
}

TEST(GetFingerPrint, LogTranscriptAndPlacement) {
  GrayImage frame = lFingerFrame();
  const GrayImage original = frame;
  GrayImage output(512, 512, 0);
  RecordingLog log;
  ASSERT_TRUE(GetFingerPrint(frame, output, exactParamsFor(frame), &log));

  std::vector<std::wstring> want = {L"DBG simple thresholding...", L"DBG simple erosion...",
                                    L"DBG simple dilation...", L"DBG efficient region labeling..."};
  want.insert(want.end(), kLabelingLines.begin(), kLabelingLines.end());
  want.insert(want.end(),
              {L"DBG MAIN REGION ((0,0),(320,480))",
               L"DBG region #0 (label=1): 3x3 ((5,5),(7,7)) = 9 => OK",
               L"DBG region #1 (label=2): 200x300 ((60,90),(259,389)) = 45000 => impresi\u00f3n dactilar detectada",
               L"DBG region #2 (label=3): 4x4 ((200,300),(203,303)) = 16 => OK",
               L"DBG Iniciando cropAndFill: (60,90),(259,389) de imagen de 320x480 ",
               L"DBG GetFingerPrint: recorte y rellenado completado..."});
  EXPECT_EQ(log.lines, want);

  // 200 x 300 box centred: column 156, row 106. Grey values of the finger are kept; the speck inside
  // the box and everything outside the box are white.
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int sx = x - 156 + 60, sy = y - 106 + 90;
      const bool inFinger = sx >= 60 && sy >= 90 && sx < 260 && sy < 390 && (sy < 240 || sx < 160);
      ASSERT_EQ(output.at(x, y), inFinger ? original.at(sx, sy) : 255) << x << "," << y;
    }
  }
  // The frame was consumed into the label image.
  EXPECT_EQ(frame.at(60, 90), 2);
  EXPECT_EQ(frame.at(0, 0), 255);
}

TEST(GetFingerPrint, SyntheticFingerIsMaskedCutAndCentred) {
  const GrayImage original = synthetic({});
  const SegmentationParams params = paramsFor(original);
  // The reference: the same segmentation, run on its own.
  GrayImage labels = original;
  RegionTables regions;
  ASSERT_TRUE(segment(labels, params, regions, params.maxRegions));
  int finger = -1;
  for (int i = 0; i < regions.count; ++i)
    if (regions.areas[i] > 30000) finger = i;
  ASSERT_GE(finger, 0);
  const RegionBox box = regions.boxes[finger];

  GrayImage frame = original;
  GrayImage output(512, 512, 0);
  RecordingLog log;
  ASSERT_TRUE(GetFingerPrint(frame, output, params, &log));
  EXPECT_EQ(frame.data, labels.data);
  const int w = box.maxX - box.minX + 1, h = box.maxY - box.minY + 1;
  const int col = (512 - w) / 2, row = (512 - h) / 2;
  size_t whitened = 0;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int sx = x - col + box.minX, sy = y - row + box.minY;
      const bool inBox = x >= col && y >= row && x < col + w && y < row + h;
      const bool ofFinger = inBox && labels.at(sx, sy) == regions.labels[finger];
      ASSERT_EQ(output.at(x, y), ofFinger ? original.at(sx, sy) : 255) << x << "," << y;
      whitened += inBox && !ofFinger && original.at(sx, sy) != 255;
    }
  }
  EXPECT_GT(whitened, 0u) << "the box corners outside the finger hold background that is whitened";
  EXPECT_EQ(log.countPrefix(L"ERR"), 0u);
}

struct CountCase {
  const char* name;
  GrayImage frame;
  bool exact;
  bool ok;
  std::vector<std::wstring> mustLog;
};

TEST(GetFingerPrint, FingerCounts) {
  using velmar::synthetic::FingerParams;
  FingerParams two;
  two.fingers = 2;
  FingerParams blank;
  blank.fingers = 0;
  FingerParams specks;
  specks.specks = 6;
  specks.seed = 4;
  const std::wstring noSingle = L"ERR S\u00f3lo una huella. Sin embargo, impresiones dactilares detectadas: ";
  CountCase cases[] = {
      {"exactly 30000 pixels is no finger", frameWith(400, 400, {{100, 100, 150, 200}}), true, false,
       {L"DBG region #0 (label=1): 150x200 ((100,100),(249,299)) = 30000 => OK", noSingle + L"0"}},
      {"30001 pixels is a finger", frameWith(400, 400, {{100, 100, 150, 200}, {100, 300, 1, 1}}), true,
       true,
       {L"DBG region #0 (label=1): 150x201 ((100,100),(249,300)) = 30001 => impresi\u00f3n dactilar detectada"}},
      {"two finger-sized regions, one much larger",
       frameWith(800, 700, {{20, 20, 400, 200}, {100, 400, 150, 201}}), true, false,
       {noSingle + L"2"}},
      {"synthetic two fingers", synthetic(two), false, false, {noSingle + L"2"}},
      {"blank frame", synthetic(blank), false, false, {L"DBG MAIN REGION ((0,0),(320,480))", noSingle + L"0"}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    GrayImage output(512, 512, 7);
    RecordingLog log;
    const SegmentationParams params = c.exact ? exactParamsFor(c.frame) : paramsFor(c.frame);
    EXPECT_EQ(GetFingerPrint(c.frame, output, params, &log), c.ok);
    for (const auto& line : c.mustLog) EXPECT_TRUE(log.has(line)) << std::string(line.begin(), line.end());
    if (!c.ok) {
      EXPECT_EQ(output.data, std::vector<uint8_t>(512 * 512, 7)) << "a failure leaves output alone";
      EXPECT_EQ(log.lines.back().substr(0, noSingle.size()), noSingle);
    }
  }
}

TEST(GetFingerPrint, SpecksAreLoggedOkAndIgnored) {
  velmar::synthetic::FingerParams f;
  f.specks = 6;
  f.seed = 11;
  GrayImage frame = synthetic(f);
  GrayImage output(512, 512);
  RecordingLog log;
  ASSERT_TRUE(GetFingerPrint(frame, output, paramsFor(frame), &log));
  size_t ok = 0, regionsLogged = 0;
  for (const auto& l : log.lines) {
    if (l.rfind(L"DBG region #", 0) != 0) continue;
    ++regionsLogged;
    ok += l.size() > 5 && l.compare(l.size() - 5, 5, L"=> OK") == 0 ? 1 : 0;
  }
  EXPECT_GE(regionsLogged, 4u) << "most specks survive the erosion as regions of their own";
  EXPECT_EQ(ok, regionsLogged - 1);
}

TEST(GetFingerPrint, LabelAndRegionLimitsFailTheSegmentation) {
  const struct { const char* name; int dots; const wchar_t* labelingError; } cases[] = {
      {"more than 254 provisional labels", 300,
       L"ERR EfficientRegionLabeling: N\u00famero de regiones sobrepasa l\u00edmite (255)"},
      {"more than 64 regions", 65,
       L"ERR EfficientRegionLabeling: N\u00famero de regiones sobrepasa tama\u00f1o de argumento enviado (64)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Rect> dots;
    for (int i = 0; i < c.dots; ++i) dots.push_back({(i % 30) * 10, (i / 30) * 10, 2, 2});
    GrayImage frame = frameWith(320, 480, dots);
    GrayImage output(512, 512, 0);
    RecordingLog log;
    EXPECT_FALSE(GetFingerPrint(frame, output, exactParamsFor(frame), &log));
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[log.lines.size() - 2], c.labelingError);
    EXPECT_EQ(log.lines.back(), L"ERR No fue posible segmentar la imagen original");
  }
}

TEST(GetFingerPrint, BoxPlacementInTheOutput) {
  // A 600-wide finger keeps its left 512 columns at column 0; a 300 x 400 one lands at (106, 56).
  const struct { int w, h, frameW, frameH, col, row, keptW, keptH; } cases[] = {
      {600, 300, 700, 480, 0, 106, 512, 300},
      {300, 400, 640, 480, 106, 56, 300, 400},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.w);
    GrayImage frame = frameWith(c.frameW, c.frameH, {{40, 30, c.w, c.h}}, 240);
    for (int y = 30; y < 30 + c.h; ++y)
      for (int x = 40; x < 40 + c.w; ++x) frame.at(x, y) = static_cast<uint8_t>(x % 200);
    const GrayImage original = frame;
    GrayImage output(512, 512, 0);
    ASSERT_TRUE(GetFingerPrint(frame, output, exactParamsFor(frame)));
    for (int y = 0; y < 512; ++y) {
      for (int x = 0; x < 512; ++x) {
        const bool in = x >= c.col && y >= c.row && x < c.col + c.keptW && y < c.row + c.keptH;
        ASSERT_EQ(output.at(x, y), in ? original.at(x - c.col + 40, y - c.row + 30) : 255)
            << x << "," << y;
      }
    }
  }
}

TEST(GetFingerPrint, UnusableImagesFailWithoutAMessage) {
  GrayImage empty;
  GrayImage frame(32, 32, 255);
  GrayImage output(512, 512);
  GrayImage noOutput;
  RecordingLog log;
  EXPECT_FALSE(GetFingerPrint(empty, output, SegmentationParams{}, &log));
  EXPECT_FALSE(GetFingerPrint(frame, noOutput, SegmentationParams{}, &log));
  EXPECT_TRUE(log.lines.empty());
}

TEST(RegionClassText, Classes) {
  SegmentationParams p;
  p.frameWidth = 320;
  p.frameHeight = 480;
  const struct { const char* name; RegionBox box; uint32_t area; const wchar_t* want; } cases[] = {
      {"small", {0, 0, 10, 10}, 30000, L"OK"},
      {"inside, upright", {10, 10, 200, 300}, 40000, L"impresi\u00f3n dactilar detectada"},
      {"inside, wider than high", {10, 10, 300, 100}, 40000, L"impresi\u00f3n dactilar detectada girada"},
      {"left edge, wide and short", {0, 10, 281, 100}, 40000, L"impresi\u00f3n dactilar en borde equivocado"},
      {"left edge, not wide enough", {0, 10, 279, 100}, 40000, L"impresi\u00f3n dactilar GRANDE detectada"},
      {"top edge, tall", {10, 0, 300, 450}, 40000, L"impresi\u00f3n dactilar GRANDE detectada"},
  };
  for (const auto& c : cases) EXPECT_STREQ(regionClassText(c.box, c.area, p), c.want) << c.name;
}

}  // namespace
}  // namespace segmentation
