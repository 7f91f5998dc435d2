// image_encoder_win.h: the BMP of a capture re-encoded through GDI+ (JPEG for the JSON line). Each
// call starts and shuts down GDI+ on its own, so any thread may call it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Encoded image bytes of the BMP file image bmp, in the format of mimeType ("image/jpeg"). Throws
// std::runtime_error with the failing step's text; every resource is released on every path.
std::vector<std::uint8_t> encodeImage(const std::vector<std::uint8_t>& bmp, const std::wstring& mimeType);

// A DIB section holding the BMP's pixel rows, always through the grey ramp; owned by the caller.
// Throws "invalid bmp file" for anything but an uncompressed 8-bit BMP whose rows lie within bmp.
HBITMAP bmpToHbitmap(const std::vector<std::uint8_t>& bmp);

// The lock every user of GDI+ in this process holds from its GdiplusStartup to its GdiplusShutdown:
// start-up and shut-down act on the whole process, so nobody may shut GDI+ down under an encoder.
std::mutex& gdiplusLock();

// Class identifier of the first GDI+ encoder whose MIME type equals mimeType exactly. GDI+ must be
// started.
bool findEncoderClsid(const std::wstring& mimeType, CLSID& clsid);
