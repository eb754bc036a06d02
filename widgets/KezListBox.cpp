#include "widgets/KezListBox.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

TKezCustomListBox::TKezCustomListBox(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  verticalScrollBar()->setRange(0, 0);
  verticalScrollBar()->setSingleStep(1);
}

void TKezCustomListBox::SetCount(int32_t count) {
  count = std::max(count, 0);
  if (count == FCount) return;
  FCount = count;
  UpdateList();
  if (QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&event);
  }
}

QRect TKezCustomListBox::ItemRect(int32_t index) {
  if (index < FTopIndex || index >= FCount) return {};
  const int32_t height = ItemHeight();
  const int32_t top = (index - FTopIndex) * height;
  if (top >= viewport()->height()) return {};
  return {0, top, viewport()->width(), height};
}

void TKezCustomListBox::SelectIndex(int32_t index) {
  if (FCount == 0) return;
  index = ClampIndex(index);
  int32_t top = FTopIndex;
  const int32_t visible = VisibleCount();
  if (index < top)
    top = index;
  else if (index >= top + visible)
    top = index - visible + 1;
  SetSelection(index, top);
}

void TKezCustomListBox::SelectCentered(int32_t index) {
  if (FCount == 0) return;
  index = ClampIndex(index);
  int32_t top = FTopIndex;
  const int32_t visible = VisibleCount();
  if (index < top || index >= top + visible) top = index - visible / 2;
  SetSelection(index, top);
}

void TKezCustomListBox::ScrollTo(int32_t topIndex) {
  topIndex = ClampTop(topIndex);
  if (topIndex == FTopIndex) return;
  FTopIndex = topIndex;
  UpdateScrollBar();
  viewport()->update();
}

int32_t TKezCustomListBox::ItemAtPos(int32_t y) {
  if (y < 0) return -1;
  int64_t index = int64_t(y / ItemHeight()) + FTopIndex;
  return index < FCount ? int32_t(index) : -1;
}

void TKezCustomListBox::Invalidate() { viewport()->update(); }

int32_t TKezCustomListBox::VisibleCount() { return viewport()->height() / ItemHeight(); }

int32_t TKezCustomListBox::ItemHeight() {
  if (FItemHeight == 0) {
    int32_t height = QFontMetrics(font()).size(Qt::TextSingleLine, QStringLiteral("M")).height();
    if (height <= 0) height = 16;
    FItemHeight = std::max(height, FMinItemHeight);
  }
  return FItemHeight;
}

void TKezCustomListBox::SetMinItemHeight(int32_t height) {
  FMinItemHeight = std::max(height, 0);
  FItemHeight = 0;
  UpdateList();
}

