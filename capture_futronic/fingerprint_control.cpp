// fingerprint_control.cpp: the picture's bitmap and painting.
#include "fingerprint_control.h"

#include <cstring>

#include "logo_bitmap.h"

namespace one {
namespace {

constexpr COLORREF kBlue = RGB(0, 76, 117);
constexpr UINT kLabelFlags = 0x8025;  // centred, vertically centred, single line, end ellipsis

struct GreyBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD palette[256];
};

void fillGreyPalette(GreyBitmapInfo& info) {
  for (int i = 0; i < 256; ++i) {
    info.palette[i].rgbRed = info.palette[i].rgbGreen = info.palette[i].rgbBlue = static_cast<BYTE>(i);
    info.palette[i].rgbReserved = 0;
  }
}

class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectGuard() { SelectObject(dc_, old_); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

FingerprintControl::FingerprintControl(HINSTANCE instance)
    : Control(instance, L"GLOBALFPCONTROL"),
      statusLabel(instance, L"FPLABEL"),
      centerLabel(instance, L"FPLABEL"),
      upperLabel(instance, L"FPLABEL") {
  statusLabel.setFont(L"Verdana", 12, 700);
  statusLabel.setTextColour(RGB(204, 0, 0));
  statusLabel.setBackground(RGB(255, 255, 255));
  statusLabel.setDrawFlags(kLabelFlags);

  centerLabel.setFont(L"Tahoma", 16, 0);
  centerLabel.setTextColour(kBlue);
  centerLabel.setBackground(RGB(255, 255, 255));
  centerLabel.setBorder(PS_DASH, 1, kBlue);  // the white background takes precedence
  centerLabel.setDrawFlags(kLabelFlags);

  upperLabel.setFont(L"Verdana", 14, 700);
  upperLabel.setTextColour(RGB(48, 48, 48));
  upperLabel.setDrawFlags(kLabelFlags);
}

void FingerprintControl::replacePicture(const BITMAPINFOHEADER& header, const std::uint8_t* rows,
                                        std::size_t rowBytes) {
  // The current bitmap goes first, so a frame that cannot be copied leaves no stale picture behind.
  {
    std::lock_guard<std::mutex> guard(pictureLock);
    picture.reset();
  }
  GreyBitmapInfo info{};
  info.header = header;
  fillGreyPalette(info);
  const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  // DIB rows are padded to 4 bytes; the source rows are copied one by one.
  const std::size_t stride = ((static_cast<std::size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  void* bits = nullptr;
  velmar::win::UniqueBitmap fresh(
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!fresh || !bits) {
    if (copyFailure)
      copyFailure();
    else
      MessageBoxW(hwnd, L"error", L"error", MB_OK);
    return;
  }
  const std::size_t copy = rowBytes < stride ? rowBytes : stride;
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(y) * stride,
                rows + static_cast<std::size_t>(y) * rowBytes, copy);
  std::lock_guard<std::mutex> guard(pictureLock);
  picture = std::move(fresh);
}

void FingerprintControl::setFrame(const std::uint8_t* pixels, int width, int height) {
  if (!pixels || width <= 0 || height <= 0) return;
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;  // positive: bottom-up rows
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biCompression = BI_RGB;
  h.biClrUsed = 256;
  h.biClrImportant = 256;
  replacePicture(h, pixels, static_cast<std::size_t>(width));
}

bool FingerprintControl::setBitmapFile(const std::vector<std::uint8_t>& bytes) {
  LogoBitmap logo;
  if (!readLogoBitmap(bytes, logo)) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, logo.infoHeader, sizeof h);
  h.biSize = sizeof h;
  // The file's own palette is not used: rows of up to 8 bits a pixel index the grey palette; deeper
  // rows carry their colours themselves.
  h.biClrUsed = logo.bitCount <= 8 ? 1u << logo.bitCount : 0;
  h.biClrImportant = 0;
  replacePicture(h, &bytes[logo.rowOffset], logo.stride);
  return true;
}

bool FingerprintControl::hasPicture() {
  std::lock_guard<std::mutex> guard(pictureLock);
  return static_cast<bool>(picture);
}

void FingerprintControl::onPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  {
    std::lock_guard<std::mutex> guard(pictureLock);
    if (picture) {
      BITMAP bm{};
      GetObjectW(picture.get(), sizeof bm, &bm);
      velmar::win::UniqueDC memory(CreateCompatibleDC(dc));
      if (memory) {
        SelectGuard select(memory.get(), picture.get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, bm.bmWidth,
                   bm.bmHeight, SRCCOPY);
      }
    }
  }
  const RECT status{r.left + 10, r.bottom - 50, r.right - 10, r.bottom - 20};
  statusLabel.draw(dc, status);
  const RECT upper{r.left, r.top + 40, r.right, r.bottom};
  upperLabel.draw(dc, upper);
  const int middle = (r.bottom - r.top) / 2;
  const RECT center{r.left + 50, middle - 20, r.right - 50, middle + 20};
  centerLabel.draw(dc, center);
  {
    velmar::win::UniqueGdiObject pen(CreatePen(PS_DOT, 1, kBlue));
    SelectGuard penGuard(dc, pen.get());
    SelectGuard brushGuard(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  EndPaint(hwnd, &ps);
}

void FingerprintControl::onCommand(WPARAM, LPARAM) {}

}  // namespace one
