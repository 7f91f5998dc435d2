// dpfpdd.h: the part of the dpfpdd reader library that velmar-capture-b calls, with the record
// layouts it relies on. The stand-in in devices/dpfpdd implements it; on a real PC the vendor's DLL
// of the same name serves the same calls.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define DPFPDD_CALL __stdcall
#else
#define DPFPDD_CALL
#endif

namespace dpfpdd {

// Library results the program tells apart; every other non-zero value is "other".
constexpr int32_t kSuccess = 0;
constexpr int32_t kMoreData = 0x05BA000D;         // reader list too small: query again
constexpr int32_t kInvalidParameter = 0x05BA0014;
constexpr int32_t kInvalidReader = 0x05BA0015;
constexpr int32_t kReaderBusy = 0x05BA001E;
constexpr int32_t kReaderFailure = 0x05BA001F;

constexpr uint32_t kReaderInfoSize = 1452;
constexpr uint32_t kReaderNameSize = 1024;

// One entry of the reader list. The caller sets `size` to 1452 before the query.
struct ReaderInfo {
  uint32_t size;
  char name[kReaderNameSize];
  uint8_t details[kReaderInfoSize - 4 - kReaderNameSize];
};
static_assert(sizeof(ReaderInfo) == kReaderInfoSize, "reader-information record is 1452 bytes");

// What the program asks for: record size 16, raw image format 0, no processing 0, 500 dpi.
struct CaptureParams {
  uint32_t size;
  uint32_t imageFormat;
  uint32_t imageProcessing;
  uint32_t resolution;
};
static_assert(sizeof(CaptureParams) == 16, "capture-parameter record is 16 bytes");

constexpr uint32_t kQualityCancelled = 2;

// The report handed to the capture callback. Only the named fields are relied on.
struct CaptureReport {
  uint32_t size;           // 0
  int32_t error;           // 4: non-zero = the capture failed inside the library
  uint8_t reserved1[20];   // 8
  int32_t success;         // 28: non-zero = an image was captured
  uint32_t quality;        // 32: 2 = cancelled
  uint32_t score;          // 36
  uint32_t reserved2;      // 40
  uint32_t width;          // 44
  uint32_t height;         // 48
  uint32_t resolution;     // 52
  uint32_t bitsPerPixel;   // 56
  uint32_t imageSize;      // 60
  uint8_t* image;          // 64
};
static_assert(offsetof(CaptureReport, error) == 4, "error at 4");
static_assert(offsetof(CaptureReport, success) == 28, "success flag at 28");
static_assert(offsetof(CaptureReport, quality) == 32, "quality at 32");
static_assert(offsetof(CaptureReport, width) == 44, "width at 44");
static_assert(offsetof(CaptureReport, height) == 48, "height at 48");
static_assert(offsetof(CaptureReport, imageSize) == 60, "image size at 60");
static_assert(offsetof(CaptureReport, image) == 64, "image pointer at 64");

using Reader = void*;
using CaptureCallback = void(DPFPDD_CALL*)(void* context, uint32_t reserved, uint32_t dataSize,
                                           void* data);

}  // namespace dpfpdd

extern "C" {
int32_t DPFPDD_CALL dpfpdd_init(void);
int32_t DPFPDD_CALL dpfpdd_exit(void);
int32_t DPFPDD_CALL dpfpdd_query_devices(uint32_t* count, dpfpdd::ReaderInfo* readers);
int32_t DPFPDD_CALL dpfpdd_open(char* name, dpfpdd::Reader* reader);
int32_t DPFPDD_CALL dpfpdd_close(dpfpdd::Reader reader);
int32_t DPFPDD_CALL dpfpdd_capture_async(dpfpdd::Reader reader, dpfpdd::CaptureParams* params,
                                         void* context, dpfpdd::CaptureCallback callback);
int32_t DPFPDD_CALL dpfpdd_cancel(dpfpdd::Reader reader);
}
