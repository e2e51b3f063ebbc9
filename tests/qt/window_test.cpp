// The window as built from its templates: every control of template 102,
// of the six pages and of the About box, the tab control's pages, the log
// pane, the status light and the notifications from worker threads.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <span>
#include <thread>
#include <vector>

#include "app/qt/about_box.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/page_tabs.h"
#include "app/qt/qt_text.h"
#include "app/qt/typing_validator.h"
#include "app/qt/wrapping_check_box.h"
#include "tests/pages/expected_templates.h"
#include "tests/qt/window_support.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora::testing {
namespace {

using test::ExpectedItem;

// The pages in tab order, with the items their descriptions list.
const std::span<const ExpectedItem> kPageItems[] = {test::kSmsTrackItems, test::kKeyBindingItems, test::kApnItems,
                                                    test::kAgpsItems,     test::kTransportItems,  test::kMiscItems};

// A label or group box on the page shows the item's text, aligned and
// visible as the item says.
bool showsText(QWidget* page, const ExpectedItem& item) {
  const bool visible = (item.style & StyleHidden) == 0;
  if (item.kind == ItemKind::GroupBox) {
    for (const QGroupBox* group : page->findChildren<QGroupBox*>())
      if (group->title() == toQ(item.text) && group->isVisibleTo(page) == visible) return true;
    return false;
  }
  const Qt::Alignment alignment = (item.style & StyleAlignRight) != 0    ? Qt::AlignRight
                                  : (item.style & StyleAlignCenter) != 0 ? Qt::AlignHCenter
                                                                         : Qt::AlignLeft;
  for (const QLabel* label : page->findChildren<QLabel*>())
    if (label->text() == toQ(item.text) && (label->alignment() & Qt::AlignHorizontal_Mask) == alignment &&
        label->isVisibleTo(page) == visible)
      return true;
  return false;
}

// The widget is of the kind the item names, with the item's typing rule, text and wrapping.
bool builtAs(QWidget* widget, const ExpectedItem& item) {
  switch (item.kind) {
    case ItemKind::Edit: {
      auto* edit = qobject_cast<QLineEdit*>(widget);
      const auto* validator = edit != nullptr ? dynamic_cast<const TypingValidator*>(edit->validator()) : nullptr;
      return validator != nullptr && validator->digitsOnly() == ((item.style & StyleDigitsOnly) != 0);
    }
    case ItemKind::CheckBox: {
      auto* box = qobject_cast<QCheckBox*>(widget);
      return box != nullptr && box->text() == toQ(item.text) &&
             (dynamic_cast<WrappingCheckBox*>(widget) != nullptr) == ((item.style & StyleWordWrap) != 0);
    }
    case ItemKind::IpAddress: return dynamic_cast<IpAddressEdit*>(widget) != nullptr;
    case ItemKind::ComboBox: {
      auto* combo = qobject_cast<QComboBox*>(widget);
      return combo != nullptr && combo->isEditable();
    }
    case ItemKind::StaticText: return qobject_cast<QLabel*>(widget) != nullptr;
    case ItemKind::GroupBox: return qobject_cast<QGroupBox*>(widget) != nullptr;
    default: return false;
  }
}

TEST(QtWindow, BuildsTheMainWindowAndTheAboutBox) {
  TestWindow t;
  CPelmoraDlg& window = *t.window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Veltranix Pelmora(1.0.03)"));
  EXPECT_FALSE(window.windowIcon().isNull());
  const auto widget = [&](int id) { return window.control(id); };

  auto* chooser = qobject_cast<QComboBox*>(widget(1010));
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(chooser->isEditable());
  for (const auto& [id, text] : {std::pair{1004, "Scan Ports"}, {1005, "Read Settings"}, {1006, "Write Settings"}}) {
    auto* button = qobject_cast<QPushButton*>(widget(id));
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text(), QString::fromLatin1(text));
    EXPECT_EQ(button->isEnabled(), id == 1004) << "Read and Write start disabled";
  }
  for (const int id : {1007, 1013, 1008}) {
    auto* edit = qobject_cast<QLineEdit*>(widget(id));
    ASSERT_NE(edit, nullptr) << id;
    EXPECT_TRUE(edit->isReadOnly());
  }
  auto* pane = qobject_cast<QPlainTextEdit*>(widget(1011));
  ASSERT_NE(pane, nullptr);
  EXPECT_TRUE(pane->isReadOnly());
  EXPECT_EQ(pane->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(widget(1012)->isVisibleTo(&window));  // its picture: see the status light test

  QTabBar* tabs = window.pageTabs()->tabBar();
  ASSERT_EQ(tabs->count(), 6);
  EXPECT_EQ(tabs->iconSize(), QSize(32, 32));
  const char* titles[] = {"Sms Track", "Key Binding", "APN", "AGPS", "Transport", "Misc"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(tabs->tabText(i), QString::fromLatin1(titles[i]));
    EXPECT_FALSE(tabs->tabIcon(i).isNull());
  }
  QStringList labels;
  for (const QLabel* l : window.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) labels << l->text();
  for (const char* label : {"Magic Number", "ROM Ver", "IMEI"})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(label)));

  CAboutDlg about(&window);
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Pelmora"));
  labels.clear();
  for (const QLabel* l : about.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.contains(QStringLiteral("Pelmora, Version 1.0")));
  const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
  EXPECT_TRUE(buttons[0]->isDefault());
}

