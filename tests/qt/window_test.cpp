// The window as built from its templates: every control of template 102,
// of the six pages and of the About box, the tab control's pages, the log
// pane, the status light, the notifications from worker threads and the
// screenshots of the tabs.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
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

#include "app/main_window_template.h"
#include "app/qt/about_box.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/page_tabs.h"
#include "app/qt/qt_text.h"
#include "app/qt/screenshot_tour.h"
#include "app/qt/typing_validator.h"
#include "app/qt/wrapping_check_box.h"
#include "tests/pages/expected_templates.h"
#include "tests/qt/window_support.h"

namespace pelmora::testing {
namespace {

using test::ExpectedItem;

enum class Kind { Chooser, Picture, Button, Progress, ReadOnlyEdit, LogPane, Tabs };

struct MainControl {
  int id;
  Kind kind;
  std::u16string_view text;
  bool visible;
};

// Template 102 as the window's description lists it.
constexpr MainControl kMainControls[] = {
    {1010, Kind::Chooser, u"", true},          {1009, Kind::Picture, u"", true},
    {1004, Kind::Button, u"Scan Ports", true}, {1005, Kind::Button, u"Read Settings", true},
    {1006, Kind::Button, u"Write Settings", true}, {1036, Kind::Progress, u"", true},
    {1007, Kind::ReadOnlyEdit, u"", true},     {1013, Kind::ReadOnlyEdit, u"", true},
    {1008, Kind::ReadOnlyEdit, u"", true},     {1000, Kind::Tabs, u"", true},
    {1011, Kind::LogPane, u"", true},          {1012, Kind::Picture, u"", false},
};

// The pages in tab order, with the items their descriptions list.
const std::span<const ExpectedItem> kPageItems[] = {test::kSmsTrackItems, test::kKeyBindingItems, test::kApnItems,
                                                    test::kAgpsItems,     test::kTransportItems,  test::kMiscItems};

struct Limit {
  int page;
  int id;
  int chars;
};

// Typing limits: those the pages set, and the platform's default elsewhere.
constexpr Limit kLimits[] = {
    {0, 1013, 6},  {0, 1014, 11}, {0, 1015, 20},                                              // Sms Track
    {1, 1019, 20}, {1, 1020, 20}, {1, 1021, 20}, {1, 1022, 20}, {1, 1023, 20}, {1, 1024, 20},  // Key Binding
    {1, 1025, 20}, {1, 1014, 20}, {1, 1015, 32}, {1, 1016, 32}, {1, 1017, 32}, {1, 1018, 32},
    {2, 1033, 90}, {2, 1034, 60}, {2, 1013, 60}, {2, 1027, 32767},                                // APN
    {3, 1007, 20}, {3, 1010, 20}, {3, 1027, 22},                                                // AGPS
    {4, 1028, 14}, {4, 1029, 32}, {4, 1027, 22}, {4, 1014, 11}, {4, 1030, 11}, {4, 1032, 11},  // Transport
    {5, 1035, 20},                                                                              // Misc
};

bool hasLabel(QWidget* page, const ExpectedItem& item) {
  const QString text = toQ(item.text);
  for (const QLabel* label : page->findChildren<QLabel*>()) {
    if (label->text() != text) continue;
    const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
    const Qt::Alignment expected = (item.style & StyleAlignRight) != 0    ? Qt::AlignRight
                                   : (item.style & StyleAlignCenter) != 0 ? Qt::AlignHCenter
                                                                          : Qt::AlignLeft;
    if (horizontal == expected && label->isVisibleTo(page) == ((item.style & StyleHidden) == 0)) return true;
  }
  return false;
}

TEST(QtWindow, BuildsEveryControlOfTheMainWindowAndTheAboutBox) {
  TestWindow t;
  CPelmoraDlg& window = *t.window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Veltranix Pelmora(1.0.03)"));
  EXPECT_FALSE(window.windowIcon().isNull());

  for (const MainControl& expected : kMainControls) {
    SCOPED_TRACE(expected.id);
    QWidget* widget = window.control(expected.id);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->isVisibleTo(&window), expected.visible);
    switch (expected.kind) {
      case Kind::Chooser: {
        auto* chooser = qobject_cast<QComboBox*>(widget);
        ASSERT_NE(chooser, nullptr);
        EXPECT_TRUE(chooser->isEditable());
        ASSERT_EQ(chooser->count(), 100);
        EXPECT_EQ(chooser->itemText(0), QStringLiteral("COM0"));
        EXPECT_EQ(chooser->itemText(99), QStringLiteral("COM99"));
        EXPECT_EQ(chooser->currentIndex(), 0);  // nothing saved: entry 0
        break;
      }
      case Kind::Picture: {
        auto* picture = qobject_cast<QLabel*>(widget);
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull());
        break;
      }
      case Kind::Button: {
        auto* button = qobject_cast<QPushButton*>(widget);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), toQ(expected.text));
        EXPECT_EQ(button->isEnabled(), expected.id == 1004);  // Read and Write start disabled
        break;
      }
      case Kind::Progress: {
        auto* bar = qobject_cast<QProgressBar*>(widget);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 4000);
        break;
      }
      case Kind::ReadOnlyEdit: {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->isReadOnly());
        EXPECT_TRUE(edit->text().isEmpty());
        break;
      }
      case Kind::LogPane: {
        auto* pane = qobject_cast<QPlainTextEdit*>(widget);
        ASSERT_NE(pane, nullptr);
        EXPECT_TRUE(pane->isReadOnly());
        EXPECT_EQ(pane->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        break;
      }
      case Kind::Tabs: {
        auto* tabs = dynamic_cast<PageTabs*>(widget);
        ASSERT_NE(tabs, nullptr);
        const char16_t* titles[] = {u"Sms Track", u"Key Binding", u"APN", u"AGPS", u"Transport", u"Misc"};
        ASSERT_EQ(tabs->tabBar()->count(), 6);
        EXPECT_EQ(tabs->tabBar()->iconSize(), QSize(32, 32));
        for (int i = 0; i < 6; ++i) {
          EXPECT_EQ(tabs->tabBar()->tabText(i), QString::fromUtf16(titles[i]));
          EXPECT_FALSE(tabs->tabBar()->tabIcon(i).isNull());
        }
        break;
      }
    }
  }
  for (const char* label : {"Magic Number", "ROM Ver", "IMEI"}) {
    bool found = false;
    for (const QLabel* l : window.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
      found = found || l->text() == QString::fromLatin1(label);
    EXPECT_TRUE(found) << label;
  }

  CAboutDlg about(&window);
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Pelmora"));
  bool text = false;
  for (const QLabel* l : about.findChildren<QLabel*>()) text = text || l->text() == QStringLiteral("Pelmora, Version 1.0");
  EXPECT_TRUE(text);
  const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
  EXPECT_TRUE(buttons[0]->isDefault());
}

