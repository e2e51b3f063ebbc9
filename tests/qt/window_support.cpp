#include "tests/qt/window_support.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include "app/qt/page_tabs.h"
#include "app/qt/qt_text.h"

namespace pelmora::testing {

TestWindow::TestWindow(PortMapConfig map) : port(std::move(map)) {
  WindowServices services{port, store, nullptr, [this](int number) {
                            return QString::fromStdString(describePortMapping(port.portMap(), number));
                          }};
  window = std::make_unique<CPelmoraDlg>(services);
}

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
