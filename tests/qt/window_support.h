#pragma once
// A main window for tests, assembled as the program assembles it but for
// its parts: by default a serial port whose map names only what the test
// gives it (never a real device), the saved port index in memory, no
// discovery and no trace.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/qt/pelmora_dlg.h"
#include "app/testing/fake_port_index_store.h"
#include "app/window_assembly.h"
#include "link/port_map.h"

namespace pelmora::testing {

struct TestWindow {
  // Nothing mapped, no automatic numbering of devices.
  explicit TestWindow(PortMapConfig map = PortMapConfig{{}, false});
  // On the given parts; a port index store among them is a FakePortIndexStore.
  explicit TestWindow(WindowAssembly::Parts parts);

  // Shown, active and with the keyboard focus, so that typing reaches it.
  bool showActive();
  // Processes events until `done` holds; false after `limitMs`.
  static bool waitFor(const std::function<bool()>& done, int limitMs = 60000);

  QString pageText(int page, int id);
  QWidget* pageWidget(int page, int id) { return window->controlsOf(page).widget(id); }
  void showTab(int index);
  // Focuses `widget`, selects what it shows and types `text` over it.
  static void typeOver(QWidget* widget, const QString& text);

  WindowAssembly assembly;  // outlives the window
  FakePortIndexStore& store;
  std::unique_ptr<CPelmoraDlg> window;
};

}  // namespace pelmora::testing
