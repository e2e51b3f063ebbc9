// What the user can type: digits-only edits, text limits against loaded
// texts (which limit each edit has the page tests check), the IP-address
// field, the port chooser's edit field, Return, the Transport check box and
// the chooser's tooltips, and the mark on a field typed against its rule.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "app/main_window_template.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/ui_language.h"
#include "tests/qt/window_support.h"

namespace pelmora::testing {
namespace {

constexpr int kSmsTrack = 0;
constexpr int kApn = 2;
constexpr int kTransport = 4;

TEST(QtTyping, DigitsOnlyEditsAndLimitsJudgeOnlyWhatIsTyped) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  t.showTab(kSmsTrack);
  QWidget* password = t.pageWidget(kSmsTrack, 1013);
  TestWindow::typeOver(password, QStringLiteral("12a3b45678"));
  EXPECT_EQ(t.pageText(kSmsTrack, 1013), QStringLiteral("123456"));  // letters refused, then the limit of 6

  // A load shows a text whole, beyond the limit; typing past the limit is
  // refused, deleting is not.
  t.window->controlsOf(kSmsTrack).setText(1013, u"123456789");
  password->setFocus();
  qobject_cast<QLineEdit*>(password)->end(false);
  QTest::keyClicks(password, QStringLiteral("0"));
  EXPECT_EQ(t.pageText(kSmsTrack, 1013), QStringLiteral("123456789"));
  QTest::keyClick(password, Qt::Key_Backspace);
  EXPECT_EQ(t.pageText(kSmsTrack, 1013), QStringLiteral("12345678"));
}

TEST(QtTyping, AFieldTypedAgainstItsRuleIsFramedWithTheRuleInItsTooltip) {
  const struct {
    UiLanguage language;
    QString caption;
    QString rule;
  } rows[] = {
      {UiLanguage::Russian, QStringLiteral("Это значение нарушает своё правило: «Записать» его не отправит."),
       QStringLiteral("цифр: 2; правило: ровно 6 цифр")},
      {UiLanguage::English, QStringLiteral("This value breaks its rule: Write Settings will not send it."),
       QStringLiteral("has 2 digits; the rule is exactly 6 digits")},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(useLanguage(row.language));
    TestWindow t;
    ASSERT_TRUE(t.showActive());
    t.window->logic().settingsReady();  // the pages show settings; changes count from them
    t.showTab(kSmsTrack);
    QWidget* password = t.pageWidget(kSmsTrack, 1013);
    TestWindow::typeOver(password, QStringLiteral("12"));
    EXPECT_EQ(password->toolTip(), row.caption + QStringLiteral("\n") + row.rule);
    EXPECT_TRUE(password->styleSheet().contains(QStringLiteral("solid"))) << password->styleSheet().toStdString();
    TestWindow::typeOver(password, QStringLiteral("123456"));
    EXPECT_TRUE(password->toolTip().isEmpty());
    EXPECT_TRUE(password->styleSheet().isEmpty());
  }
}

TEST(QtTyping, IpAddressFieldTakesFourPartsOfAtMost255) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  t.showTab(kApn);
  auto* dns = dynamic_cast<IpAddressEdit*>(t.pageWidget(kApn, 1011));
  ASSERT_NE(dns, nullptr);
  EXPECT_EQ(t.pageText(kApn, 1011), QString());  // blank gives empty text
  const std::pair<const char*, const char*> rows[] = {
      {"10.0.0.1", "10.0.0.1"},
      {"256", "25.0.0.0"},                   // 6 would make 256; blank parts count as 0
      {"192168001254", "192.168.1.254"},     // three digits move on to the next part
  };
  for (const auto& [keys, text] : rows) {
    t.window->controlsOf(kApn).setText(1011, u"");
    dns->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(nullptr, QString::fromLatin1(keys));
    EXPECT_EQ(t.pageText(kApn, 1011), QString::fromLatin1(text)) << keys;
  }

  // A loaded host name comes back as it went in, until the user types.
  t.window->controlsOf(kApn).setText(1011, u"dns.example.net");
  EXPECT_TRUE(dns->showsForeignText());
  EXPECT_EQ(t.pageText(kApn, 1011), QStringLiteral("dns.example.net"));
  dns->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(nullptr, QStringLiteral("x"));
  EXPECT_EQ(t.pageText(kApn, 1011), QStringLiteral("dns.example.net"));
  QTest::keyClicks(nullptr, QStringLiteral("9.9.9.9"));
  EXPECT_FALSE(dns->showsForeignText());
  EXPECT_EQ(t.pageText(kApn, 1011), QStringLiteral("9.9.9.9"));
}