TEST(QtWindow, EveryPageControlIsTheWidgetItsTemplateDescribes) {
  TestWindow t;
  for (int page = 0; page < 6; ++page) {
    QWidget* pageWidget = t.window->page(page);
    QtPageControls& controls = t.window->controlsOf(page);
    int pictures = 0;
    for (const ExpectedItem& item : kPageItems[page]) {
      SCOPED_TRACE(::testing::Message() << "page " << page << " id " << item.id << " " << toQ(item.text).toStdString());
      const bool hidden = (item.style & StyleHidden) != 0;
      if (item.id == kNoId) {
        if (item.kind == ItemKind::StaticText) {
          EXPECT_TRUE(hasLabel(pageWidget, item));
        }
        if (item.kind == ItemKind::GroupBox) {
          bool found = false;
          for (const QGroupBox* group : pageWidget->findChildren<QGroupBox*>())
            found = found || (group->title() == toQ(item.text) && group->isVisibleTo(pageWidget));
          EXPECT_TRUE(found);
        }
        if (item.kind == ItemKind::Bitmap) ++pictures;
        continue;
      }
      QWidget* widget = controls.widget(item.id);
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(widget->isVisibleTo(pageWidget), !hidden);
      switch (item.kind) {
        case ItemKind::Edit: {
          auto* edit = qobject_cast<QLineEdit*>(widget);
          ASSERT_NE(edit, nullptr);
          const auto* validator = dynamic_cast<const TypingValidator*>(edit->validator());
          ASSERT_NE(validator, nullptr);
          EXPECT_EQ(validator->digitsOnly(), (item.style & StyleDigitsOnly) != 0);
          break;
        }
        case ItemKind::IpAddress:
          EXPECT_NE(dynamic_cast<IpAddressEdit*>(widget), nullptr);
          break;
        case ItemKind::CheckBox: {
          auto* box = qobject_cast<QCheckBox*>(widget);
          ASSERT_NE(box, nullptr);
          EXPECT_EQ(box->text(), toQ(item.text));
          EXPECT_EQ(dynamic_cast<WrappingCheckBox*>(widget) != nullptr, (item.style & StyleWordWrap) != 0);
          break;
        }
        case ItemKind::ComboBox: {
          auto* combo = qobject_cast<QComboBox*>(widget);
          ASSERT_NE(combo, nullptr);
          EXPECT_TRUE(combo->isEditable());
          break;
        }
        case ItemKind::StaticText:
          EXPECT_TRUE(hasLabel(pageWidget, item));
          EXPECT_EQ(t.pageText(page, item.id), toQ(item.text));
          break;
        case ItemKind::GroupBox:
          ASSERT_NE(qobject_cast<QGroupBox*>(widget), nullptr);
          EXPECT_EQ(t.pageText(page, item.id), toQ(item.text));
          break;
        default:
          ADD_FAILURE() << "unexpected kind";
      }
    }
    // The key pictures, at their own size.
    int shown = 0;
    for (const QLabel* label : pageWidget->findChildren<QLabel*>()) {
      const QPixmap picture = label->pixmap();
      if (picture.isNull()) continue;
      const QSize size = picture.deviceIndependentSize().toSize();
      EXPECT_TRUE(size == QSize(27, 27) || size == QSize(26, 26));
      ++shown;
    }
    EXPECT_EQ(shown, pictures);
  }

  for (const Limit& limit : kLimits)
    EXPECT_EQ(t.window->controlsOf(limit.page).textLimit(limit.id), limit.chars) << limit.page << "/" << limit.id;

  // The Misc choosers, filled and preselected by the page.
  auto* zone = qobject_cast<QComboBox*>(t.pageWidget(5, 1001));
  auto* speed = qobject_cast<QComboBox*>(t.pageWidget(5, 1038));
  ASSERT_EQ(zone->count(), 25);
  EXPECT_EQ(zone->itemText(0), QStringLiteral("GMT-12"));
  EXPECT_EQ(zone->itemText(12), QStringLiteral("UTC"));
  EXPECT_EQ(zone->itemText(24), QStringLiteral("GMT+12"));
  EXPECT_EQ(zone->currentText(), QStringLiteral("GMT+8"));
  ASSERT_EQ(speed->count(), 21);
  EXPECT_EQ(speed->itemText(0), QStringLiteral("Disable Overspeed Alarm"));
  EXPECT_EQ(speed->itemText(7), QStringLiteral("70Km/h"));
  EXPECT_EQ(speed->currentIndex(), -1);
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

TEST(QtWindow, WritesAScreenshotOfEveryTab) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  const QDir folder(QStringLiteral(PELMORA_QT_TEST_OUTPUT_DIR));
  ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
  for (int i = 0; i < 6; ++i) {
    t.showTab(i);
    const QString path = folder.filePath(ScreenshotTour::fileNameFor(t.window->pageTabs()->tabBar()->tabText(i)));
    QFile::remove(path);
    ASSERT_TRUE(t.window->grab().save(path, "PNG")) << path.toStdString();
    const QImage image(path);
    EXPECT_EQ(image.size(), t.window->size() * t.window->devicePixelRatio());
  }
  EXPECT_EQ(ScreenshotTour::fileNameFor(QStringLiteral("Sms Track")), QStringLiteral("tab-sms-track.png"));
}

