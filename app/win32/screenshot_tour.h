#pragma once
// pelmora --screenshots DIR: drives the window against the demo tracker as a
// user would (Read Settings once the tracker on the demo's port is on line),
// then saves the window's client area as a PNG for every tab, named after
// the tab's English title and the window's language
// ("win32-tab-sms-track.png", "win32-tab-sms-track-ru.png"), and closes the
// window. Runs on the window's thread, from a timer, one at a time.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "app/win32/ui_language.h"

namespace pelmora {

class Win32MainWindow;

class ScreenshotTour {
 public:
  ScreenshotTour(Win32MainWindow& window, std::string directory);
  ~ScreenshotTour();
  ScreenshotTour(const ScreenshotTour&) = delete;
  ScreenshotTour& operator=(const ScreenshotTour&) = delete;

  // False (after saying why) when the folder cannot be made; nothing runs then.
  bool start();
  bool succeeded() const { return succeeded_; }

  // "Sms Track" gives "win32-tab-sms-track.png" in English, "win32-tab-sms-track-ru.png" in Russian.
  static std::string fileNameFor(std::u16string_view tabTitle, UiLanguage language);

 private:
  enum class Step { WaitOnline, WaitSettings, Shoot, Done };
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void poll();
  void showTab(int index);
  // "" when the shown tab was saved, else why not.
  std::string shoot();
  void finish(bool ok, const std::string& message);

  Win32MainWindow& window_;
  std::string directory_;  // UTF-8
  UINT_PTR timer_ = 0;
  Step step_ = Step::WaitOnline;
  int tab_ = 0;
  int pollsLeft_ = 0;
  int lightWaits_ = 0;
  bool succeeded_ = false;
};

}  // namespace pelmora
