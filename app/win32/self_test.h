#pragma once
// pelmora --self-test: the window driven as a user drives it, against the
// demo's simulated tracker, by messages to its controls: Scan Ports, Read
// Settings, an APN name typed, Write Settings; then the simulated tracker's
// record must hold the written image with that name in it. Each step waits
// for what the window shows (the buttons, the identity fields) while the
// message loop runs; a step not done within kStepLimitMs fails the run.
// Every step says PASS or FAIL on standard output; the window closes at the
// end and passed() gives the verdict.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/window_assembly.h"

namespace pelmora {

class Win32MainWindow;

inline constexpr std::uint64_t kStepLimitMs = 30000;
inline constexpr std::u16string_view kSelfTestApn = u"selftest.example.net";

class SelfTest {
 public:
  // Starts the script on the window's thread; one at a time.
  SelfTest(Win32MainWindow& window, WindowAssembly& assembly);
  ~SelfTest();
  SelfTest(const SelfTest&) = delete;
  SelfTest& operator=(const SelfTest&) = delete;

  bool passed() const { return finished_ && failures_ == 0; }

 private:
  struct Step;
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void advance();
  void finish();

  void click(int controlId);
  HWND apnName() const;
  bool online() const;
  bool settingsShown() const;
  bool apnTyped() const;
  bool written() const;
  bool recordHolds() const;
  void clickScan();
  void clickRead();
  void typeApn();
  void clickWrite();

  Win32MainWindow& window_;
  WindowAssembly& assembly_;
  UINT_PTR timer_ = 0;
  std::size_t step_ = 0;
  bool acted_ = false;
  std::uint64_t stepStarted_ = 0;
  int failures_ = 0;
  bool finished_ = false;
};

}  // namespace pelmora
