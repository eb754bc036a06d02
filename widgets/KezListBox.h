#pragma once
// A list that stores no items: it knows how many rows there are, which one
// is selected and which is at the top, and has its owner draw each visible
// row. Lists hold up to millions of rows (the merged keyword list of a
// dictionary set), so nothing per row is ever allocated. Rows all have the
// same height.
#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>

class QPainter;

enum TKezBorderStyle : uint8_t { bsNone = 0, bsSingle = 1 };

// The behaviour; TKezListBox publishes the properties.
class TKezCustomListBox : public QAbstractScrollArea {
  Q_OBJECT
public:
  // Draws row index into rect. The painter comes with the control's font,
  // a transparent background and the pen in the text colour of the row
  // (the selected-text colour for the selected row, already filled).
  using TDrawItemEvent =
      std::function<void(TKezCustomListBox& sender, QPainter& canvas, int32_t index, const QRect& rect)>;
  using TNotifyEvent = std::function<void(TKezCustomListBox& sender)>;
  // The text of a row, for screen readers and automation.
  using TItemTextEvent = std::function<QString(const TKezCustomListBox& sender, int32_t index)>;

  explicit TKezCustomListBox(QWidget* parent = nullptr);

  // Below 0 counts as 0. With rows the selection and the top are clamped
  // into them (an empty list's -1 becomes 0) without OnChangeSelection;
  // without rows ItemIndex is -1.
  void SetCount(int32_t count);
  // Selects the row (clamped) and scrolls it into view at the nearest edge.
  // Nothing happens on an empty list.
  void SelectIndex(int32_t index);
  // Selects the row; when it is not visible, scrolls it to the middle.
  void SelectCentered(int32_t index);
  // Moves only the view.
  void ScrollTo(int32_t topIndex);
  // The row at client (viewport) y, or -1 when there is none there.
  int32_t ItemAtPos(int32_t y);
  void Invalidate();

  int32_t TopIndex() const { return FTopIndex; }
  int32_t RowCount() const { return FCount; }
  int32_t CurrentRow() const { return FItemIndex; }
  // The row's rectangle in the viewport (empty when it is not in view).
  QRect ItemRect(int32_t index);
  QString ItemText(int32_t index) const { return FOnGetItemText ? FOnGetItemText(*this, index) : QString(); }
  void SetOnGetItemText(TItemTextEvent handler) { FOnGetItemText = std::move(handler); }
  // Whole rows that fit the client height.
  int32_t VisibleCount();
  // The text height of "M" in the control's font (16 when that is 0),
  // raised to MinItemHeight; measured again after a change of either.
  int32_t ItemHeight();

protected:
  int32_t Count() const { return FCount; }
  int32_t ItemIndex() const { return FItemIndex; }
  int32_t MinItemHeight() const { return FMinItemHeight; }
  void SetMinItemHeight(int32_t height);
  TKezBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TKezBorderStyle style);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool hide);
  void SetOnDrawItem(TDrawItemEvent handler);
  void SetOnChangeSelection(TNotifyEvent handler);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  void UpdateList();
  void UpdateScrollBar();
  int32_t ClampIndex(int32_t index) const;
  int32_t ClampTop(int32_t topIndex);
  void SetSelection(int32_t index, int32_t topIndex);

  int32_t FCount = 0;
  int32_t FItemIndex = -1;
  int32_t FTopIndex = 0;
  int32_t FItemHeight = 0;  // 0: to be measured
  int32_t FMinItemHeight = 0;
  int32_t FWheelRemainder = 0;  // eighths of a degree short of a whole notch
  TKezBorderStyle FBorderStyle = bsSingle;
  bool FHideSelection = true;
  bool FUpdatingScrollBar = false;
  TDrawItemEvent FOnDrawItem;
  TNotifyEvent FOnChangeSelection;
  TItemTextEvent FOnGetItemText;
};

// Makes the lists readable by screen readers: each list shows its rows as
// children (made only when asked for), with their texts and the current row.
void InstallListBoxAccessibility();

class TKezListBox : public TKezCustomListBox {
  Q_OBJECT
public:
  using TKezCustomListBox::TKezCustomListBox;

  using TKezCustomListBox::BorderStyle;
  using TKezCustomListBox::Count;
  using TKezCustomListBox::HideSelection;
  using TKezCustomListBox::ItemIndex;
  using TKezCustomListBox::MinItemHeight;
  using TKezCustomListBox::SetBorderStyle;
  using TKezCustomListBox::SetHideSelection;
  using TKezCustomListBox::SetMinItemHeight;
  using TKezCustomListBox::SetOnChangeSelection;
  using TKezCustomListBox::SetOnDrawItem;
};
