#include "app/win32/self_test.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "app/main_window_template.h"
#include "app/win32/main_window.h"
#include "app/win32/win32_text.h"
#include "link/port_name.h"
#include "pages/apn_page.h"
#include "pages/settings_page.h"
#include "pages/sms_track_page.h"
#include "settings/utf.h"
#include "sim/loopback_serial_port.h"

namespace pelmora {
namespace {

constexpr UINT kTickMs = 50;
SelfTest* running = nullptr;  // the timer procedure's way back; one script a process
// The line the window logs when the read-back shows the one field changed.
constexpr std::u16string_view kVerifiedLine = u"Verified: 1 field changed as intended";

const sim::LoopbackSerialPort* demoPort(WindowAssembly& assembly) {
  return dynamic_cast<const sim::LoopbackSerialPort*>(&assembly.port());
}

}  // namespace

struct SelfTest::Step {
  const char* name;  // "%s": where the tracker is looked for
  void (SelfTest::*act)();  // nullptr: only wait
  bool (SelfTest::*done)() const;
};

SelfTest::SelfTest(Win32MainWindow& window, WindowAssembly& assembly, std::optional<int> port)
    : window_(window), assembly_(assembly), port_(port) {
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

std::span<const SelfTest::Step> SelfTest::steps() const {
  static constexpr std::array<Step, 5> kDemoSteps{{
      {"Scan Ports finds the tracker on %s", &SelfTest::clickScan, &SelfTest::online},
      {"Read Settings shows the tracker's settings", &SelfTest::clickRead, &SelfTest::settingsShown},
      {"an APN name typed on the APN page", &SelfTest::typeField, &SelfTest::fieldTyped},
      {"Write Settings reaches the tracker", &SelfTest::clickWrite, &SelfTest::written},
      {"the tracker's record holds the typed APN name", nullptr, &SelfTest::recordHolds},
  }};
  static constexpr std::array<Step, 4> kPortSteps{{
      {"Scan Ports finds the tracker on %s", &SelfTest::clickScan, &SelfTest::online},
      {"Read Settings shows the tracker's settings", &SelfTest::clickRead, &SelfTest::settingsShown},
      {"an SMS report interval typed on the Sms Track page", &SelfTest::typeField, &SelfTest::fieldTyped},
      {"Write Settings reaches the tracker and reads back as written", &SelfTest::clickWrite, &SelfTest::writeVerified},
  }};
  if (port_) return kPortSteps;
  return kDemoSteps;
}

void SelfTest::advance() {
  if (finished_) return;
  if (step_ == steps().size()) {
    finish();
    return;
  }
  const Step& step = steps()[step_];
  if (!acted_) {
    acted_ = true;
    stepStarted_ = ::GetTickCount64();
    if (step.act != nullptr) (this->*step.act)();
  }
  std::string name = step.name;
  if (const std::size_t at = name.find("%s"); at != std::string::npos)
    name.replace(at, 2, port_ ? comPortName(*port_) : std::string("the demo port"));
  if ((this->*step.done)()) {
    std::printf("self-test: PASS  %s\n", name.c_str());
  } else if (::GetTickCount64() - stepStarted_ > kStepLimitMs) {
    std::printf("self-test: FAIL  %s (not done within %llu ms)\n", name.c_str(),
                static_cast<unsigned long long>(kStepLimitMs));
    // What the window said meanwhile, for the reason.
    std::printf("self-test: the window's log:\n%s\n", utf8FromUtf16(window_.logText()).c_str());
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

HWND SelfTest::typedField() const {
  const int page = port_ ? sms_track::IDD_SMS_TRACK : apn::IDD_APN;
  const int field = port_ ? sms_track::IDC_SMS_INTERVAL : apn::IDC_APN_NAME;
  const PageTable& table = window_.logic().pageTable();
  for (int i = 0; i < PageTable::size(); ++i)
    if (table[i].page->dialogTemplate().id == page) return window_.controlsOf(i).window(field);
  return nullptr;
}

std::u16string_view SelfTest::typedText() const { return port_ ? kSelfTestInterval : kSelfTestApn; }

bool SelfTest::online() const {
  return ::IsWindowEnabled(window_.control(IDC_READ_SETTINGS)) &&
         ::SendMessageW(window_.control(IDC_PORT_LIST), CB_GETCURSEL, 0, 0) == port_.value_or(kDemoPort);
}

void SelfTest::clickScan() { click(IDC_SCAN_PORTS); }

void SelfTest::clickRead() { click(IDC_READ_SETTINGS); }

bool SelfTest::settingsShown() const {
  return window_.logic().settingsLoaded() && !windowText(window_.control(IDC_MAGIC)).empty() &&
         ::IsWindowEnabled(window_.control(IDC_WRITE_SETTINGS));
}

void SelfTest::typeField() { setWindowText(typedField(), typedText()); }

bool SelfTest::fieldTyped() const { return windowText(typedField()) == typedText(); }

void SelfTest::clickWrite() { click(IDC_WRITE_SETTINGS); }

bool SelfTest::written() const {
  const sim::LoopbackSerialPort* port = demoPort(assembly_);
  return port != nullptr && port->tracker().counters().writeSettings >= 1 && !port->tracker().writtenImage().empty();
}

bool SelfTest::writeVerified() const {
  return window_.logText().find(kVerifiedLine) != std::u16string::npos;
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