TEST(QtWindow, EveryPageItemIsTheWidgetItsTemplateDescribes) {
  TestWindow t;
  for (int page = 0; page < 6; ++page) {
    QWidget* pageWidget = t.window->page(page);
    int pictures = 0;
    for (const ExpectedItem& item : kPageItems[page]) {
      SCOPED_TRACE(::testing::Message() << "page " << page << " id " << item.id << " " << toQ(item.text).toStdString());
      pictures += item.kind == ItemKind::Bitmap ? 1 : 0;
      if (item.kind == ItemKind::StaticText || item.kind == ItemKind::GroupBox) {
        EXPECT_TRUE(showsText(pageWidget, item));
      }
      if (item.id == kNoId) continue;
      QWidget* widget = t.pageWidget(page, item.id);
      ASSERT_NE(widget, nullptr);
      EXPECT_TRUE(builtAs(widget, item));
      EXPECT_EQ(widget->isVisibleTo(pageWidget), (item.style & StyleHidden) == 0);
    }
    // The key pictures, at their own size.
    int shown = 0;
    for (const QLabel* label : pageWidget->findChildren<QLabel*>()) {
      const QSize size = label->pixmap().deviceIndependentSize().toSize();
      if (label->pixmap().isNull()) continue;
      EXPECT_TRUE(size == QSize(27, 27) || size == QSize(26, 26));
      ++shown;
    }
    EXPECT_EQ(shown, pictures) << "page " << page;
  }
}

TEST(QtWindow, TabOrderIsTemplateOrderAndEveryTextIsShownWhole) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  for (int page = 0; page < 6; ++page) {
    SCOPED_TRACE(page);
    t.showTab(page);
    QWidget* pageWidget = t.window->page(page);

    // The controls Tab reaches, in the order of the template.
    std::vector<QWidget*> expected;
    for (const ExpectedItem& item : kPageItems[page]) {
      const bool typed = item.kind == ItemKind::Edit || item.kind == ItemKind::IpAddress ||
                         item.kind == ItemKind::CheckBox || item.kind == ItemKind::ComboBox;
      if (item.id != kNoId && typed && (item.style & StyleHidden) == 0) expected.push_back(t.pageWidget(page, item.id));
    }
    std::vector<QWidget*> reached;
    QWidget* focus = expected.front()->focusProxy() != nullptr ? expected.front()->focusProxy() : expected.front();
    focus->setFocus(Qt::TabFocusReason);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      QWidget* now = QApplication::focusWidget();
      while (now != nullptr && now->parentWidget() != pageWidget) now = now->parentWidget();
      reached.push_back(now);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(reached, expected);

    // Every control lies inside the page's place, every text fits its box.
    const QRect place(QPoint(0, 0), pageWidget->size());
    for (QWidget* child : pageWidget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (!child->isVisibleTo(pageWidget)) continue;
      EXPECT_TRUE(place.contains(child->geometry())) << child->metaObject()->className();
      if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && label->pixmap().isNull()) {
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
      }
      if (auto* wrapping = dynamic_cast<WrappingCheckBox*>(child)) {
        EXPECT_LE(wrapping->neededHeight(), wrapping->height()) << wrapping->text().toStdString();
      } else if (auto* box = qobject_cast<QCheckBox*>(child)) {
        EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
      }
      if (auto* group = qobject_cast<QGroupBox*>(child)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.lineWidth = 1;
        option.textAlignment = group->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        EXPECT_TRUE(group->rect().contains(title)) << group->title().toStdString();
      }
    }
  }
}

