#pragma once
// The tab control: a strip of tabs with 32 x 32 icons along the top and a
// framed pane below. The pages are its children, placed by the window at
// fixed places in its client area; the control itself only draws and
// reports tab changes (tabBar()->currentChanged).

#include <QTabBar>
#include <QWidget>

class QPaintEvent;
class QResizeEvent;

namespace pelmora {

class PageTabs final : public QWidget {
 public:
  explicit PageTabs(QWidget* parent = nullptr);

  QTabBar* tabBar() const { return tabBar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* tabBar_;
};

}  // namespace pelmora
