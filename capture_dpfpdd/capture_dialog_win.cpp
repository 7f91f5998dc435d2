// capture_dialog_win.cpp: the capture dialog: labels and fonts, the background picture
// "..\..\fondo.bmp", the colours, the Print Screen hot keys, and the hand-off of its life-cycle events
// to the device session through the GuiDescriptor.
#include "capture_dialog_win.h"

#include <clocale>
#include <cstdio>
#include <string>

#include "app_state_win.h"
#include "capture_log_win.h"
#include "resource.h"
#include "win/unique_handle.h"

namespace capture_b {
namespace {

constexpr int kHotKeyAltPrintScreen = -2;
constexpr int kHotKeyPrintScreen = -1;
const wchar_t kCaption[] = L"    V E L M A R - Captura de Impresiones Dactilares";
const wchar_t kStartFailure[] =
    L"No se pudo iniciar el dispositivo. Verifique que el dispositivo se encuentra conectado y los drivers "
    L"hayan sido instalados. Reinstale la aplicación.";

// Background and fonts live for the rest of the process; only the dialog's thread touches them.
velmar::win::UniqueBitmap background;
velmar::win::UniqueGdiObject backgroundBrush;
velmar::win::UniqueGdiObject messageFont, statusFont, versionFont;
bool runtimeSettingsApplied = false;

void applyRuntimeSettings() {
  if (runtimeSettingsApplied) return;
  runtimeSettingsApplied = true;
  std::setlocale(LC_ALL, "Spanish");
  SetConsoleOutputCP(65001);
  std::setvbuf(stdout, nullptr, _IOFBF, 1000);
}

// A missing picture is tried again with the next message.
void loadBackground() {
  if (background) return;
  background.reset(static_cast<HBITMAP>(
      LoadImageW(nullptr, L"..\\..\\fondo.bmp", IMAGE_BITMAP, 307, 544, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (background) backgroundBrush.reset(CreatePatternBrush(background.get()));
}

HFONT makeFont(HWND dialog, int points, int weight) {
  HDC dc = GetDC(dialog);
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(dialog, dc);
  return CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, L"Verdana");
}

bool guiSetup(HWND dialog) {
  CaptureLog& log = captureLog();
  GuiDescriptor& gui = guiDescriptor();
  if (!gui.dialog) {
    log.error(L"ERROR GUI incompleta");
    return false;
  }
  messageFont.reset(makeFont(dialog, 14, 0));
  SendDlgItemMessageW(dialog, gui.messageLabelId, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont.get()), TRUE);
  statusFont.reset(makeFont(dialog, 12, FW_BOLD));
  SendDlgItemMessageW(dialog, gui.statusLabelId, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont.get()), TRUE);
  const std::wstring& version = runSettings().currentVersion;
  if (!version.substr(0, 100).empty() && GetDlgItem(dialog, IDC_VERSION_LABEL)) {
    versionFont.reset(makeFont(dialog, 6, 0));
    SendDlgItemMessageW(dialog, IDC_VERSION_LABEL, WM_SETFONT, reinterpret_cast<WPARAM>(versionFont.get()), TRUE);
    SetDlgItemTextW(dialog, IDC_VERSION_LABEL, (L"v" + version).substr(0, 255).c_str());
  }
  if (!gui.onInit || gui.onInit(dialog, gui.imageFrameId) == 0) return false;
  if (!RegisterHotKey(dialog, kHotKeyAltPrintScreen, MOD_ALT, VK_SNAPSHOT)) log.logSystemError(L"RegisterHotKey");
  if (!RegisterHotKey(dialog, kHotKeyPrintScreen, 0, VK_SNAPSHOT)) log.logSystemError(L"RegisterHotKey");
  log.debug(L"GUI iniciado");
  return true;
}

void hideTitleBar(HWND dialog) {
  SetWindowLongPtrW(dialog, GWL_EXSTYLE, 0);
  SetWindowLongPtrW(dialog, GWL_STYLE, 0);
  SetWindowLongPtrW(dialog, GWL_STYLE, WS_BORDER);
  RECT client{}, window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, window.left, window.top, client.right - client.left + 1,
               client.bottom - client.top + 1, SWP_NOZORDER | SWP_FRAMECHANGED);
}

INT_PTR onInitDialog(HWND dialog) {
  CaptureLog& log = captureLog();
  GuiDescriptor& gui = guiDescriptor();
  log.debug(L"WM_INITDIALOG");
  if (runSettings().hideTitleBar) hideTitleBar(dialog);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELMAR));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  gui.dialog = dialog;
  SetDlgItemTextW(dialog, gui.statusLabelId, L"");
  SetDlgItemTextW(dialog, gui.messageLabelId, L"PRESIONE MODERADAMENTE");
  SetWindowTextW(dialog, kCaption);
  if (!guiSetup(dialog)) {
    log.errorBox(kStartFailure);
    EndDialog(dialog, 0);
  }
  return TRUE;
}

INT_PTR onControlColour(HWND dialog, HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  SetTextColor(dc, id == guiDescriptor().statusLabelId ? RGB(47, 64, 255) : RGB(255, 33, 67));
  SetBkMode(dc, TRANSPARENT);
  if (!backgroundBrush) return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
  // Line the pattern up with the dialog's own background.
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
  return reinterpret_cast<INT_PTR>(backgroundBrush.get());
}

}  // namespace

INT_PTR CALLBACK captureDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  applyRuntimeSettings();
  loadBackground();
  CaptureLog& log = captureLog();
  GuiDescriptor& gui = guiDescriptor();
  switch (message) {
    case WM_INITDIALOG:
      return onInitDialog(dialog);
    case WM_CLOSE:
      log.debug(L"WM_CLOSE");
      if (gui.onCancel) gui.onCancel();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) {
        log.debug(L"WM_COMMAND IDCANCEL");
        if (gui.onCancel) gui.onCancel();
      }
      return TRUE;
    case WM_DESTROY:
      log.debug(L"WM_DESTROY");
      gui.dialog = nullptr;  // late label changes and ends from other threads now do nothing
      if (gui.onClose) gui.onClose();
      UnregisterHotKey(dialog, kHotKeyAltPrintScreen);
      UnregisterHotKey(dialog, kHotKeyPrintScreen);
      log.debug(L"GUI finalizado");
      return FALSE;
    case WM_CTLCOLORDLG:
      return backgroundBrush ? reinterpret_cast<INT_PTR>(backgroundBrush.get()) : FALSE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return onControlColour(dialog, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    default:
      return FALSE;
  }
}

}  // namespace capture_b
