#include "app/win32/screenshot_tour.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window_template.h"
#include "app/page_table.h"
#include "app/win32/main_window.h"
#include "app/win32/png_file.h"
#include "app/win32/win32_text.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

constexpr UINT kPollMs = 100;
constexpr int kStepLimitPolls = 600;  // a minute for each step
constexpr int kLightWaitPolls = 12;   // the light blinks once a second: wait for it to be lit
ScreenshotTour* running = nullptr;    // the timer procedure's way back; one tour a process

// The window's client area as it shows now, in a 32-bit top-down DIB's layout.
std::vector<std::uint8_t> clientPixels(HWND window, int width, int height) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  const HDC screen = ::GetDC(window);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr && memory != nullptr) {
    const HGDIOBJ before = ::SelectObject(memory, bitmap);
    copied = ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
    ::GdiFlush();
    if (copied) std::copy_n(static_cast<const std::uint8_t*>(bits), pixels.size(), pixels.begin());
    ::SelectObject(memory, before);
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (memory != nullptr) ::DeleteDC(memory);
  ::ReleaseDC(window, screen);
  if (!copied) pixels.clear();
  return pixels;
}

}  // namespace

ScreenshotTour::ScreenshotTour(Win32MainWindow& window, std::string directory)
    : window_(window), directory_(std::move(directory)) {}

ScreenshotTour::~ScreenshotTour() {
  if (timer_ != 0) ::KillTimer(nullptr, timer_);
  if (running == this) running = nullptr;
}

std::string ScreenshotTour::fileNameFor(std::u16string_view tabTitle, UiLanguage language) {
  std::string name;
  for (const char16_t unit : tabTitle) {
    if (unit == u' ') {
      if (!name.empty() && name.back() != '-') name += '-';
    } else if (unit < 0x80) {
      name += static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit - u'A' + u'a' : unit);
    }
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return "win32-tab-" + name + (language == UiLanguage::Russian ? "-ru" : "") + ".png";
}

bool ScreenshotTour::start() {
  const std::wstring folder = wide(utf16FromUtf8(directory_));
  if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    std::fprintf(stderr, "pelmora: cannot make the folder %s\n", directory_.c_str());
    return false;
  }
  running = this;
  step_ = Step::WaitOnline;  // the demo's port is opened at start
  pollsLeft_ = kStepLimitPolls;
  timer_ = ::SetTimer(nullptr, 0, kPollMs, &ScreenshotTour::tick);
  return true;
}

void CALLBACK ScreenshotTour::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (running != nullptr) running->poll();
}

void ScreenshotTour::finish(bool ok, const std::string& message) {
  if (timer_ != 0) ::KillTimer(nullptr, timer_);
  timer_ = 0;
  step_ = Step::Done;
  succeeded_ = ok;
  std::fprintf(ok ? stdout : stderr, "pelmora: %s\n", message.c_str());
  std::fflush(ok ? stdout : stderr);
  window_.close();
}

void ScreenshotTour::showTab(int index) {
  // As a click on the tab does: the strip's selection, then the logic shows the page.
  ::SendMessageW(window_.control(IDC_PAGE_TABS), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  window_.logic().onTabChanged(index);
  lightWaits_ = 0;
  pollsLeft_ = kStepLimitPolls;
}

std::string ScreenshotTour::shoot() {
  const HWND window = window_.handle();
  // Every control drawn now, not when the message loop gets to it.
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT client{};
  ::GetClientRect(window, &client);
  const std::vector<std::uint8_t> pixels = clientPixels(window, client.right, client.bottom);
  const std::u16string_view title = window_.logic().pageTable()[tab_].titleText();
  const std::string path = directory_ + "\\" + fileNameFor(title, currentLanguage());
  if (pixels.empty()) return path + ": the window's picture could not be taken";
  if (std::string problem = writePng(path, {client.right, client.bottom, pixels}); !problem.empty()) return problem;
  std::printf("pelmora: wrote %s\n", path.c_str());
  std::fflush(stdout);
  return {};
}

void ScreenshotTour::poll() {
  if (step_ == Step::Done) return;
  if (--pollsLeft_ < 0) {
    finish(false, "the demo tracker did not answer in time; no screenshots written");
    return;
  }
  const HWND read = window_.control(IDC_READ_SETTINGS);
  const HWND write = window_.control(IDC_WRITE_SETTINGS);
  switch (step_) {
    case Step::WaitOnline:
      if (!::IsWindowEnabled(read)) return;
      ::SendMessageW(read, BM_CLICK, 0, 0);
      step_ = Step::WaitSettings;
      pollsLeft_ = kStepLimitPolls;
      return;
    case Step::WaitSettings:
      if (!window_.logic().settingsLoaded() || !::IsWindowEnabled(write)) return;
      step_ = Step::Shoot;
      tab_ = 0;
      // No caret blinking in the pictures: the focus on the tab strip.
      ::SetFocus(window_.control(IDC_PAGE_TABS));
      showTab(tab_);
      return;
    case Step::Shoot: {
      if (window_.shownStatusImage() == StatusImage::None && ++lightWaits_ < kLightWaitPolls) return;
      if (const std::string problem = shoot(); !problem.empty()) {
        finish(false, problem);
        return;
      }
      if (++tab_ == PageTable::size()) {
        finish(true, std::to_string(PageTable::size()) + " screenshots written");
        return;
      }
      showTab(tab_);
      return;
    }
    case Step::Done:
      return;
  }
}

}  // namespace pelmora
