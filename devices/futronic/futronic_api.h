// futronic_api.h: the scanner-library functions velmar-capture-a calls, with the calling convention
// and record layout the scanner libraries use. The program links import libraries made from the .def
// files beside this header; our stand-in DLLs implement the same functions.
#pragma once

#include <cstdint>

#ifdef _WIN32
#define FTR_API __stdcall
#define FTR_MATH_API __cdecl
#else
#define FTR_API
#define FTR_MATH_API
#endif

extern "C" {

typedef void* FTRHANDLE;
typedef int FTR_BOOL;

// Frame size as the scanner reports it (three signed 32-bit values, in this order).
struct FTRSCAN_IMAGE_SIZE {
  std::int32_t nWidth;
  std::int32_t nHeight;
  std::int32_t nImageSize;
};

// Option bit: frames come with dark ridges on a light background.
constexpr unsigned FTR_OPTIONS_INVERT_IMAGE = 0x40;

// ftrScanAPI (imported by ordinal: 1 open, 2 close, 3 image size, 4 frame, 5 finger present,
// 6 set options, 17 diodes). A failing call returns no handle / false and leaves the reason in the
// thread's last system error.
FTRHANDLE FTR_API ftrScanOpenDevice();
void FTR_API ftrScanCloseDevice(FTRHANDLE device);
FTR_BOOL FTR_API ftrScanGetImageSize(FTRHANDLE device, FTRSCAN_IMAGE_SIZE* size);
FTR_BOOL FTR_API ftrScanGetFrame(FTRHANDLE device, void* buffer, void* reserved);
FTR_BOOL FTR_API ftrScanIsFingerPresent(FTRHANDLE device, void* reserved);
FTR_BOOL FTR_API ftrScanSetOptions(FTRHANDLE device, unsigned long mask, unsigned long flags);
FTR_BOOL FTR_API ftrScanSetDiodesStatus(FTRHANDLE device, unsigned char green, unsigned char red);

// ftrMathAPI (imported by its plain name): NFIQ of a frame; non-zero on success with the value in
// *nfiq. Unlike the other scanner functions it is cdecl: the caller removes the arguments.
int FTR_MATH_API ftrMathImageNfIQ(FTRHANDLE device, const void* frame, int width, int height, int* nfiq,
                                  int* reserved);

// ftrAnsiSdk (imported by ordinal: 102 maximum template size, 105 create template from buffer).
int FTR_API ftrAnsiSdkGetMaxTemplateSize();
FTR_BOOL FTR_API ftrAnsiSdkCreateTemplateFromBuffer(FTRHANDLE device, int fingerPosition,
                                                    const void* frame, int width, int height,
                                                    void* outTemplate, int* outSize);
}
