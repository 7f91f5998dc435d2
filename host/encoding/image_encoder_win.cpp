#include "image_encoder_win.h"

#include <objidl.h>
// GDI+ headers after <windows.h> and <objidl.h>.
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "api_failure.h"
#include "bmp_check.h"
#include "win/last_error.h"
#include "win/unique_handle.h"

namespace {

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput gdiplusStartupInput;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusStartupInput, nullptr);
    if (status != Gdiplus::Ok) {
      throw std::runtime_error("cant initialize Windows GDI+" + std::to_string(static_cast<int>(status)));
    }
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession() { Gdiplus::GdiplusShutdown(gdiplusToken_); }

 private:
  ULONG_PTR gdiplusToken_ = 0;
};

struct ComRelease {
  void operator()(IUnknown* p) const noexcept { p->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, ComRelease>;

std::string statusText(const char* step, Gdiplus::Status status) {
  return velmar::apiFailure(step, static_cast<unsigned long>(status));
}

}  // namespace

HBITMAP bmpToHbitmap(const std::vector<std::uint8_t>& bmp) {
  const BmpLayout layout = checkBmp(bmp.data(), bmp.size());
  std::vector<std::uint8_t> description = greyBitmapInfo(bmp.data(), bmp.size());
  const auto* info = reinterpret_cast<const BITMAPINFO*>(description.data());
  void* ppvBits = nullptr;
  velmar::win::UniqueBitmap bitmap(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &ppvBits, nullptr, 0));
  if (!bitmap) throw std::runtime_error("CreateDIBSection failed");
  // With RGB colours the device context only has to exist; a memory one needs no display.
  velmar::win::UniqueDC dc(CreateCompatibleDC(nullptr));
  const int lines = SetDIBits(dc.get(), bitmap.get(), 0, layout.lines, bmp.data() + layout.pixelOffset, info,
                              DIB_RGB_COLORS);
  if (lines == 0) throw std::runtime_error("SetDIBits failed");
  return bitmap.release();
}

bool findEncoderClsid(const std::wstring& mimeType, CLSID& clsid) {
  UINT count = 0;
  UINT encoderSizeInBytes = 0;
  Gdiplus::Status status = Gdiplus::GetImageEncodersSize(&count, &encoderSizeInBytes);
  if (status != Gdiplus::Ok) throw std::runtime_error(statusText("GetImageEncodersSize", status));
  if (encoderSizeInBytes == 0) throw std::runtime_error("GetImageEncodersSize returns 0 encoders");
  std::unique_ptr<std::uint8_t[]> memory(new (std::nothrow) std::uint8_t[encoderSizeInBytes]);
  if (!memory) throw std::runtime_error("cant allocate memory for ImageCodecInfo");
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(memory.get());
  status = Gdiplus::GetImageEncoders(count, encoderSizeInBytes, encoders);
  if (status != Gdiplus::Ok) throw std::runtime_error(statusText("GetImageEncoders", status));
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType != nullptr && mimeType == encoders[i].MimeType) {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

std::mutex& gdiplusLock() {
  static std::mutex lock;
  return lock;
}

std::vector<std::uint8_t> encodeImage(const std::vector<std::uint8_t>& bmp, const std::wstring& mimeType) {
  // Callers capturing on several threads at once (captureJson) encode one image at a time, so no encoder
  // runs while another thread shuts GDI+ down.
  const std::lock_guard<std::mutex> oneAtATime(gdiplusLock());
  // Members are released in reverse order: stream (and its memory), bitmap handle, then GDI+.
  GdiplusSession gdiplus;
  velmar::win::UniqueBitmap hbitmap(bmpToHbitmap(bmp));

  velmar::win::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, 0));
  if (!block) velmar::win::throwLastError("GlobalAlloc");
  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, &rawStream))) {
    throw std::runtime_error("CreateStreamOnHGlobal failed");
  }
  StreamPtr pStream(rawStream);
  const HGLOBAL memory = block.release();  // the stream owns and frees it now

  {
    Gdiplus::Bitmap bitmap(hbitmap.get(), nullptr);
    CLSID pngClsid;
    if (!findEncoderClsid(mimeType, pngClsid)) throw std::runtime_error("encoder clsid not found");
    const Gdiplus::Status status = bitmap.Save(pStream.get(), &pngClsid, nullptr);
    if (status != Gdiplus::Ok) throw std::runtime_error(statusText("bitmap.Save", status));
  }

  SIZE_T size = GlobalSize(memory);
  if (size == 0) velmar::win::throwLastError("GlobalSize");
  // The block may be rounded up beyond what the encoder wrote; the stream knows the exact length.
  STATSTG stat = {};
  if (SUCCEEDED(pStream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart < size) {
    size = static_cast<SIZE_T>(stat.cbSize.QuadPart);
  }
  std::vector<std::uint8_t> out(size);
  const void* bytes = GlobalLock(memory);
  if (bytes == nullptr) velmar::win::throwLastError("GlobalLock");
  std::memcpy(out.data(), bytes, size);
  SetLastError(NO_ERROR);  // a zero return with no error only means the block is unlocked now
  if (!GlobalUnlock(memory)) {
    const DWORD error = GetLastError();
    if (error != NO_ERROR) throw velmar::ApiError("GlobalUnlock", error);
  }
  return out;
}