TEST(QtTyping, PortChooserActsOnlyOnAChoiceFromItsList) {
  TestWindow t(PortMapConfig{{{5, "/nonexistent/pelmora-test-device"}}, false});
  ASSERT_TRUE(t.showActive());
  auto* chooser = qobject_cast<QComboBox*>(t.window->control(1010));

  // Each entry names the device behind its number.
  EXPECT_EQ(chooser->itemData(5, Qt::ToolTipRole).toString(),
            QStringLiteral("COM5: /nonexistent/pelmora-test-device (port map entry)"));

  // Typing a name, Return included, opens nothing and stores nothing.
  chooser->lineEdit()->setFocus();
  chooser->lineEdit()->selectAll();
  QTest::keyClicks(chooser->lineEdit(), QStringLiteral("COM5"));
  QTest::keyClick(chooser->lineEdit(), Qt::Key_Return);
  t.pageWidget(0, 1013)->setFocus();  // leaving the field does not choose either
  EXPECT_EQ(chooser->currentIndex(), -1);
  EXPECT_EQ(t.store.writes, 0);
  EXPECT_TRUE(t.window->isVisible());

  // A choice from the list reaches the logic, which opens and stores it (see the window-logic test).
  chooser->showPopup();
  ASSERT_TRUE(TestWindow::waitFor([&] { return chooser->view()->isVisible(); }, 5000));
  const QModelIndex com5 = chooser->model()->index(5, 0);
  chooser->view()->scrollTo(com5);
  chooser->view()->setCurrentIndex(com5);
  QTest::qWait(QApplication::doubleClickInterval() + 100);  // a release right after the popup opened is ignored
  QTest::mouseClick(chooser->view()->viewport(), Qt::LeftButton, {}, chooser->view()->visualRect(com5).center());
  ASSERT_TRUE(TestWindow::waitFor([&] { return t.store.writes == 1; }, 5000));
  EXPECT_EQ(t.store.value, std::u16string(u"5"));
}

// A click reaches the page: Enable TCP Track writes its hidden value.
TEST(QtTyping, ClicksReachThePage) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  t.showTab(kTransport);
  auto* box = qobject_cast<QCheckBox*>(t.pageWidget(kTransport, 1031));
  for (const char* value : {"1", "0"}) {
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    EXPECT_EQ(t.pageText(kTransport, 1032), QString::fromLatin1(value));
  }
}

TEST(QtTyping, AboutBoxAndSettingsFilesComeFromKeysTheButtonAndTheContextMenu) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  // Before any read a settings file shortcut says so in the log and opens no file dialog.
  for (const auto key : {Qt::Key_S, Qt::Key_O}) QTest::keyClick(t.window.get(), key, Qt::ControlModifier);
  EXPECT_EQ(t.window->logText(),
            QStringLiteral("Plug the tracker in and press Scan Ports\r\n\r\n") +
                QStringLiteral("No tracker settings loaded: read the tracker first\r\n\r\n").repeated(2));
  // F1 and the button run the About box modally: look at what opened, then close it.
  const std::function<void()> opens[] = {
      [&t] { QTest::keyClick(t.window.get(), Qt::Key_F1); },
      [&t] { static_cast<QAbstractButton*>(t.window->control(IDC_ABOUT_BUTTON))->click(); }};
  for (const auto& open : opens) {
    QString seen;
    QTimer::singleShot(50, [&seen] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        seen = modal->windowTitle();
        static_cast<QDialog*>(modal)->reject();
      }
    });
    open();
    EXPECT_EQ(seen, QStringLiteral("About Pelmora"));
  }

  QStringList items;
  QTimer::singleShot(50, [&items] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (const QAction* action : menu->actions()) items << action->text();
      menu->close();
    }
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), t.window->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(t.window.get(), &event);
  EXPECT_EQ(items, (QStringList{QStringLiteral("Open Settings\u2026"), QStringLiteral("Save Settings As\u2026"),
                                QStringLiteral("Compare with Tracker\u2026"),
                                QStringLiteral("Restore Earlier Settings\u2026"), QString(),
                                QStringLiteral("Station\u2026"), QString(), QStringLiteral("Save Log As\u2026"), QStringLiteral("Copy Log"), QString(),
                                QStringLiteral("&About Pelmora...")}));
}

}  // namespace
}  // namespace pelmora::testing
