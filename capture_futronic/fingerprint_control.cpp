// fingerprint_control.cpp: the picture's bitmap and painting.
#include "fingerprint_control.h"

#include <cstring>

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

std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

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
  if (bytes.empty()) return false;
  // Everything the header claims is checked against the bytes before a row is read.
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, &bytes[14], sizeof h);
  const std::uint32_t offset = le32(&bytes[10]);
  if (h.biSize < 40 || h.biBitCount != 8 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biWidth > 8192 || h.biHeight > 8192 || h.biHeight < -8192)
    return false;
  const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) * 8 + 31) / 32) * 4;
  if (offset > bytes.size() || (bytes.size() - offset) / stride < static_cast<std::size_t>(height)) return false;
  h.biSize = sizeof h;
  h.biClrUsed = 256;
  h.biClrImportant = 256;  // the file's own palette is not used
  replacePicture(h, &bytes[offset], stride);
  return true;
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
