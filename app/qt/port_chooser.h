#pragma once
// The port chooser: a drop-down list of COM0..COM99 with an edit field.
// Only a choice from the list acts (QComboBox::activated); text typed into
// the field does nothing, Return included, and a selection made by the
// program (setCurrentIndex) acts neither. Each entry's tooltip says which
// device its number maps to at the moment the tooltip is asked for.
//
// The open list shows what each port is after its number ("COM5  FT232R USB
// UART (FTDI, A50285BI)"); the closed field keeps just the number. With
// follow(), those words follow adapters plugged in and pulled out: at once
// where the discovery reports it, else by a look every kRecheckMs. Neither
// the selection nor the entries change, only the words.

#include <QComboBox>
#include <QString>

#include <functional>
#include <vector>

#include "link/port_discovery.h"

class QSocketNotifier;
class QTimer;

namespace pelmora {

class PortChooser final : public QComboBox {
 public:
  using Describer = std::function<QString(int port)>;
  using Lister = std::function<std::vector<PortListing>()>;

  explicit PortChooser(QWidget* parent = nullptr);
  void setDescriber(Describer describer);
  // `discovery` must outlive the chooser.
  void follow(PortDiscovery& discovery, Lister lister);
  // The words shown after entry `port`'s number.
  QString label(int port) const;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void showPopup() override;

 private:
  void refreshLabels();

  Describer describer_;
  Lister lister_;
  std::vector<PortListing> listing_;
  std::vector<QString> labels_;  // by entry
  QSocketNotifier* notifier_ = nullptr;
  QTimer* recheck_ = nullptr;
};

}  // namespace pelmora
