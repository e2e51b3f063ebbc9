#pragma once
// pelmora --self-test: the window driven as a user drives it, by messages to
// its controls: Scan Ports, Read Settings, one field typed, Write Settings.
//   - Against the demo's simulated tracker: an APN name is typed, and the
//     simulated tracker's record must then hold the written image with that
//     name in it.
//   - With --port COMn, against whatever answers on that port (the script
//     puts a simulated tracker behind it): SMS Report Interval becomes
//     kSelfTestInterval, and the window must report the write verified; what
//     reached the tracker is for the script to check, from the tracker's
//     own record.
// Each step waits for what the window shows (the buttons, the identity
// fields, the log) while the message loop runs; a step not done within
// kStepLimitMs fails the run. Every step says PASS or FAIL on standard
// output; the window closes at the end and passed() gives the verdict.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/window_assembly.h"

namespace pelmora {

class Win32MainWindow;

// A scan tries every port below the tracker's first, each for up to three seconds.
inline constexpr std::uint64_t kStepLimitMs = 60000;
inline constexpr std::u16string_view kSelfTestApn = u"selftest.example.net";
inline constexpr std::u16string_view kSelfTestInterval = u"45";

class SelfTest {
 public:
  // Starts the script on the window's thread; one at a time. `port`: the
  // COM number to find the tracker on; nothing for the demo's.
  SelfTest(Win32MainWindow& window, WindowAssembly& assembly, std::optional<int> port);
  ~SelfTest();
  SelfTest(const SelfTest&) = delete;
  SelfTest& operator=(const SelfTest&) = delete;

  bool passed() const { return finished_ && failures_ == 0; }

 private:
  struct Step;
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  std::span<const Step> steps() const;
  void advance();
  void finish();

  void click(int controlId);
  HWND typedField() const;
  std::u16string_view typedText() const;
  bool online() const;
  bool settingsShown() const;
  bool fieldTyped() const;
  bool written() const;
  bool recordHolds() const;
  bool writeVerified() const;
  void clickScan();
  void clickRead();
  void typeField();
  void clickWrite();

  Win32MainWindow& window_;
  WindowAssembly& assembly_;
  std::optional<int> port_;
  UINT_PTR timer_ = 0;
  std::size_t step_ = 0;
  bool acted_ = false;
  std::uint64_t stepStarted_ = 0;
  int failures_ = 0;
  bool finished_ = false;
};

}  // namespace pelmora
