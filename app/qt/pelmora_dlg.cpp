#include "app/qt/pelmora_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <algorithm>

#include "app/main_window_template.h"
#include "app/window_menu.h"
#include "app/qt/about_box.h"
#include "app/qt/artwork.h"
#include "app/qt/compare_dialog.h"
#include "app/qt/dialog_units.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/page_tabs.h"
#include "app/qt/port_chooser.h"
#include "app/qt/qt_text.h"
#include "app/qt/station_window.h"
#include "app/qt/ui_language.h"
#include "settings/utf.h"
#include "pages/settings_page.h"

namespace pelmora {
namespace {

constexpr std::u16string_view kJsonFilter = u"Settings file (*.json)";
constexpr std::u16string_view kImageFilter = u"Settings image (*.pelmora-image)";

template <typename Widget>
Widget* builtWidget(const std::vector<BuiltControl>& built, int id) {
  for (const BuiltControl& control : built)
    if (control.item->id == id) return static_cast<Widget*>(control.widget);
  return nullptr;
}

// The menu item whose handler is `run` follows its button.
void enableMenuItem(const std::vector<QAction*>& actions, void (MainWindowLogic::*run)(), bool enabled) {
  for (std::size_t row = 0; row < kMenuItems.size() && row < actions.size(); ++row)
    if (kMenuItems[row].run == run) actions[row]->setEnabled(enabled);
}

// A file chosen in a file dialog over `owner` (nothing when cancelled) and
// the filter chosen. Qt's own dialog opens wide enough that its columns'
// headings show whole in either language.
QString chooseFilePath(QWidget* owner, const QString& title, const QString& filters, QFileDialog::AcceptMode mode,
                       QString* chosenFilter = nullptr) {
  QFileDialog dialog(owner, title, QString(), filters);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  constexpr QSize kRoomyFileDialog(880, 540);
  dialog.resize(dialog.sizeHint().expandedTo(kRoomyFileDialog));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (chosenFilter != nullptr) *chosenFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().front();
}

// A text as the log pane holds it: CR LF is one line break, as a lone CR or LF is.
qsizetype paneLength(QStringView text) {
  qsizetype pairs = 0;
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n')) {
      ++pairs;
      ++i;
    }
  }
  return text.size() - pairs;
}

}  // namespace

