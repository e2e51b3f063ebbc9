#pragma once
// The port chooser: a drop-down list of COM0..COM99 with an edit field.
// Only a choice from the list acts (QComboBox::activated); text typed into
// the field does nothing, Return included, and a selection made by the
// program (setCurrentIndex) acts neither. Each entry's tooltip says which
// device its number maps to at the moment the tooltip is asked for.

#include <QComboBox>
#include <QString>

#include <functional>

namespace pelmora {

class PortChooser final : public QComboBox {
 public:
  using Describer = std::function<QString(int port)>;

  explicit PortChooser(QWidget* parent = nullptr);
  void setDescriber(Describer describer);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  Describer describer_;
};

}  // namespace pelmora
