#include "app/qt/pelmora_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextCursor>

#include <algorithm>

#include "app/main_window_template.h"
#include "app/qt/about_box.h"
#include "app/qt/artwork.h"
#include "app/qt/compare_dialog.h"
#include "app/qt/dialog_units.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/page_tabs.h"
#include "app/qt/port_chooser.h"
#include "app/qt/qt_text.h"
#include "app/qt/ui_language.h"
#include "settings/utf.h"
#include "pages/settings_page.h"

namespace pelmora {
namespace {

struct FileCommand {
  std::u16string_view text;
  QKeyCombination key;  // none for an empty combination
  void (MainWindowLogic::*run)();
};
constexpr std::array kFileCommands{
    FileCommand{u"Save Settings As\u2026", Qt::CTRL | Qt::Key_S, &MainWindowLogic::onSaveSettings},
    FileCommand{u"Open Settings\u2026", Qt::CTRL | Qt::Key_O, &MainWindowLogic::onOpenSettings},
    FileCommand{u"Compare with Tracker\u2026", QKeyCombination(), &MainWindowLogic::onCompareWithTracker},
};
constexpr std::u16string_view kJsonFilter = u"Settings file (*.json)";
constexpr std::u16string_view kImageFilter = u"Settings image (*.pelmora-image)";

template <typename Widget>
Widget* builtWidget(const std::vector<BuiltControl>& built, int id) {
  for (const BuiltControl& control : built)
    if (control.item->id == id) return static_cast<Widget*>(control.widget);
  return nullptr;
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
      engine_(assembly.startLink(notifications_)) {
  const DialogTemplate& dialog = mainWindowTemplate();
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(uiText(dialog.caption));
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

  logic_.setVerifyAfterWrite(assembly.verifyAfterWrite());
  logic_.setHistory(assembly.history());
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

void CPelmoraDlg::connectControls() {
  connect(portChooser_, &QComboBox::activated, this, [this] { logic_.onPortSelected(); });
  connect(scanButton_, &QPushButton::clicked, this, [this] { logic_.onScanPorts(); });
  connect(readButton_, &QPushButton::clicked, this, [this] { logic_.onReadSettings(); });
  connect(writeButton_, &QPushButton::clicked, this, [this] { logic_.onWriteSettings(); });
  connect(tabs_->tabBar(), &QTabBar::currentChanged, this, [this](int index) { logic_.onTabChanged(index); });
  auto* about = new QShortcut(QKeySequence::HelpContents, this);
  connect(about, &QShortcut::activated, this, &CPelmoraDlg::showAbout);
  auto* aboutButton = builtWidget<QPushButton>(controls_, IDC_ABOUT_BUTTON);
  aboutButton->setToolTip(uiText(kAboutButtonTip));
  connect(aboutButton, &QPushButton::clicked, this, &CPelmoraDlg::showAbout);
  for (const FileCommand& command : kFileCommands) {
    auto* action = new QAction(uiText(command.text), this);
    if (command.key != QKeyCombination()) action->setShortcut(QKeySequence(command.key));
    connect(action, &QAction::triggered, this, [this, run = command.run] { (logic_.*run)(); });
    addAction(action);  // the shortcut works without the menu
    fileActions_.push_back(action);
  }
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
  QMenu menu(this);
  for (QAction* action : fileActions_) menu.addAction(action);
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

void CPelmoraDlg::enableReadButton(bool enabled) { readButton_->setEnabled(enabled); }
void CPelmoraDlg::enableWriteButton(bool enabled) { writeButton_->setEnabled(enabled); }

void CPelmoraDlg::appendLog(std::u16string_view text) {
  const QString entry = toQString(text);
  logText_ += entry;
  log_->moveCursor(QTextCursor::End);
  log_->insertPlainText(entry);
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

std::optional<SaveTarget> CPelmoraDlg::chooseSaveFile() {
  const QString json = uiText(kJsonFilter), image = uiText(kImageFilter);
  QString chosen = json;
  QString path = QFileDialog::getSaveFileName(this, uiText(u"Save Settings As"), QString(),
                                              json + QStringLiteral(";;") + image, &chosen);
  if (path.isEmpty()) return std::nullopt;
  const bool asJson = chosen == json;
  if (QFileInfo(path).suffix().isEmpty()) path += asJson ? QStringLiteral(".json") : QStringLiteral(".pelmora-image");
  return SaveTarget{QFile::encodeName(path).toStdString(),
                    asJson ? SettingsFileFormat::Json : SettingsFileFormat::Image};
}

std::optional<std::string> CPelmoraDlg::chooseOpenFile() {
  const QString path = QFileDialog::getOpenFileName(
      this, uiText(u"Open Settings"), QString(),
      uiText(u"Settings files (*.json *.pelmora-image)") + QStringLiteral(";;") + uiText(u"All files (*)"));
  if (path.isEmpty()) return std::nullopt;
  return QFile::encodeName(path).toStdString();
}

void CPelmoraDlg::showComparison(const Comparison& comparison) { CompareDialog(comparison, this).exec(); }

std::u16string CPelmoraDlg::translated(std::u16string_view english) const {
  const QString text = uiText(english);
  return std::u16string(toU16View(text));
}

}  // namespace pelmora