TEST(QtWindow, TabChangesShowExactlyOnePageInItsPlace) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  PageTabs* tabs = t.window->pageTabs();
  const QRect place(10, 50, tabs->width() - 20, tabs->height() - 60);
  EXPECT_EQ(t.window->pageRect(), place);
  // The tab strip stays above the pages.
  EXPECT_LE(tabs->tabBar()->geometry().bottom(), 50);
  for (const int index : {0, 3, 5, 1, 4, 2, 0}) {
    t.showTab(index);
    for (int page = 0; page < 6; ++page) {
      EXPECT_EQ(t.window->page(page)->isVisible(), page == index) << index << "/" << page;
      EXPECT_EQ(t.window->page(page)->parentWidget(), tabs);
      EXPECT_EQ(t.window->page(page)->geometry(), place);
    }
  }
}

TEST(QtWindow, StatusLightShowsPureRedThenNothing) {
  TestWindow t;
  auto* light = qobject_cast<QLabel*>(t.window->control(1009));
  const auto centre = [](const QLabel* label) {
    const QImage image = label->pixmap().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
  };
  t.window->logic().onTimerTick();  // no port open: off line
  EXPECT_EQ(centre(light), QColor(255, 0, 0));
  t.window->logic().onTimerTick();
  EXPECT_TRUE(light->pixmap().isNull());
  EXPECT_EQ(centre(qobject_cast<QLabel*>(t.window->control(1012))), QColor(0, 255, 0));
}

TEST(QtWindow, WorkerNotificationsArriveOnTheWindowThreadInOrder) {
  // A scan's selection is taken only for the port open: a silent tracker's.
  sim::SimOptions silent;
  silent.behaviour.silent = true;
  sim::SimTracker tracker(silent);
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  TestWindow t(PortMapConfig{{{7, tracker.devicePath()}}, false});
  ASSERT_TRUE(t.window->engine().openTrackerPort(7));
  auto* pane = qobject_cast<QPlainTextEdit*>(t.window->control(1011));
  auto* read = qobject_cast<QPushButton*>(t.window->control(1005));
  auto* chooser = qobject_cast<QComboBox*>(t.window->control(1010));
  auto* progress = qobject_cast<QProgressBar*>(t.window->control(1036));
  std::atomic<bool> done{false};
  std::thread worker([&] {
    TrackerWindow& window = t.window->notifications();
    window.trackerEvent(TRACKER_EVENT_LOG, 0, u"Tracker is on port 7");
    window.trackerEvent(TRACKER_EVENT_SELECT_PORT, 7, {});
    window.trackerEvent(TRACKER_EVENT_BUTTONS, BUTTONS_ONLINE, {});
    window.trackerEvent(TRACKER_EVENT_PROGRESS, 7000, {});
    done.store(true);
  });
  ASSERT_TRUE(TestWindow::waitFor([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(pane->toPlainText(), QStringLiteral("Open  port 7 sucessfully\n\nTracker is on port 7\n\n"));
  EXPECT_EQ(t.window->logText(), QStringLiteral("Open  port 7 sucessfully\r\n\r\nTracker is on port 7\r\n\r\n"));
  EXPECT_EQ(chooser->currentIndex(), 7);
  EXPECT_EQ(t.store.writes, 0);  // a selection by the link is not the user's
  EXPECT_TRUE(read->isEnabled());
  EXPECT_EQ(progress->value(), 4000);

  // From the window's own thread the call runs at once.
  t.window->notifications().trackerEvent(TRACKER_EVENT_LOG, 0, u"B");
  EXPECT_EQ(pane->toPlainText(), QStringLiteral("Open  port 7 sucessfully\n\nTracker is on port 7\n\nB\n\n"));
}

TEST(QtWindow, LogPaneDropsWhatTheLogicDropsAndNoMore) {
  TestWindow t;
  auto* pane = qobject_cast<QPlainTextEdit*>(t.window->control(1011));
  // Entries that carry line breaks of their own, until the pane's bound
  // (512 Ki units) drops the oldest ones: 13 entries of about 40010 units
  // fit, so the pane keeps entries 7 to 19.
  const QString line = QString(40000, QLatin1Char('x'));
  for (int i = 0; i < 20; ++i) {
    const QString entry = QStringLiteral("%1\r\n%2\r\n").arg(i).arg(line);
    t.window->logic().AppendLog(toU16View(entry));
  }
  const QString kept = t.window->logText();
  EXPECT_LT(kept.size(), 20 * (line.size() + 8));
  EXPECT_LE(kept.size(), 512 * 1024);
  EXPECT_TRUE(kept.startsWith(QStringLiteral("7\r\n"))) << kept.left(10).toStdString();
  EXPECT_TRUE(kept.endsWith(QStringLiteral("19\r\n") + line + QStringLiteral("\r\n\r\n\r\n")));
  QString shown = kept;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(pane->toPlainText(), shown);
}

}  // namespace
}  // namespace pelmora::testing