CPelmoraDlg::CPelmoraDlg(WindowAssembly& assembly, QWidget* parent)
    : QDialog(parent),
      logic_(*this, assembly.portIndexStore(), assembly.settings(), assembly.discovery()),
      notifications_(logic_),
      engine_(assembly.startLink(notifications_)),
      assembly_(assembly) {
  const DialogTemplate& dialog = mainWindowTemplate();
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowTitle(toQString(withVersion(toU16View(uiText(dialog.caption)))));
  setWindowIcon(artworkIcon(IDI_APP));
  setFont(templateFont(dialog.fontFace, dialog.fontPointSize));
  const DialogUnits units(font());

  TemplateHooks hooks;
  hooks.make = [this, &assembly](const TemplateItem& item, QWidget* holder) -> QWidget* {
    if (item.id != IDC_PORT_LIST) return nullptr;
    portChooser_ = new PortChooser(holder);
    portChooser_->setDescriber([&assembly](int port) { return QString::fromStdString(assembly.describePort(port)); });
    return portChooser_;
  };
  // The pages come right after the tab control, so that Tab walks through
  // them before it reaches the log pane.
  hooks.created = [this](const BuiltControl& control) {
    if (control.item->id == IDC_PAGE_TABS) buildPages(*static_cast<PageTabs*>(control.widget));
  };
  controls_ = buildTemplate(dialog, this, units, hooks);

  tabs_ = builtWidget<PageTabs>(controls_, IDC_PAGE_TABS);
  scanButton_ = builtWidget<QPushButton>(controls_, IDC_SCAN_PORTS);
  readButton_ = builtWidget<QPushButton>(controls_, IDC_READ_SETTINGS);
  writeButton_ = builtWidget<QPushButton>(controls_, IDC_WRITE_SETTINGS);
  progress_ = builtWidget<QProgressBar>(controls_, IDC_PROGRESS);
  statusLight_ = builtWidget<QLabel>(controls_, IDC_STATUS_LIGHT);
  log_ = builtWidget<QPlainTextEdit>(controls_, IDC_LOG);
  for (const IdentityRow& row : kIdentityRows)
    identity_[static_cast<std::size_t>(row.field)] = builtWidget<QLineEdit>(controls_, row.controlId);

  // The tab strip: titles and icons in table order.
  for (const PageEntry& row : logic_.pageTable().rows())
    tabs_->tabBar()->addTab(artworkIcon(row.tabIcon), uiText(row.titleText()));

  // The status images: the red one the light shows now, the green one the
  // hidden image holder keeps.
  offlineImage_ = statusLight_->pixmap();
  onlineImage_ = builtWidget<QLabel>(controls_, IDC_ONLINE_IMAGE)->pixmap();

  setFixedSize(units.x(dialog.width), units.y(dialog.height));
  makeRoomForPages();
  // The count of unwritten changes, in the free strip below the pages.
  changeCount_ = new QLabel(this);
  changeCount_->hide();
  const QRect tabsPlace = tabs_->geometry();
  changeCount_->setGeometry(tabsPlace.left(), tabsPlace.bottom() + 3, tabsPlace.width(),
                            std::min(changeCount_->fontMetrics().height() + 2, height() - tabsPlace.bottom() - 4));
  addMenuBar();
  // Resizable from the size the template needs: the pages keep their
  // layout, and the log pane takes what the window grows by.
  logPlace_ = log_->geometry();
  smallest_ = size();
  setMinimumSize(smallest_);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (const std::optional<WindowPlace>& place = assembly.windowPlace()) {
    resize(QSize(place->width, place->height).expandedTo(smallest_));
    move(place->left, place->top);
    placed_ = true;
  } else {
    resize(smallest_ + QSize(smallest_.width() / 3, 0));  // a log wide enough for a path on one line
  }

  logic_.setVerifyAfterWrite(assembly.verifyAfterWrite());
  assembly.configure(logic_);
  logic_.initialise(engine_);
  // The words after each entry follow adapters plugged in and pulled out.
  if (PortDiscovery* discovery = assembly.discovery())
    portChooser_->follow(*discovery, [&assembly] { return assembly.listPorts(); });
  for (const std::string& notice : assembly.notices()) logic_.appendLog(utf16FromUtf8(notice));
  connectControls();
  statusTimer_.setInterval(kStatusTimerPeriodMs);
  connect(&statusTimer_, &QTimer::timeout, this, [this] { logic_.onTimerTick(); });
  statusTimer_.start();
}

CPelmoraDlg::~CPelmoraDlg() {
  shutDownLink();
  // The widgets go before the logic they report to.
  const QList<QWidget*> children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) delete child;
}

void CPelmoraDlg::buildPages(PageTabs& tabs) {
  const PageTable& table = logic_.pageTable();
  pages_.resize(static_cast<std::size_t>(PageTable::size()));
  for (int i = 0; i < PageTable::size(); ++i) {
    const DialogTemplate& dialog = localisedTemplate(table[i].page->dialogTemplate());
    Page& page = pages_[static_cast<std::size_t>(i)];
    page.widget = new QWidget(&tabs);
    page.widget->hide();
    page.widget->setFont(templateFont(dialog.fontFace, dialog.fontPointSize));
    TemplateHooks hooks;
    hooks.created = [this, i](const BuiltControl& control) {
      if (auto* button = qobject_cast<QAbstractButton*>(control.widget)) {
        const int id = control.item->id;
        connect(button, &QAbstractButton::clicked, this, [this, i, id] { logic_.onPageCommand(i, id); });
      }
      // What the user types or chooses (never what a load shows) marks the fields again.
      const auto edited = [this, i] { logic_.onPageEdited(i); };
      if (auto* edit = qobject_cast<QLineEdit*>(control.widget)) connect(edit, &QLineEdit::textEdited, this, edited);
      if (auto* combo = qobject_cast<QComboBox*>(control.widget)) {
        connect(combo, &QComboBox::activated, this, edited);
        if (QLineEdit* line = combo->lineEdit()) connect(line, &QLineEdit::textEdited, this, edited);
      }
      if (auto* address = dynamic_cast<IpAddressEdit*>(control.widget))
        for (int part = 0; part < IpAddressEdit::kPartCount; ++part)
          connect(address->part(part), &QLineEdit::textEdited, this, edited);
    };
    page.built = buildTemplate(dialog, page.widget, DialogUnits(page.widget->font()), hooks);
    page.controls = std::make_unique<QtPageControls>(page.built);
  }
}