void TKezCustomListBox::SetBorderStyle(TKezBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  // The viewport's resize that follows updates the list.
  setFrameStyle(style == bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
}

void TKezCustomListBox::SetHideSelection(bool hide) {
  if (hide == FHideSelection) return;
  FHideSelection = hide;
  viewport()->update();
}

void TKezCustomListBox::SetOnDrawItem(TDrawItemEvent handler) {
  FOnDrawItem = std::move(handler);
  viewport()->update();
}

void TKezCustomListBox::SetOnChangeSelection(TNotifyEvent handler) {
  FOnChangeSelection = std::move(handler);
}

int32_t TKezCustomListBox::ClampIndex(int32_t index) const {
  return std::max(0, std::min(index, FCount - 1));
}

int32_t TKezCustomListBox::ClampTop(int32_t topIndex) {
  return std::max(0, std::min(topIndex, std::max(0, FCount - VisibleCount())));
}

void TKezCustomListBox::SetSelection(int32_t index, int32_t topIndex) {
  topIndex = ClampTop(topIndex);
  const bool indexChanged = index != FItemIndex;
  const bool topChanged = topIndex != FTopIndex;
  FItemIndex = index;
  FTopIndex = topIndex;
  if (topChanged) UpdateScrollBar();
  if (indexChanged || topChanged) viewport()->update();
  if (indexChanged && QAccessible::isActive() && index >= 0) {
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
    QAccessibleValueChangeEvent value(this, ItemText(index));
    QAccessible::updateAccessibility(&value);
  }
  if (indexChanged && FOnChangeSelection) FOnChangeSelection(*this);
}

void TKezCustomListBox::UpdateList() {
  ItemHeight();
  if (FCount > 0) {
    FItemIndex = ClampIndex(FItemIndex);
    FTopIndex = ClampTop(FTopIndex);
  } else {
    FItemIndex = -1;
    FTopIndex = 0;
  }
  UpdateScrollBar();
  viewport()->update();
}

void TKezCustomListBox::UpdateScrollBar() {
  // Showing or hiding the bar resizes the viewport, which comes back here;
  // the values we set must not read as the user's scrolling.
  const bool outer = !FUpdatingScrollBar;
  FUpdatingScrollBar = true;
  QScrollBar* bar = verticalScrollBar();
  const int32_t visible = VisibleCount();
  if (FCount > visible) {
    bar->setRange(0, FCount - visible);
    bar->setPageStep(std::max(visible, 1));
    bar->setValue(FTopIndex);
  } else {
    bar->setRange(0, 0);
  }
  if (outer) FUpdatingScrollBar = false;
}

void TKezCustomListBox::paintEvent(QPaintEvent*) {
  if (FCount == 0 || !FOnDrawItem) return;
  QPainter painter(viewport());
  painter.setFont(font());
  painter.setBackgroundMode(Qt::TransparentMode);
  const QPalette& colors = palette();
  const int32_t height = ItemHeight();
  const int32_t width = viewport()->width();
  const int32_t last = int32_t(std::min<int64_t>(int64_t(FTopIndex) + VisibleCount() + 1, FCount - 1));
  for (int32_t index = FTopIndex; index <= last; ++index) {
    const QRect rect(0, (index - FTopIndex) * height, width, height);
    painter.save();
    if (index == FItemIndex) {
      const bool active = hasFocus() || !FHideSelection;
      painter.fillRect(rect, colors.color(active ? QPalette::Highlight : QPalette::Button));
      painter.setPen(colors.color(active ? QPalette::HighlightedText : QPalette::ButtonText));
    } else {
      painter.setPen(colors.color(QPalette::Text));
    }
    FOnDrawItem(*this, painter, index, rect);
    painter.restore();
  }
}

void TKezCustomListBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  FItemHeight = 0;
  UpdateList();
}

void TKezCustomListBox::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    FItemHeight = 0;
    UpdateList();
  }
}

void TKezCustomListBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up: SelectIndex(FItemIndex - 1); break;
    case Qt::Key_Down: SelectIndex(FItemIndex + 1); break;
    case Qt::Key_PageUp: SelectIndex(FItemIndex - VisibleCount()); break;
    case Qt::Key_PageDown: SelectIndex(FItemIndex + VisibleCount()); break;
    case Qt::Key_Home: SelectIndex(0); break;
    case Qt::Key_End: SelectIndex(FCount - 1); break;
    default:
      event->ignore();
      return;
  }
  event->accept();
}

void TKezCustomListBox::mousePressEvent(QMouseEvent* event) {
  if (focusPolicy() & Qt::TabFocus) setFocus(Qt::MouseFocusReason);
  // Below the last row the last row is selected (SelectIndex clamps).
  const int32_t y = std::max(0, int32_t(event->position().y()));
  SelectIndex(int32_t(std::min<int64_t>(int64_t(y / ItemHeight()) + FTopIndex, INT32_MAX)));
  event->accept();
}

void TKezCustomListBox::wheelEvent(QWheelEvent* event) {
  const int32_t delta = event->angleDelta().y();
  if (delta == 0) {
    event->ignore();
    return;
  }
  // One row per notch of 120; finer wheels add up to notches.
  FWheelRemainder += delta;
  const int32_t notches = FWheelRemainder / 120;
  FWheelRemainder %= 120;
  if (notches) ScrollTo(FTopIndex - notches);
  event->accept();
}

void TKezCustomListBox::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (FHideSelection) viewport()->update();
}

void TKezCustomListBox::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (FHideSelection) viewport()->update();
}

void TKezCustomListBox::scrollContentsBy(int, int) {
  if (!FUpdatingScrollBar) ScrollTo(verticalScrollBar()->value());
}
