// fingerprint_window.cpp: creation, layout, keys and closing of the capture window.
#include "fingerprint_window.h"

#include "device_manager.h"
#include "simple_logger.h"

namespace one {
namespace {

constexpr int kPictureId = 100;
constexpr int kTitleId = 101;

}  // namespace

FingerprintWindow::FingerprintWindow(HINSTANCE instance, SimpleLogger::Log* log_)
    : Window(instance, L"GLOBALFPWINDOW"), picture(instance), titleLabel(instance, L"GLOBALFPLABEL"), log(log_) {
  titleLabel.setFont(L"Tahoma", 14, 700);
  titleLabel.setDrawFlags(DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  titleLabel.setTextColour(RGB(0, 76, 117));
  titleLabel.setBackground(RGB(255, 255, 255));
}

FingerprintWindow::~FingerprintWindow() = default;

void FingerprintWindow::attach(DeviceManager* manager_) {
  manager = manager_;
  if (!manager) return;
  manager->window = this;
  titleLabel.setText(manager->settings.labelTitle);
  picture.statusLabel.setText(manager->settings.labelStatus);
  picture.centerLabel.setText(manager->settings.labelNotice);
}

void FingerprintWindow::setCenterText(const std::wstring& text) {
  picture.centerLabel.setText(text);
  if (picture.handle()) InvalidateRect(picture.handle(), nullptr, FALSE);
}

bool FingerprintWindow::onCreate() {
  if (log) log->debug(L"window.create");
  if (!manager) {
    if (log) log->error(L"window.create invalid arguments");
    return false;
  }
  // The controls exist before init starts the capture thread, which draws into them: their handles
  // are written here, before that thread starts, and never again while it runs.
  picture.create(hwnd, kPictureId);
  titleLabel.create(hwnd, kTitleId);
  if (!manager->init()) {
    if (log) log->info(L"Ha sucedido un error al iniciar el dispositivo, se escribe resultado.");
    manager->writeResults();
    if (log) log->error(L"window.create device.init failed");
    return false;
  }
  if (manager->settings.hideTitleBar) {
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, 0);
    SetWindowLongPtrW(hwnd, GWL_STYLE, WS_BORDER);
    RECT client;
    GetClientRect(hwnd, &client);
    SetWindowPos(hwnd, nullptr, 0, 0, client.right - client.left + 1, client.bottom - client.top + 1,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(hwnd, SW_SHOW);
  }
  return true;
}

void FingerprintWindow::onSize(int type, int width, int height) {
  if (type != SIZE_RESTORED && type != SIZE_MAXIMIZED) return;
  if (titleLabel.handle())
    SetWindowPos(titleLabel.handle(), nullptr, 10, 10, width - 20, 30, SWP_NOZORDER);
  if (picture.handle())
    SetWindowPos(picture.handle(), nullptr, 10, 50, width - 20, height - 60, SWP_NOZORDER);
}

void FingerprintWindow::onKeyDown(int key) {
  if (key != VK_ESCAPE) return;
  if (log) log->debug(L"window.keydown ESC");
  PostQuitMessage(0);
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void FingerprintWindow::onClose() {
  if (log) log->debug(L"window.close");
  if (manager) manager->closeDevice();
  PostQuitMessage(0);
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void FingerprintWindow::onCommand(WPARAM, LPARAM) {}

void FingerprintWindow::showFrame(const std::uint8_t* pixels, int width, int height) {
  picture.setFrame(pixels, width, height);
  if (picture.handle()) InvalidateRect(picture.handle(), nullptr, FALSE);
  if (titleLabel.handle()) InvalidateRect(titleLabel.handle(), nullptr, FALSE);
}

void FingerprintWindow::requestClose() { PostMessageW(hwnd, WM_CLOSE, 0, 0); }

}  // namespace one