QRect CPelmoraDlg::pageRect() const {
  return {kPageInsetLeft, kPageInsetTop, tabs_->width() - kPageInsetLeft - kPageInsetRight,
          tabs_->height() - kPageInsetTop - kPageInsetBottom};
}

void CPelmoraDlg::makeRoomForPages() {
  // The template's tab control was made for the template's fonts. Where a
  // page's controls or the tab strip need more room in the fonts used here,
  // the tab control grows, the log pane beside it moves right and grows
  // down with it, and so does the window.
  QSize needed;
  for (const Page& page : pages_) {
    QRect used;
    for (const BuiltControl& control : page.built)
      if ((control.item->style & StyleHidden) == 0) used |= control.widget->geometry();
    needed = needed.expandedTo(QSize(used.right() + 1, used.bottom() + 1));
  }
  const QRect place = pageRect();
  const int growX = std::max({0, needed.width() - place.width(), tabs_->tabBar()->sizeHint().width() - tabs_->width()});
  const int growY = std::max(0, needed.height() - place.height());
  if (growX == 0 && growY == 0) return;

  const QRect tabs = tabs_->geometry();
  constexpr int kEdgeSlack = 2;  // the log pane ends where the tab control does, give or take rounding
  for (const BuiltControl& control : controls_) {
    QRect rect = control.widget->geometry();
    if (control.widget == tabs_) {
      rect.adjust(0, 0, growX, growY);
    } else if (rect.left() >= tabs.right()) {
      rect.translate(growX, 0);
      if (rect.top() < tabs.bottom() && rect.bottom() >= tabs.bottom() - kEdgeSlack) rect.adjust(0, 0, 0, growY);
    } else {
      continue;
    }
    control.widget->setGeometry(rect);
  }
  setFixedSize(width() + growX, height() + growY);
}

void CPelmoraDlg::addMenuBar() {
  menuBar_ = new QMenuBar(this);
  std::array<QMenu*, kMenuTitles.size()> menus{};
  for (std::size_t i = 0; i < kMenuTitles.size(); ++i) menus[i] = menuBar_->addMenu(uiText(kMenuTitles[i].caption));
  for (const MenuItem& item : kMenuItems) {
    QMenu* menu = menus.at(static_cast<std::size_t>(item.menu));
    if (item.separatorBefore) menu->addSeparator();
    QAction* action = menu->addAction(uiText(item.caption));
    if (!item.key.none()) action->setShortcut(QKeySequence(toQString(menuKeyText(item.key))));
    connect(action, &QAction::triggered, this, [this, run = item.run] { (logic_.*run)(); });
    addAction(action);  // the shortcut works while the menu is closed
    menuActions_.push_back(action);
  }
  // The template's controls move down below the bar; the window grows by it.
  const int barHeight = menuBar_->sizeHint().height();
  for (const BuiltControl& control : controls_) control.widget->move(control.widget->pos() + QPoint(0, barHeight));
  changeCount_->move(changeCount_->pos() + QPoint(0, barHeight));
  menuBar_->setGeometry(0, 0, width(), barHeight);
  setFixedSize(width(), height() + barHeight);
}

void CPelmoraDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (menuBar_ != nullptr) menuBar_->resize(width(), menuBar_->height());
  if (log_ != nullptr && !logPlace_.isNull())
    log_->setGeometry(logPlace_.adjusted(0, 0, width() - smallest_.width(), height() - smallest_.height()));
}

void CPelmoraDlg::connectControls() {
  connect(portChooser_, &QComboBox::activated, this, [this] { logic_.onPortSelected(); });
  connect(scanButton_, &QPushButton::clicked, this, [this] { logic_.onScanPorts(); });
  connect(readButton_, &QPushButton::clicked, this, [this] { logic_.onReadSettings(); });
  connect(writeButton_, &QPushButton::clicked, this, [this] { logic_.onWriteSettings(); });
  connect(tabs_->tabBar(), &QTabBar::currentChanged, this, [this](int index) { logic_.onTabChanged(index); });
  auto* aboutButton = builtWidget<QPushButton>(controls_, IDC_ABOUT_BUTTON);
  aboutButton->setToolTip(uiText(kAboutButtonTip));
  connect(aboutButton, &QPushButton::clicked, this, &CPelmoraDlg::showAbout);
}

