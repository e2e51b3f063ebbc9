#include "app/qt/port_chooser.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

namespace pelmora {
namespace {

// Entries whose tooltips are made when asked for, so that they name the
// device behind each number now, not at start.
class PortModel final : public QStandardItemModel {
 public:
  PortModel(QObject* parent, const PortChooser::Describer* describer)
      : QStandardItemModel(parent), describer_(describer) {}

  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::ToolTipRole && index.isValid() && *describer_) return (*describer_)(index.row());
    return QStandardItemModel::data(index, role);
  }

 private:
  const PortChooser::Describer* describer_;
};

// The open list's rows: the number, then what the port is.
class LabelledEntryDelegate final : public QStyledItemDelegate {
 public:
  explicit LabelledEntryDelegate(PortChooser* chooser) : QStyledItemDelegate(chooser), chooser_(chooser) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString words = chooser_->label(index.row());
    if (!words.isEmpty()) option->text += QStringLiteral("  ") + words;
  }

 private:
  PortChooser* chooser_;
};

}  // namespace

PortChooser::PortChooser(QWidget* parent) : QComboBox(parent) {
  setModel(new PortModel(this, &describer_));
  setItemDelegate(new LabelledEntryDelegate(this));
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  // QComboBox chooses the entry whose name stands in the field when Return
  // is pressed or the field loses the focus: typed text never acts here.
  QObject::disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
  QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
  lineEdit()->installEventFilter(this);
}

void PortChooser::setDescriber(Describer describer) { describer_ = std::move(describer); }

void PortChooser::follow(PortDiscovery& discovery, Lister lister) {
  lister_ = std::move(lister);
  delete notifier_;
  delete recheck_;
  notifier_ = nullptr;
  recheck_ = nullptr;
  if (const int descriptor = discovery.changeDescriptor(); descriptor >= 0) {
    notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this, &discovery] {
      if (discovery.takeChanges()) refreshLabels();
    });
  } else {
    recheck_ = new QTimer(this);
    connect(recheck_, &QTimer::timeout, this, &PortChooser::refreshLabels);
    recheck_->start(kRecheckMs);
  }
  refreshLabels();
}

QString PortChooser::label(int port) const {
  return port >= 0 && static_cast<std::size_t>(port) < labels_.size() ? labels_[static_cast<std::size_t>(port)]
                                                                       : QString();
}

void PortChooser::refreshLabels() {
  if (!lister_) return;
  std::vector<PortListing> listing = lister_();
  if (listing == listing_ && labels_.size() == static_cast<std::size_t>(std::max(count(), 0))) return;  // the periodic look found nothing new
  listing_ = std::move(listing);
  labels_.assign(static_cast<std::size_t>(std::max(count(), 0)), QString());
  for (const PortListing& entry : listing_)
    if (entry.port >= 0 && static_cast<std::size_t>(entry.port) < labels_.size())
      labels_[static_cast<std::size_t>(entry.port)] = QString::fromStdString(portLabel(entry.description));
  // The open list as wide as its longest row, however narrow the closed field.
  int widest = width();
  for (int row = 0; row < count(); ++row)
    widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(row) + QStringLiteral("  ") + label(row)) + 40);
  view()->setMinimumWidth(widest);
  view()->viewport()->update();
}

bool PortChooser::event(QEvent* event) {
  // The closed chooser names the device of the entry it shows.
  if (event->type() == QEvent::ToolTip && describer_ && currentIndex() >= 0) {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), describer_(currentIndex()), this);
    return true;
  }
  return QComboBox::event(event);
}

bool PortChooser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Return would pick the entry whose name was typed: typed text never acts.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QComboBox::eventFilter(watched, event);
}

void PortChooser::wheelEvent(QWheelEvent* event) {
  // Scrolling over the window must not open ports on its way.
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}

void PortChooser::showPopup() {
  refreshLabels();
  QComboBox::showPopup();
}

}  // namespace pelmora
