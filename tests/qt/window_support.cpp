#include "tests/qt/window_support.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include "app/qt/page_tabs.h"
#include "app/qt/qt_text.h"
#include "link/posix_serial_port.h"

namespace pelmora::testing {

namespace {

WindowAssembly::Parts testParts(PortMapConfig map) {
  WindowAssembly::Parts parts;
  parts.port = std::make_unique<PosixSerialPort>(std::move(map));
  parts.portIndexStore = std::make_unique<FakePortIndexStore>();
  return parts;
}

}  // namespace

TestWindow::TestWindow(PortMapConfig map) : TestWindow(testParts(std::move(map))) {}

TestWindow::TestWindow(WindowAssembly::Parts parts)
    : assembly(std::move(parts)),
      store(static_cast<FakePortIndexStore&>(assembly.portIndexStore())),
      window(std::make_unique<CPelmoraDlg>(assembly)) {}

bool TestWindow::showActive() {
  window->show();
  window->activateWindow();
  return QTest::qWaitForWindowActive(window.get());
}

bool TestWindow::waitFor(const std::function<bool()>& done, int limitMs) { return QTest::qWaitFor(done, limitMs); }

QString TestWindow::pageText(int page, int id) {
  return toQString(window->controlsOf(page).text(id));
}

void TestWindow::showTab(int index) { window->pageTabs()->tabBar()->setCurrentIndex(index); }

void TestWindow::typeOver(QWidget* widget, const QString& text) {
  widget->setFocus(Qt::TabFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit->selectAll();
  QTest::keyClicks(nullptr, text);
}

}  // namespace pelmora::testing
