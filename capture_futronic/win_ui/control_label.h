// control_label.h: win_ui::ControlLabel, a text drawn in a rectangle with its own font, colours,
// background brush and border pen. Window thread only.
#pragma once

#include <windows.h>

#include <string>

#include "control.h"
#include "win/unique_handle.h"

namespace win_ui {

class ControlLabel : public Control {
 public:
  ControlLabel(HINSTANCE instance, const wchar_t* className);

  void onPaint() override;  // draws the label over the control's whole client area
  void onCommand(WPARAM wParam, LPARAM lParam) override;

  // Draws the label into `rect` of `dc`: nothing at all when the text is empty.
  void draw(HDC dc, const RECT& rect);

  void setText(const std::wstring& value) { text = value; }
  const std::wstring& getText() const { return text; }
  void setFont(const wchar_t* face, int points, int weight);
  void setDrawFlags(UINT flags) { drawFlags = flags; }
  void setTextColour(COLORREF colour) { textColour = colour; }
  void setBackground(COLORREF colour);
  void setBorder(int style, int width, COLORREF colour);

 private:
  std::wstring text;
  std::wstring fontFace = L"Verdana";
  int fontPoints = 8;
  int fontWeight = 0;
  UINT drawFlags = 0;
  COLORREF textColour = RGB(0, 0, 0);
  velmar::win::UniqueGdiObject background;
  velmar::win::UniqueGdiObject border;
  velmar::win::UniqueGdiObject font;  // made from face, points and weight; dropped when one changes
};

}  // namespace win_ui
