#pragma once
// The IP-address field: four parts of 0 to 255 in one bordered box.
//
// Its text is the dotted address ("10.0.0.1"; a blank part counts as 0), or
// empty when every part is blank. A loaded text that is not a dotted
// address (a host name, say) is shown as it is and given back unchanged
// until the user types into the field, which then starts a new address.
//
// Typing: digits only, a part refuses what would make it exceed 255; after
// three digits, or on "." or a blank, the caret moves to the next part;
// Backspace in an empty part and the arrow keys at a part's edge move to the
// neighbour. Tab enters the field at its first part and leaves it.

#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <array>

class QEvent;
class QPaintEvent;

namespace pelmora {

class IpAddressEdit final : public QWidget {
 public:
  static constexpr int kPartCount = 4;

  explicit IpAddressEdit(QWidget* parent = nullptr);

  QString text() const;
  void setText(const QString& text);
  // True while a loaded text that is not a dotted address is shown.
  bool showsForeignText() const { return foreign_; }
  QLineEdit* part(int index) const { return parts_[static_cast<std::size_t>(index)]; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showForeign(bool foreign);
  void focusPart(int index, bool atEnd);
  int partIndex(const QObject* object) const;

  std::array<QLineEdit*, kPartCount> parts_{};
  QLineEdit* foreignView_ = nullptr;  // read-only, shows the foreign text
  QString foreignText_;
  bool foreign_ = false;
};

}  // namespace pelmora