TEST(QtWindow, StatusLightShowsRedThenBlinks) {
  TestWindow t;
  auto* light = qobject_cast<QLabel*>(t.window->control(1009));
  // No port open: off line. The first tick shows red, then the light blinks.
  const StatusImage expected[] = {StatusImage::Offline, StatusImage::None, StatusImage::Offline, StatusImage::None};
  for (const StatusImage image : expected) {
    t.window->logic().onTimerTick();
    EXPECT_EQ(t.window->shownStatusImage(), image);
    EXPECT_EQ(light->pixmap().isNull(), image == StatusImage::None);
  }
  t.window->logic().onTimerTick();
  const QImage red = light->pixmap().toImage();
  EXPECT_EQ(red.pixelColor(red.width() / 2, red.height() / 2), QColor(255, 0, 0));
  const QImage green = qobject_cast<QLabel*>(t.window->control(1012))->pixmap().toImage();
  EXPECT_EQ(green.pixelColor(green.width() / 2, green.height() / 2), QColor(0, 255, 0));
}

TEST(QtWindow, WorkerNotificationsArriveOnTheWindowThreadInOrder) {
  TestWindow t;
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
  EXPECT_EQ(pane->toPlainText(), QStringLiteral("Tracker is on port 7\n\n"));
  EXPECT_EQ(t.window->logText(), QStringLiteral("Tracker is on port 7\r\n\r\n"));
  EXPECT_EQ(chooser->currentIndex(), 7);
  EXPECT_EQ(t.store.writes, 0);  // a selection by the link is not the user's
  EXPECT_TRUE(read->isEnabled());
  EXPECT_EQ(progress->value(), 4000);

  // From the window's own thread the call runs at once.
  t.window->notifications().trackerEvent(TRACKER_EVENT_LOG, 0, u"B");
  EXPECT_EQ(pane->toPlainText(), QStringLiteral("Tracker is on port 7\n\nB\n\n"));
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
