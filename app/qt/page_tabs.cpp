#include "app/qt/page_tabs.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

namespace pelmora {

PageTabs::PageTabs(QWidget* parent) : QWidget(parent), tabBar_(new QTabBar(this)) {
  tabBar_->setDrawBase(false);
  tabBar_->setExpanding(false);
  tabBar_->setIconSize(QSize(32, 32));
  tabBar_->setUsesScrollButtons(true);
  tabBar_->setElideMode(Qt::ElideNone);
  tabBar_->setFocusPolicy(Qt::TabFocus);
}

void PageTabs::resizeEvent(QResizeEvent* event) {
  tabBar_->setGeometry(0, 0, width(), tabBar_->sizeHint().height());
  QWidget::resizeEvent(event);
}

void PageTabs::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QStyleOptionTabWidgetFrame option;
  option.initFrom(this);
  const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
  const int top = tabBar_->geometry().bottom() + 1 - overlap;
  option.rect = QRect(0, top, width(), height() - top);
  option.shape = tabBar_->shape();
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  option.tabBarSize = tabBar_->size();
  option.tabBarRect = tabBar_->geometry();
  option.selectedTabRect = tabBar_->tabRect(tabBar_->currentIndex());
  option.leftCornerWidgetSize = QSize(0, 0);
  option.rightCornerWidgetSize = QSize(0, 0);
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}

}  // namespace pelmora
