// jpeg_probe_win.cpp: GdiplusStartup and the host's own encoder lookup (findEncoderClsid), under the
// lock the host's encoder holds.
#include "jpeg_probe_win.h"

#include <windows.h>

#include <objidl.h>
// GDI+ headers after <windows.h> and <objidl.h>.
#include <gdiplus.h>

#include <mutex>

#include "api_failure.h"
#include "image_encoder_win.h"

JpegFacts probeJpeg() {
  JpegFacts facts;
  // Under the encoder's lock: shutting GDI+ down here must not pull it from under a capture's encoder.
  const std::lock_guard<std::mutex> oneAtATime(gdiplusLock());
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  const Gdiplus::Status status = Gdiplus::GdiplusStartup(&token, &input, nullptr);
  if (status != Gdiplus::Ok) {
    facts.error = velmar::apiFailure("GdiplusStartup", static_cast<unsigned long>(status));
    return facts;
  }
  facts.gdiplusStarted = true;
  try {
    CLSID clsid{};
    facts.encoderFound = findEncoderClsid(L"image/jpeg", clsid);
    if (!facts.encoderFound) facts.error = "encoder clsid not found";
  } catch (const std::exception& e) {
    facts.error = e.what();
  }
  Gdiplus::GdiplusShutdown(token);
  return facts;
}
