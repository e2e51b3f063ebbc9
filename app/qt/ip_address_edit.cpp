#include "app/qt/ip_address_edit.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>

namespace pelmora {
namespace {

constexpr int kPartDigits = 3;

// 0 to 255 with up to three digits; a prefix of such a number is typed on
// the way. QIntValidator(0, 255) would let 256 through as "intermediate".
const QRegularExpression& partPattern() {
  static const QRegularExpression pattern(QStringLiteral("[01]?[0-9]{0,2}|2[0-4][0-9]|25[0-5]"));
  return pattern;
}

// The four numbers of a dotted address written the way this field writes
// them; nothing for any other text.
bool parseDotted(const QString& text, std::array<int, IpAddressEdit::kPartCount>& numbers) {
  const QStringList fields = text.split(QLatin1Char('.'));
  if (fields.size() != IpAddressEdit::kPartCount) return false;
  for (int i = 0; i < IpAddressEdit::kPartCount; ++i) {
    const QString& field = fields[i];
    bool ok = false;
    const int value = field.toInt(&ok);
    if (!ok || value < 0 || value > 255 || field != QString::number(value)) return false;
    numbers[static_cast<std::size_t>(i)] = value;
  }
  return true;
}

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_InputMethodEnabled, false);
  auto* layout = new QHBoxLayout(this);
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  layout->setContentsMargins(frame, frame, frame, frame);
  layout->setSpacing(0);

  for (int i = 0; i < kPartCount; ++i) {
    auto* part = new QLineEdit(this);
    part->setFrame(false);
    part->setAlignment(Qt::AlignCenter);
    part->setValidator(new QRegularExpressionValidator(partPattern(), part));
    part->setContextMenuPolicy(Qt::NoContextMenu);
    // Tab enters at the first part; the others are reached by typing.
    part->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
    part->installEventFilter(this);
    connect(part, &QLineEdit::textEdited, this, [this, i](const QString& text) {
      if (text.size() == kPartDigits && i + 1 < kPartCount) focusPart(i + 1, false);
    });
    parts_[static_cast<std::size_t>(i)] = part;
    layout->addWidget(part, 1);
    if (i + 1 < kPartCount) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setAlignment(Qt::AlignCenter);
      dot->setAttribute(Qt::WA_TransparentForMouseEvents);
      layout->addWidget(dot);
    }
  }

  foreignView_ = new QLineEdit(this);
  foreignView_->setFrame(false);
  foreignView_->setReadOnly(true);
  foreignView_->setToolTip(
      QStringLiteral("Not a numeric address: kept as it was read. Type digits to enter an address instead."));
  foreignView_->installEventFilter(this);
  foreignView_->hide();
  layout->addWidget(foreignView_, 1);
  setFocusProxy(parts_[0]);
}

QString IpAddressEdit::text() const {
  if (foreign_) return foreignText_;
  bool blank = true;
  for (const QLineEdit* part : parts_) blank = blank && part->text().isEmpty();
  if (blank) return {};
  QStringList numbers;
  for (const QLineEdit* part : parts_) numbers << QString::number(part->text().toInt());
  return numbers.join(QLatin1Char('.'));
}

void IpAddressEdit::setText(const QString& text) {
  std::array<int, kPartCount> numbers{};
  if (text.isEmpty() || parseDotted(text, numbers)) {
    for (int i = 0; i < kPartCount; ++i)
      parts_[static_cast<std::size_t>(i)]->setText(text.isEmpty() ? QString()
                                                                  : QString::number(numbers[static_cast<std::size_t>(i)]));
    foreignText_.clear();
    showForeign(false);
    return;
  }
  foreignText_ = text;
  foreignView_->setText(text);
  foreignView_->setCursorPosition(0);
  showForeign(true);
}

void IpAddressEdit::showForeign(bool foreign) {
  const QWidget* focus = QApplication::focusWidget();
  const bool hadFocus = focus != nullptr && isAncestorOf(focus);
  foreign_ = foreign;
  for (QLineEdit* part : parts_) part->setVisible(!foreign);
  for (QLabel* dot : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) dot->setVisible(!foreign);
  foreignView_->setVisible(foreign);
  setFocusProxy(foreign ? foreignView_ : parts_[0]);
  if (hadFocus) focusProxy()->setFocus(Qt::OtherFocusReason);
}

int IpAddressEdit::partIndex(const QObject* object) const {
  for (int i = 0; i < kPartCount; ++i)
    if (parts_[static_cast<std::size_t>(i)] == object) return i;
  return -1;
}

void IpAddressEdit::focusPart(int index, bool atEnd) {
  QLineEdit* part = parts_[static_cast<std::size_t>(index)];
  part->setFocus(Qt::OtherFocusReason);
  if (atEnd)
    part->setCursorPosition(static_cast<int>(part->text().size()));
  else
    part->selectAll();
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) update();  // the frame shows focus
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);

  if (watched == foreignView_) {
    // Typing replaces the foreign text with a new address.
    const QString typed = key->text();
    const bool digit = typed.size() == 1 && typed[0].isDigit();
    const bool erase = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
    if (!digit && !erase) return false;
    setText(QString());
    focusPart(0, true);
    if (digit) parts_[0]->setText(typed);
    return true;
  }

  const int index = partIndex(watched);
  if (index < 0) return QWidget::eventFilter(watched, event);
  QLineEdit* part = parts_[static_cast<std::size_t>(index)];
  const QString typed = key->text();
  const bool separator = typed == QStringLiteral(".") || typed == QStringLiteral(" ");
  if (separator) {
    if (!part->text().isEmpty() && !part->hasSelectedText() && index + 1 < kPartCount) focusPart(index + 1, false);
    return true;  // never inserted
  }
  const bool noSelection = !part->hasSelectedText();
  if (key->key() == Qt::Key_Backspace && noSelection && part->cursorPosition() == 0 && index > 0) {
    focusPart(index - 1, true);
    return true;
  }
  if (key->key() == Qt::Key_Left && noSelection && part->cursorPosition() == 0 && index > 0) {
    focusPart(index - 1, true);
    return true;
  }
  if (key->key() == Qt::Key_Right && noSelection && part->cursorPosition() == part->text().size() &&
      index + 1 < kPartCount) {
    parts_[static_cast<std::size_t>(index + 1)]->setFocus(Qt::OtherFocusReason);
    parts_[static_cast<std::size_t>(index + 1)]->setCursorPosition(0);
    return true;
  }
  return false;
}

void IpAddressEdit::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QStyleOptionFrame option;
  option.initFrom(this);
  option.rect = rect();
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  const QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && isAncestorOf(focus)) option.state |= QStyle::State_HasFocus;
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void IpAddressEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(event);
}

}  // namespace pelmora