QWidget* CPelmoraDlg::control(int id) const { return builtWidget<QWidget>(controls_, id); }

void CPelmoraDlg::showAbout() {
  CAboutDlg about(this);
  about.exec();
}

// --- Closing --------------------------------------------------------------

void CPelmoraDlg::shutDownLink() {
  if (linkStopped_) return;
  linkStopped_ = true;
  statusTimer_.stop();
  // From here no engine thread waits for this one, so joining them cannot wait on the window.
  notifications_.stopAccepting();
  engine_.shutdown();
}

void CPelmoraDlg::done(int result) {
  // Unwritten changes are not lost unasked; once the link is stopped there is nothing left to ask.
  if (!linkStopped_ && !logic_.mayClose()) return;
  if (!linkStopped_) assembly_.keepWindowPlace({pos().x(), pos().y(), width(), height()});
  shutDownLink();
  QDialog::done(result);
}

void CPelmoraDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Return presses the focused button; anywhere else it does nothing:
    // a Return typed into a field must not close the window and lose the edits.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled())
      button->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CPelmoraDlg::contextMenuEvent(QContextMenuEvent* event) {
  // There is no system menu to extend here: the About item lives in the window's context menu.
  // The File menu's settings and log items, then About.
  QMenu menu(this);
  for (std::size_t row = 0; row < kMenuItems.size(); ++row) {
    const MenuItem& item = kMenuItems[row];
    if (item.menu != WindowMenu::File || item.run == &MainWindowLogic::onQuit) continue;
    if (item.separatorBefore) menu.addSeparator();
    menu.addAction(menuActions_[row]);
  }
  menu.addSeparator();
  menu.addAction(uiText(kAboutMenuText), this, &CPelmoraDlg::showAbout);
  menu.exec(event->globalPos());
}

