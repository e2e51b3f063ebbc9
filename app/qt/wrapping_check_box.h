#pragma once
// A check box whose text wraps over as many lines as its width asks for,
// beside a vertically centred box; a click anywhere on it toggles it.

#include <QCheckBox>
#include <QRect>
#include <QString>

class QPaintEvent;

namespace pelmora {

class WrappingCheckBox final : public QCheckBox {
 public:
  explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

  // The height the whole text needs at the current width.
  int neededHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;

 private:
  QRect indicatorRect() const;
  QRect textArea() const;
  static constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
};

}  // namespace pelmora
