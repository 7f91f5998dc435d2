// control_label.cpp: drawing of win_ui::ControlLabel.
#include "control_label.h"

namespace win_ui {
namespace {

// Selects an object into a DC for one scope.
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

ControlLabel::ControlLabel(HINSTANCE instance, const wchar_t* name) : Control(instance, name) {}

void ControlLabel::setFont(const wchar_t* face, int points, int weight) {
  fontFace.assign(face ? face : L"");
  if (fontFace.size() > 31) fontFace.resize(31);
  fontPoints = points;
  fontWeight = weight;
  font.reset();
}

void ControlLabel::setBackground(COLORREF colour) { background.reset(CreateSolidBrush(colour)); }

void ControlLabel::setBorder(int style, int width, COLORREF colour) {
  border.reset(CreatePen(style, width, colour));
}

void ControlLabel::draw(HDC dc, const RECT& rect) {
  if (text.empty()) return;
  if (!font) {
    const int height = -MulDiv(fontPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.reset(CreateFontW(height, 0, 0, 0, fontWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, fontFace.c_str()));
  }
  RECT r = rect;
  if (background) {
    FillRect(dc, &r, static_cast<HBRUSH>(background.get()));
  } else if (border) {
    SelectGuard pen(dc, border.get());
    SelectGuard brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  SelectGuard fontGuard(dc, font.get());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, textColour);
  DrawTextW(dc, text.c_str(), -1, &r, drawFlags);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

void ControlLabel::onPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  draw(dc, r);
  EndPaint(hwnd, &ps);
}

void ControlLabel::onCommand(WPARAM, LPARAM) {}

}  // namespace win_ui
