#include "app/win32/self_test.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "app/main_window_template.h"
#include "app/win32/main_window.h"
#include "app/win32/win32_text.h"
#include "pages/apn_page.h"
#include "pages/settings_page.h"
#include "sim/loopback_serial_port.h"

namespace pelmora {
namespace {

constexpr UINT kTickMs = 50;
SelfTest* running = nullptr;  // the timer procedure's way back; one script a process

const sim::LoopbackSerialPort* demoPort(WindowAssembly& assembly) {
  return dynamic_cast<const sim::LoopbackSerialPort*>(&assembly.port());
}

}  // namespace

struct SelfTest::Step {
  const char* name;
  void (SelfTest::*act)();  // nullptr: only wait
  bool (SelfTest::*done)() const;
};

SelfTest::SelfTest(Win32MainWindow& window, WindowAssembly& assembly) : window_(window), assembly_(assembly) {
  running = this;
  stepStarted_ = ::GetTickCount64();
  timer_ = ::SetTimer(nullptr, 0, kTickMs, &SelfTest::tick);
}

SelfTest::~SelfTest() {
  if (timer_ != 0) ::KillTimer(nullptr, timer_);
  running = nullptr;
}

void CALLBACK SelfTest::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (running != nullptr) running->advance();
}

void SelfTest::advance() {
  static constexpr std::array<Step, 5> kSteps{{
      {"Scan Ports finds the tracker on the demo port", &SelfTest::clickScan, &SelfTest::online},
      {"Read Settings shows the tracker's settings", &SelfTest::clickRead, &SelfTest::settingsShown},
      {"an APN name typed on the APN page", &SelfTest::typeApn, &SelfTest::apnTyped},
      {"Write Settings reaches the tracker", &SelfTest::clickWrite, &SelfTest::written},
      {"the tracker's record holds the typed APN name", nullptr, &SelfTest::recordHolds},
  }};
  if (finished_) return;
  if (step_ == kSteps.size()) {
    finish();
    return;
  }
  const Step& step = kSteps[step_];
  if (!acted_) {
    acted_ = true;
    stepStarted_ = ::GetTickCount64();
    if (step.act != nullptr) (this->*step.act)();
  }
  if ((this->*step.done)()) {
    std::printf("self-test: PASS  %s\n", step.name);
  } else if (::GetTickCount64() - stepStarted_ > kStepLimitMs) {
    std::printf("self-test: FAIL  %s (not done within %llu ms)\n", step.name,
                static_cast<unsigned long long>(kStepLimitMs));
    ++failures_;
    finish();
    return;
  } else {
    return;
  }
  std::fflush(stdout);
  ++step_;
  acted_ = false;
}

void SelfTest::finish() {
  finished_ = true;
  if (timer_ != 0) ::KillTimer(nullptr, timer_);
  timer_ = 0;
  std::printf("self-test: %s\n", failures_ == 0 ? "passed" : "failed");
  std::fflush(stdout);
  window_.close();
}

void SelfTest::click(int controlId) {
  // BM_CLICK acts as the mouse does: a disabled button takes no click.
  ::SendMessageW(window_.control(controlId), BM_CLICK, 0, 0);
}

HWND SelfTest::apnName() const {
  const PageTable& table = window_.logic().pageTable();
  for (int i = 0; i < PageTable::size(); ++i)
    if (table[i].page->dialogTemplate().id == apn::IDD_APN) return window_.controlsOf(i).window(apn::IDC_APN_NAME);
  return nullptr;
}

bool SelfTest::online() const {
  return ::IsWindowEnabled(window_.control(IDC_READ_SETTINGS)) &&
         ::SendMessageW(window_.control(IDC_PORT_LIST), CB_GETCURSEL, 0, 0) == kDemoPort;
}

void SelfTest::clickScan() { click(IDC_SCAN_PORTS); }

void SelfTest::clickRead() { click(IDC_READ_SETTINGS); }

bool SelfTest::settingsShown() const {
  return !windowText(window_.control(IDC_IMEI)).empty() && ::IsWindowEnabled(window_.control(IDC_WRITE_SETTINGS));
}

void SelfTest::typeApn() { setWindowText(apnName(), kSelfTestApn); }

bool SelfTest::apnTyped() const { return windowText(apnName()) == kSelfTestApn; }

void SelfTest::clickWrite() { click(IDC_WRITE_SETTINGS); }

bool SelfTest::written() const {
  const sim::LoopbackSerialPort* port = demoPort(assembly_);
  return port != nullptr && port->tracker().counters().writeSettings >= 1 && !port->tracker().writtenImage().empty();
}

bool SelfTest::recordHolds() const {
  const sim::LoopbackSerialPort* port = demoPort(assembly_);
  if (port == nullptr) return false;
  const std::vector<std::uint8_t> image = port->tracker().writtenImage();
  // As the image keeps its texts: UTF-16, little-endian.
  std::vector<std::uint8_t> name;
  for (const char16_t unit : kSelfTestApn) {
    name.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    name.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return std::search(image.begin(), image.end(), name.begin(), name.end()) != image.end();
}

}  // namespace pelmora
