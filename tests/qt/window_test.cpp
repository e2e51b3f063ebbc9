// The window as built from its templates: every control of template 102,
// of the six pages and of the About box, in each language, the tab control's
// pages, the log pane and the status light. That notifications from worker
// threads reach the window the end-to-end test shows.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMenuBar>
#include <QTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <cstdlib>
#include <vector>

#include "app/main_window_template.h"
#include "app/window_menu.h"
#include "pelmora_version.h"
#include "link/posix_serial_port.h"
#include "app/qt/about_box.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/page_tabs.h"
#include "app/qt/qt_text.h"
#include "app/qt/typing_validator.h"
#include "app/qt/ui_language.h"
#include "app/qt/wrapping_check_box.h"
#include "pages/settings_page.h"
#include "tests/qt/window_support.h"

namespace pelmora::testing {
namespace {

const DialogTemplate& pageTemplate(TestWindow& t, int page) {
  return localisedTemplate(t.window->logic().pageTable()[page].page->dialogTemplate());
}

// The line an input shows its text in; an address edit shows a host name in a view of its own.
QLineEdit* lineOf(QWidget* input) {
  if (auto* combo = qobject_cast<QComboBox*>(input)) return combo->lineEdit();
  if (auto* ip = dynamic_cast<IpAddressEdit*>(input))
    for (QLineEdit* view : ip->findChildren<QLineEdit*>())
      if (view->isVisibleTo(ip)) return view;
  return qobject_cast<QLineEdit*>(input);
}

// Where the text line of an input runs, in its parent's coordinates.
int textLineOf(QWidget* input) {
  QLineEdit* edit = lineOf(input);
  if (edit == nullptr) return -1;
  const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  return edit->mapTo(input->parentWidget(), caret.center()).y();
}

// Where a label's text line (or picture) runs, as its alignment places it.
int textLineOf(const QLabel* label) {
  const int own = label->pixmap().isNull() ? label->fontMetrics().height() : label->pixmap().height();
  const QRect box = label->geometry();
  return (label->alignment() & Qt::AlignVCenter) != 0 ? box.center().y() : box.top() + own / 2;
}

// What a control covers: a picture only its own size from the left.
QRect drawnArea(const QWidget* widget) {
  const auto* label = qobject_cast<const QLabel*>(widget);
  if (label == nullptr || label->pixmap().isNull() || label->hasScaledContents()) return widget->geometry();
  return {widget->pos(), QSize(label->pixmap().width(), widget->height())};
}

// The input a label names on its row: the nearest to its right, else (a unit) the nearest to its left.
QWidget* rowPartner(const QLabel* label, const QList<QWidget*>& inputs) {
  const QRect own = label->geometry();
  const auto gap = [&own](const QWidget* input) {
    const QRect rect = input->geometry();
    if (rect.bottom() < own.top() || rect.top() > own.bottom()) return INT_MAX;  // on another row
    return rect.left() > own.left() ? rect.left() - own.right() : 100000 + own.left() - rect.right();
  };
  const auto best = std::min_element(inputs.begin(), inputs.end(), [&](auto* a, auto* b) { return gap(a) < gap(b); });
  return best == inputs.end() || gap(*best) == INT_MAX ? nullptr : *best;
}

// The texts a control shows: a label's, a button's, a group's title, a chooser's items, its tooltip.
QStringList textsOf(QWidget* widget) {
  QStringList texts;
  // The status light, which blinks to nothing, is a picture.
  if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->pixmap().isNull() && !label->hasScaledContents())
    texts << label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
  if (auto* combo = qobject_cast<QComboBox*>(widget))
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  if (!widget->toolTip().isEmpty()) texts << widget->toolTip();
  return texts;
}

// The width a control needs to show its text whole on one line; 0 for a
// picture or a check box that wraps its text.
int neededWidth(QWidget* widget) {
  if (dynamic_cast<WrappingCheckBox*>(widget) != nullptr) return 0;
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->pixmap().isNull() ? label->sizeHint().width() : 0;
  if (auto* combo = qobject_cast<QComboBox*>(widget)) combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  if (auto* button = qobject_cast<QPushButton*>(widget))
    return button->fontMetrics().horizontalAdvance(button->text()) + 8;
  if (auto* group = qobject_cast<QGroupBox*>(widget))  // the title stands a little in from the frame
    return group->fontMetrics().horizontalAdvance(group->title()) + 16;
  const bool sized = qobject_cast<QCheckBox*>(widget) != nullptr || qobject_cast<QComboBox*>(widget) != nullptr;
  return sized ? widget->sizeHint().width() : 0;
}

// English texts hold no Cyrillic; a Russian text with a Latin word holds Cyrillic too.
void expectOneLanguage(const QString& text, UiLanguage language) {
  static const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
  static const QRegularExpression latinWord(QStringLiteral("[a-z]{2}"));
  const bool english = language == UiLanguage::English;
  EXPECT_TRUE(english ? !text.contains(cyrillic) : !text.contains(latinWord) || text.contains(cyrillic)) << text.toStdString();
}

// Every visible control of `holder` lies inside it, shows whole texts in one
// language, and every label or picture stands on its input's text line.
void expectWholeAlignedOneLanguage(QWidget* holder, UiLanguage language) {
  holder->grab();  // an edit places its text line when it paints
  const QList<QWidget*> children = holder->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  QList<QWidget*> inputs;
  for (QWidget* child : children)
    if (child->isVisibleTo(holder) && lineOf(child) != nullptr) inputs << child;
  for (QWidget* child : children) {
    if (!child->isVisibleTo(holder)) continue;
    const char* kind = child->metaObject()->className();
    EXPECT_TRUE(QRect(QPoint(0, 0), holder->size()).contains(child->geometry())) << kind;
    for (const QString& text : textsOf(child)) {
      // The main window's frame around the identity fields has no title.
      EXPECT_TRUE(!text.isEmpty() || (qobject_cast<QGroupBox*>(child) != nullptr && holder->parentWidget() == nullptr)) << kind;
      expectOneLanguage(text, language);
    }
    EXPECT_LE(neededWidth(child), child->width()) << kind << " " << textsOf(child).join(u'|').toStdString();
    if (auto* wrapping = dynamic_cast<WrappingCheckBox*>(child)) {
      EXPECT_LE(wrapping->neededHeight(), wrapping->height()) << wrapping->text().toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(child)) {
      // Its text runs under no neighbour.
      const int textWidth = std::min(label->sizeHint().width(), label->width());
      const QRect text = (label->alignment() & Qt::AlignRight) != 0
                             ? QRect(label->geometry().right() - textWidth, label->y(), textWidth, label->height())
                             : QRect(label->x(), label->y(), textWidth, label->height());
      for (QWidget* other : children)
        EXPECT_TRUE(other == label || qobject_cast<QGroupBox*>(other) != nullptr || !other->isVisibleTo(holder) ||
                    !text.intersects(drawnArea(other)))
            << label->text().toStdString() << " under " << other->metaObject()->className();
      QWidget* input = rowPartner(label, inputs);
      EXPECT_TRUE(input == nullptr || std::abs(textLineOf(label) - textLineOf(input)) <= 2) << label->text().toStdString();
    }
  }
}

TEST(QtWindow, BuildsTheMainWindowAndTheAboutBox) {
  TestWindow t;
  CPelmoraDlg& window = *t.window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Veltranix Pelmora ") + QString::fromLatin1(kPelmoraVersion));
  for (const int id : {1007, 1013, 1008}) EXPECT_TRUE(qobject_cast<QLineEdit*>(window.control(id))->isReadOnly()) << id;
  auto* pane = qobject_cast<QPlainTextEdit*>(window.control(IDC_LOG));
  EXPECT_TRUE(pane->isReadOnly());
  EXPECT_EQ(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QTabBar* tabs = window.pageTabs()->tabBar();
  QStringList texts;
  for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
  EXPECT_EQ(texts.join(u','), QStringLiteral("Sms Track,Key Binding,APN,AGPS,Transport,Misc"));
  CAboutDlg about(&window);
  EXPECT_TRUE(about.findChild<QPushButton*>()->isDefault());
  EXPECT_EQ(about.findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly) != nullptr, true);
  QStringList aboutTexts;
  for (const QLabel* label : about.findChildren<QLabel*>()) aboutTexts << label->text();
  EXPECT_TRUE(aboutTexts.contains(QStringLiteral("Pelmora, Version ") + QString::fromLatin1(kPelmoraVersion)));
}

// Every page control is shown, typed and enabled as its template says, and
// a loaded text longer than its edit shows its start. A tab shows its page
// alone, in the page's place. Tab walks the port chooser, the three
// buttons, the tab strip, then the page's inputs in template order (whose
// reading order the template test checks).
TEST(QtWindow, EachTabShowsItsPageAsTheTemplateSaysAndTabGoesFromTheButtonsThroughThePage) {
  TestWindow t;
  ASSERT_TRUE(t.showActive());
  for (const int id : {IDC_READ_SETTINGS, IDC_WRITE_SETTINGS}) t.window->control(id)->setEnabled(true);
  const std::u16string loaded = u"internet.provider.example" + std::u16string(65, u'x');
  for (int page = 0; page < 6; ++page) {
    SCOPED_TRACE(page);
    t.showTab(page);
    for (int other = 0; other < 6; ++other) {
      EXPECT_EQ(t.window->page(other)->isVisible(), other == page) << other;
      EXPECT_EQ(t.window->page(other)->geometry(), t.window->pageRect());
    }
    std::vector<QWidget*> expected{t.window->control(IDC_PORT_LIST), t.window->control(IDC_SCAN_PORTS),
                                   t.window->control(IDC_READ_SETTINGS), t.window->control(IDC_WRITE_SETTINGS),
                                   t.window->pageTabs()->tabBar()};
    for (const TemplateItem& item : pageTemplate(t, page).items) {
      if (item.id == kNoId) continue;
      SCOPED_TRACE(item.id);
      QWidget* widget = t.pageWidget(page, item.id);
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(widget->isVisibleTo(t.window->page(page)), (item.style & StyleHidden) == 0);
      auto* edit = qobject_cast<QLineEdit*>(widget);
      const auto* validator = edit != nullptr ? dynamic_cast<const TypingValidator*>(edit->validator()) : nullptr;
      EXPECT_EQ(validator != nullptr && validator->digitsOnly(), (item.style & StyleDigitsOnly) != 0);
      // What the tracker keeps no value for takes no typing and says why.
      const bool notStored = (item.style & StyleNotStored) != 0;
      EXPECT_EQ(widget->isEnabled(), !notStored);
      EXPECT_EQ(widget->toolTip().isEmpty(), !notStored);
      const bool text =
          item.kind == ItemKind::Edit || item.kind == ItemKind::IpAddress || item.kind == ItemKind::ComboBox;
      if ((text || item.kind == ItemKind::CheckBox) && (item.style & (StyleHidden | StyleNotStored)) == 0)
        expected.push_back(widget);
      if (!text) continue;
      t.window->controlsOf(page).setText(item.id, loaded);
      ASSERT_NE(lineOf(widget), nullptr);
      EXPECT_EQ(lineOf(widget)->cursorPosition(), 0);
    }
    std::vector<QWidget*> reached;
    expected.front()->setFocus(Qt::TabFocusReason);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      QWidget* now = QApplication::focusWidget();
      while (now != nullptr && now->parentWidget() != t.window->page(page) && now->parentWidget() != t.window.get() &&
             now != t.window->pageTabs()->tabBar())
        now = now->parentWidget();
      reached.push_back(now);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(reached, expected);
  }
}

TEST(QtWindow, LanguageFollowsTheLocaleUnlessTheSettingsSayOtherwise) {
  const QLocale russian(QLocale::Russian), german(QLocale::German);
  EXPECT_EQ(chooseLanguage(QString(), russian), UiLanguage::Russian);
  EXPECT_EQ(chooseLanguage(QString(), german), UiLanguage::English);
  EXPECT_EQ(chooseLanguage(QStringLiteral("en"), russian), UiLanguage::English);
  EXPECT_EQ(chooseLanguage(QStringLiteral("ru"), german), UiLanguage::Russian);
}

TEST(QtWindow, EachLanguageShowsEveryControlWholeAndAligned) {
  for (const UiLanguage language : {UiLanguage::Russian, UiLanguage::English}) {
    SCOPED_TRACE(language == UiLanguage::Russian ? "Russian" : "English");
    ASSERT_TRUE(useLanguage(language));
    TestWindow t;
    ASSERT_TRUE(t.showActive());
    expectOneLanguage(t.window->logText(), language);  // the first run's line
    t.window->resize(t.window->minimumSize());  // at its smallest nothing is clipped
    qobject_cast<QComboBox*>(t.window->control(IDC_PORT_LIST))->setCurrentIndex(3);  // its text line shows
    t.window->showChangeCountForTest(toU16View(uiText(u"%1 changes").replace(QStringLiteral("%1"), QStringLiteral("12"))));
    expectWholeAlignedOneLanguage(t.window.get(), language);
    // Grown, the log pane takes all of it; the rest stays where the template put it.
    std::vector<QRect> before;
    for (QWidget* child : t.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) before.push_back(child->geometry());
    const QRect log = t.window->control(IDC_LOG)->geometry();
    t.window->resize(t.window->size() + QSize(300, 200));
    EXPECT_EQ(t.window->control(IDC_LOG)->geometry(), log.adjusted(0, 0, 300, 200));
    std::size_t i = 0;
    for (QWidget* child : t.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      const QRect was = before.at(i++);
      if (child != t.window->control(IDC_LOG) && qobject_cast<QMenuBar*>(child) == nullptr) {
        EXPECT_EQ(child->geometry(), was) << child->metaObject()->className();
      }
    }
    CAboutDlg about(t.window.get());
    expectWholeAlignedOneLanguage(&about, language);
    for (int page = 0; page < 6; ++page) {
      SCOPED_TRACE(page);
      t.showTab(page);
      expectWholeAlignedOneLanguage(t.window->page(page), language);
      expectOneLanguage(t.window->pageTabs()->tabBar()->tabText(page), language);
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

TEST(QtWindow, LogPaneDropsWhatTheLogicDropsAndNoMore) {
  TestWindow t;
  auto* pane = qobject_cast<QPlainTextEdit*>(t.window->control(1011));
  // Entries that carry line breaks of their own, until the bound (512 Ki
  // units) drops the oldest: 13 entries of about 40010 units fit, 7 to 19.
  const QString line = QString(40000, QLatin1Char('x'));
  for (int i = 0; i < 20; ++i) t.window->logic().appendLog(toU16View(QStringLiteral("%1\r\n%2\r\n").arg(i).arg(line)));
  const QString kept = t.window->logText();
  EXPECT_TRUE(kept.startsWith(QStringLiteral("7\r\n"))) << kept.left(10).toStdString();
  EXPECT_TRUE(kept.endsWith(QStringLiteral("19\r\n") + line + QStringLiteral("\r\n\r\n\r\n")));
  EXPECT_EQ(pane->toPlainText(), QString(kept).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// Each row of the menu table, triggered from the menu bar, does what its
// handler does: before any read, and with the log's times on.
TEST(QtWindow, EveryMenuItemReachesItsHandler) {
  WindowAssembly::Parts parts;
  parts.port = std::make_unique<PosixSerialPort>(PortMapConfig{{}, false});
  parts.portIndexStore = std::make_unique<FakePortIndexStore>();
  parts.logTimes = true;
  TestWindow t(std::move(parts));
  ASSERT_TRUE(t.showActive());
  const QRegularExpression timed(QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d (.*)\r\n\r\n)+$"));
  EXPECT_TRUE(timed.match(t.window->logText()).hasMatch()) << t.window->logText().toStdString();
  const QString readFirst = QStringLiteral("No tracker settings loaded: read the tracker first");
  const struct {
    std::u16string_view caption;
    QString seen;  // the new log entry, the dialog that opened, or what else shows it
  } expected[] = {
      {u"Open Settings\u2026", readFirst},
      {u"Save Settings As\u2026", readFirst},
      {u"Compare with Tracker\u2026", readFirst},
      {u"Restore Earlier Settings\u2026", readFirst},
      {u"Station\u2026", QStringLiteral("window Station")},
      {u"Save Log As\u2026", QStringLiteral("dialog Save Log As")},
      {u"Copy Log", QStringLiteral("clipboard")},
      {u"Quit", QStringLiteral("closed")},
      {u"Scan Ports", QStringLiteral("Scan port 0 ...")},
      {u"Read Settings", QStringLiteral("disabled")},
      {u"Write Settings", QStringLiteral("disabled")},
      {u"About Pelmora", QStringLiteral("dialog About Pelmora")},
  };
  ASSERT_EQ(std::size(expected), kMenuItems.size());
  std::optional<std::size_t> quit;
  const auto trigger = [&t](std::size_t row) {
    QAction* action = t.window->menuAction(row);
    if (!action->isEnabled()) return QStringLiteral("disabled");
    QGuiApplication::clipboard()->clear();
    const QString log = t.window->logText();
    QString seen;
    QTimer::singleShot(100, [&seen] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        seen = QStringLiteral("dialog ") + modal->windowTitle();
        static_cast<QDialog*>(modal)->reject();
      }
    });
    action->trigger();
    if (!seen.isEmpty()) return seen;
    for (QWidget* other : QApplication::topLevelWidgets())
      if (other != t.window.get() && other->isVisible() && other->windowTitle() == QStringLiteral("Station")) {
        other->close();
        return QStringLiteral("window Station");
      }
    if (!t.window->isVisible()) return QStringLiteral("closed");
    if (QGuiApplication::clipboard()->text() == log) return QStringLiteral("clipboard");
    TestWindow::waitFor([&] { return t.window->logText() != log; }, 10000);
    return t.window->logText().mid(log.size() + 9).section(QStringLiteral("\r\n"), 0, 0);
  };
  for (std::size_t row = 0; row < kMenuItems.size(); ++row) {
    SCOPED_TRACE(toQString(kMenuItems[row].caption).toStdString());
    EXPECT_EQ(kMenuItems[row].caption, expected[row].caption);
    if (expected[row].seen == QStringLiteral("closed")) {
      quit = row;  // last
      continue;
    }
    EXPECT_EQ(trigger(row), expected[row].seen);
  }
  ASSERT_TRUE(quit);
  EXPECT_EQ(trigger(*quit), QStringLiteral("closed"));
}

}  // namespace
}  // namespace pelmora::testing
