// reader_report_test.cpp: library results, report copies and capture outcomes; also the version
// check, the status table and the converter command line.
#include "reader_report.h"

#include <gtest/gtest.h>

#include "capture_status.h"
#include "converter_command.h"
#include "result_codes.h"
#include "version_check.h"

namespace capture_b {
namespace {

TEST(LibraryErrors, MappingByCall) {
  struct Case { int32_t r; int32_t openOrCapture; int32_t close; };
  const Case kCases[] = {{0x05BA0014, 211, 212}, {0x05BA0015, 212, 211}, {0x05BA001E, 217, 217},
                         {0x05BA001F, 213, 213}, {0x05BA000D, 212, 212}, {-1, 212, 212}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.r);
    EXPECT_EQ(resultForLibraryError(c.r, LibraryCall::OpenOrCapture), c.openOrCapture);
    EXPECT_EQ(resultForLibraryError(c.r, LibraryCall::Close), c.close);
  }
}

dpfpdd::CaptureReport report(int32_t error, int32_t success, uint32_t quality) {
  dpfpdd::CaptureReport r{};
  r.size = sizeof r;
  r.error = error;
  r.success = success;
  r.quality = quality;
  return r;
}

TEST(Reports, OutcomeByField) {
  struct Case { const char* name; dpfpdd::CaptureReport r; int32_t code; };
  const Case kCases[] = {{"error field wins", report(0x05BA001F, 1, 2), 212},
                         {"cancelled", report(0, 0, 2), 208},
                         {"faulty finger", report(0, 0, 1), 216},
                         {"image of no size", report(0, 1, 0), 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const ReportOutcome o = outcomeOf(c.r);
    EXPECT_EQ(o.code, c.code);
    EXPECT_TRUE(o.pixels.empty());
  }
}

TEST(Reports, CopyKeepsTheImageAfterTheLibraryReleasesIt) {
  std::vector<uint8_t> image(400 * 500);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
  dpfpdd::CaptureReport r = report(0, 1, 0);
  r.width = 400;
  r.height = 500;
  r.imageSize = static_cast<uint32_t>(image.size());
  r.image = image.data();
  const ReportCopy copy = ReportCopy::of(&r);
  const std::vector<uint8_t> original = image;
  image.assign(image.size(), 0);  // the library reuses its buffer once the callback returns
  r.width = 1;

  ASSERT_FALSE(copy.empty());
  EXPECT_NE(copy.report().image, nullptr);
  const ReportOutcome o = outcomeOf(copy.report());
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.width, 400);
  EXPECT_EQ(o.height, 500);
  EXPECT_EQ(o.pixels, original);
  EXPECT_TRUE(ReportCopy::of(nullptr).empty());
}

TEST(Reports, ShortOrMissingImageIsNeverOverread) {
  std::vector<uint8_t> small(10, 7);
  dpfpdd::CaptureReport r = report(0, 1, 0);
  r.width = 4;
  r.height = 4;
  r.imageSize = 10;
  r.image = small.data();
  ReportOutcome o = outcomeOf(ReportCopy::of(&r).report());
  ASSERT_EQ(o.pixels.size(), 16u);
  EXPECT_EQ(o.pixels[9], 7);
  EXPECT_EQ(o.pixels[10], 255);
  r.image = nullptr;
  o = outcomeOf(ReportCopy::of(&r).report());
  EXPECT_EQ(o.pixels, std::vector<uint8_t>(16, 255));
  r.width = r.height = 100000;
  EXPECT_EQ(outcomeOf(r).code, DEV_ERR_FAULTY_FINGER);
}

TEST(VersionCheck, AgainstCurrentOnePointZero) {
  for (const wchar_t* ok : {L"", L"0.9", L"1.0", L"1", L"0"}) EXPECT_TRUE(versionSatisfies(L"1.0", ok)) << ok;
  for (const wchar_t* bad : {L"1.0.1", L"1.1", L"2", L"10", L"1.00"})
    EXPECT_FALSE(versionSatisfies(L"1.0", bad)) << bad;
}

TEST(StatusTable, TextsAndWords) {
  struct Case { int32_t code; const wchar_t* label; const wchar_t* word; };
  const Case kCases[] = {{0, L"CAPTURA CORRECTA", L"SUCCESS"},
                         {203, L"SE ACABO EL TIEMPO DE ESPERA", L"TIMEOUT"},
                         {204, L"ERROR EN LA CAPTURA DE HUELLA", L"WRONG FINGERPRINT"},
                         {206, L"ÁREA DE CAPTURA SUCIA", L"DIRTY"},
                         {207, L"CAPTURA DEMASIADO TEMPRANO", L"CAPTURE TOO EARLY"},
                         {208, L"NO SE REALIZÓ CAPTURA", L"CANCELLED"},
                         {210, L"PROBLEMA DE CONVERSIÓN", L"WSQ CONVERSION"},
                         {215, L"DEDO FALSO", L"FAKE FINGER"},
                         {299, L"ERROR INTERNO DESCONOCIDO", L"FAILURE"},
                         {212, L"ERROR DESCONOCIDO", L"UNKNOWN"},
                         {216, L"ERROR DESCONOCIDO", L"UNKNOWN"}};
  for (const auto& c : kCases) {
    EXPECT_STREQ(captureStatus(c.code).label, c.label) << c.code;
    EXPECT_STREQ(captureStatus(c.code).word, c.word) << c.code;
  }
}

TEST(ConverterCommand, NamesAndCommandLine) {
  struct Case { const wchar_t* folder; const wchar_t* raw; const wchar_t* command; };
  const Case kCases[] = {
      {L"", L"final-aB3xY9.raw", L"../../wsq.exe \"final-aB3xY9.raw\" 512 512  \"final-aB3xY9.raw.wsq\" 0.75"},
      {L"C:\\Users\\Ana Mar\u00eda\\AppData\\Local\\Temp\\",
       L"C:\\Users\\Ana Mar\u00eda\\AppData\\Local\\Temp\\final-aB3xY9.raw",
       L"../../wsq.exe \"C:\\Users\\Ana Mar\u00eda\\AppData\\Local\\Temp\\final-aB3xY9.raw\" 512 512  "
       L"\"C:\\Users\\Ana Mar\u00eda\\AppData\\Local\\Temp\\final-aB3xY9.raw.wsq\" 0.75"}};
  for (const auto& c : kCases) {
    const CaptureFiles f = captureFiles(c.folder, L"aB3xY9");
    EXPECT_EQ(f.raw, c.raw);
    EXPECT_EQ(f.wsq, std::wstring(c.raw) + L".wsq");
    EXPECT_EQ(f.debugImage, L"original-aB3xY9.pgm");
    EXPECT_EQ(f.converterCommand, c.command);
  }
}

}  // namespace
}  // namespace capture_b