void CPelmoraDlg::showEvent(QShowEvent* event) {
  if (!placed_) {
    // Centred on the screen that holds the mouse.
    placed_ = true;
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (screen == nullptr) screen = this->screen();
    if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

// --- MainView -------------------------------------------------------------

void CPelmoraDlg::enableReadButton(bool enabled) {
  readButton_->setEnabled(enabled);
  enableMenuItem(menuActions_, &MainWindowLogic::onReadSettings, enabled);
}
void CPelmoraDlg::enableWriteButton(bool enabled) {
  writeButton_->setEnabled(enabled);
  enableMenuItem(menuActions_, &MainWindowLogic::onWriteSettings, enabled);
}

void CPelmoraDlg::appendLog(std::u16string_view text) {
  const QString entry = toQString(text);
  logText_ += entry;
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  if (text == kLogSeparator) {
    // The empty line between entries is a thin gap: its line's font is small.
    QTextCharFormat gap;
    gap.setFontPointSize(std::max(1.0, log_->font().pointSizeF() / 3));
    cursor.insertBlock(QTextBlockFormat(), gap);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  } else {
    cursor.insertText(entry);
  }
  log_->setTextCursor(cursor);
  log_->ensureCursorVisible();
}

void CPelmoraDlg::dropLogFront(std::size_t units) {
  const qsizetype count = std::min(static_cast<qsizetype>(units), logText_.size());
  QTextCursor cursor(log_->document());
  cursor.setPosition(0);
  cursor.setPosition(static_cast<int>(paneLength(QStringView(logText_).left(count))), QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  logText_.remove(0, count);
}

void CPelmoraDlg::setProgressRange(int low, int high) { progress_->setRange(low, high); }
void CPelmoraDlg::setProgress(int position) { progress_->setValue(position); }

void CPelmoraDlg::showStatusImage(StatusImage image) {
  shownStatus_ = image;
  switch (image) {
    case StatusImage::Online:
      statusLight_->setPixmap(onlineImage_);
      return;
    case StatusImage::Offline:
      statusLight_->setPixmap(offlineImage_);
      return;
    case StatusImage::None:
      statusLight_->clear();
      return;
  }
}

void CPelmoraDlg::addPortEntry(std::u16string_view name) {
  // Adding never selects; the logic selects the saved entry afterwards.
  const bool noSelection = portChooser_->currentIndex() < 0;
  portChooser_->addItem(toQString(name));
  if (noSelection) portChooser_->setCurrentIndex(-1);
}

void CPelmoraDlg::selectPort(int index) {
  // Selecting from here never counts as the user's choice (no activated()).
  portChooser_->setCurrentIndex(index >= 0 && index < portChooser_->count() ? index : -1);
}

int CPelmoraDlg::selectedPort() const { return portChooser_->currentIndex(); }

void CPelmoraDlg::setIdentityText(IdentityField field, std::u16string_view text) {
  QLineEdit* edit = identity_[static_cast<std::size_t>(field)];
  edit->setText(toQString(text));
  edit->setCursorPosition(0);
}

void CPelmoraDlg::setPageVisible(int index, bool visible) {
  QWidget* page = pages_.at(static_cast<std::size_t>(index)).widget;
  page->setGeometry(pageRect());
  if (visible) page->raise();
  page->setVisible(visible);
}

PageControls& CPelmoraDlg::pageControls(int index) { return controlsOf(index); }

bool CPelmoraDlg::confirm(std::u16string_view question) {
  return QMessageBox::question(this, windowTitle(), toQString(question), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

Answer CPelmoraDlg::ask(std::u16string_view question) {
  switch (QMessageBox::question(this, windowTitle(), toQString(question),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

void CPelmoraDlg::showChangeCount(std::u16string_view text) {
  changeCount_->setText(toQString(text));
  changeCount_->setVisible(!text.empty());
}

void CPelmoraDlg::copyText(std::u16string_view text) { QGuiApplication::clipboard()->setText(toQString(text)); }

std::optional<std::string> CPelmoraDlg::chooseLogFile() {
  QString path = chooseFilePath(this, uiText(u"Save Log As"),
                                uiText(u"Log files (*.log *.txt)") + QStringLiteral(";;") + uiText(u"All files (*)"),
                                QFileDialog::AcceptSave);
  if (path.isEmpty()) return std::nullopt;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".log");
  return QFile::encodeName(path).toStdString();
}

void CPelmoraDlg::closeWindow() { reject(); }

std::optional<SaveTarget> CPelmoraDlg::chooseSaveFile() {
  const QString json = uiText(kJsonFilter), image = uiText(kImageFilter);
  QString chosen = json;
  QString path =
      chooseFilePath(this, uiText(u"Save Settings As"), json + QStringLiteral(";;") + image, QFileDialog::AcceptSave, &chosen);
  if (path.isEmpty()) return std::nullopt;
  const bool asJson = chosen == json;
  if (QFileInfo(path).suffix().isEmpty()) path += asJson ? QStringLiteral(".json") : QStringLiteral(".pelmora-image");
  return SaveTarget{QFile::encodeName(path).toStdString(),
                    asJson ? SettingsFileFormat::Json : SettingsFileFormat::Image};
}

std::optional<std::string> CPelmoraDlg::chooseOpenFile() {
  const QString path = chooseFilePath(
      this, uiText(u"Open Settings"),
      uiText(u"Settings files (*.json *.pelmora-image)") + QStringLiteral(";;") + uiText(u"All files (*)"),
      QFileDialog::AcceptOpen);
  if (path.isEmpty()) return std::nullopt;
  return QFile::encodeName(path).toStdString();
}

void CPelmoraDlg::showComparison(const Comparison& comparison) { CompareDialog(comparison, this).exec(); }

std::u16string CPelmoraDlg::translated(std::u16string_view english) const {
  const QString text = uiText(english);
  return std::u16string(toU16View(text));
}

std::optional<std::size_t> CPelmoraDlg::chooseEarlierSettings(std::span<const std::u16string> lines) {
  QStringList items;
  for (const std::u16string& line : lines) items << toQString(line);
  bool chosen = false;
  const QString item = QInputDialog::getItem(this, uiText(u"Restore Earlier Settings"),
                                             uiText(u"Settings kept before each write, newest first:"), items, 0,
                                             false, &chosen);
  if (!chosen) return std::nullopt;
  const qsizetype index = items.indexOf(item);
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

// Its own top-level window: closing this one leaves a running station to finish.
void CPelmoraDlg::openStation() { openStationWindow(nullptr); }

}  // namespace pelmora
