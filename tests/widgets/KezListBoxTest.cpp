#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "widgets/KezListBox.h"

namespace {

constexpr int32_t RowHeight = 20;

// A list of count rows of which visibleRows fit, shown, with every draw and
// every selection change recorded.
struct TListFixture {
  TListFixture(int32_t count, int32_t visibleRows) {
    list.SetBorderStyle(bsNone);
    QFont font = list.font();
    font.setPixelSize(10);
    list.setFont(font);
    list.SetMinItemHeight(RowHeight);
    list.resize(150, visibleRows * RowHeight);
    list.SetOnChangeSelection([this](TKezCustomListBox&) { ++changes; });
    list.SetOnDrawItem([this](TKezCustomListBox&, QPainter& canvas, int32_t index, const QRect& rect) {
      drawn.push_back(index);
      rects.push_back(rect);
      pens.push_back(canvas.pen().color());
      canvas.setPen(Qt::magenta);  // must not leak into the next row
    });
    list.SetCount(count);
    list.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    changes = 0;
  }

  void Wheel(int32_t angle) {
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list.viewport(), &event);
  }

  QImage Paint() {
    drawn.clear();
    rects.clear();
    pens.clear();
    return list.viewport()->grab().toImage();
  }

  TKezListBox list;
  int changes = 0;
  std::vector<int32_t> drawn;
  std::vector<QRect> rects;
  std::vector<QColor> pens;
};

}  // namespace

TEST(KezListBox, CountClampsSelectionAndTop) {
  TListFixture f(100, 10);
  EXPECT_EQ(f.list.VisibleCount(), 10);
  EXPECT_EQ(f.list.ItemHeight(), RowHeight);
  EXPECT_EQ(f.list.ItemIndex(), 0);  // 0 rows gave -1; getting rows selects the first
  f.list.SelectIndex(99);
  EXPECT_EQ(f.list.TopIndex(), 90);
  f.list.SetCount(50);
  EXPECT_EQ(f.list.ItemIndex(), 49);
  EXPECT_EQ(f.list.TopIndex(), 40);
  f.list.SetCount(-3);
  EXPECT_EQ(f.list.Count(), 0);
  EXPECT_EQ(f.list.ItemIndex(), -1);
  EXPECT_EQ(f.list.TopIndex(), 0);
  f.list.SetCount(5);
  EXPECT_EQ(f.list.ItemIndex(), 0);
  EXPECT_EQ(f.changes, 1);  // only the SelectIndex; SetCount clamps silently
  f.list.SetCount(0);
  f.list.SelectIndex(3);
  EXPECT_EQ(f.list.ItemIndex(), -1);
}

TEST(KezListBox, Keys) {
  struct {
    int32_t count, start;
    std::vector<Qt::Key> keys;
    int32_t index, top, changes;
  } cases[] = {
      {100, 0, {Qt::Key_End}, 99, 90, 1},
      {100, 0, {Qt::Key_End, Qt::Key_PageUp}, 89, 89, 2},
      {100, 0, {Qt::Key_PageDown}, 10, 1, 1},
      {100, 95, {Qt::Key_PageDown}, 99, 90, 1},
      {100, 0, {Qt::Key_Up}, 0, 0, 0},
      {100, 50, {Qt::Key_Up}, 49, 41, 1},
      {100, 9, {Qt::Key_Down}, 10, 1, 1},
      {100, 99, {Qt::Key_Home}, 0, 0, 1},
      {100, 0, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}, 1, 0, 3},
      {5, 0, {Qt::Key_End}, 4, 0, 1},
      {5, 4, {Qt::Key_PageDown, Qt::Key_Down}, 4, 0, 0},
      {0, 0, {Qt::Key_Down, Qt::Key_End}, -1, 0, 0},
  };
  for (const auto& c : cases) {
    TListFixture f(c.count, 10);
    f.list.SelectIndex(c.start);
    f.changes = 0;
    for (Qt::Key key : c.keys) QTest::keyClick(&f.list, key);
    EXPECT_EQ(f.list.ItemIndex(), c.index) << c.count << " from " << c.start;
    EXPECT_EQ(f.list.TopIndex(), c.top) << c.count << " from " << c.start;
    EXPECT_EQ(f.changes, c.changes) << c.count << " from " << c.start;
  }
}

TEST(KezListBox, SelectAtNearestEdgeOrCentred) {
  struct {
    bool centred;
    int32_t top, index, expectedIndex, expectedTop;
  } cases[] = {
      {false, 0, 50, 50, 41},   {false, 60, 50, 50, 50},  {false, 40, 45, 45, 40},
      {false, 0, -5, 0, 0},     {false, 0, 1000, 99, 90},
      {true, 0, 50, 50, 45},    {true, 0, 5, 5, 0},       {true, 0, 98, 98, 90},
      {true, 60, 2, 2, 0},      {true, 40, 49, 49, 40},
  };
  for (const auto& c : cases) {
    TListFixture f(100, 10);
    f.list.ScrollTo(c.top);
    if (c.centred)
      f.list.SelectCentered(c.index);
    else
      f.list.SelectIndex(c.index);
    EXPECT_EQ(f.list.ItemIndex(), c.expectedIndex) << c.centred << " " << c.index;
    EXPECT_EQ(f.list.TopIndex(), c.expectedTop) << c.centred << " " << c.index;
    EXPECT_EQ(f.list.verticalScrollBar()->value(), c.expectedTop);
  }
}

TEST(KezListBox, ItemAtPos) {
  TListFixture f(15, 10);
  f.list.ScrollTo(3);
  struct { int32_t y, index; } cases[] = {
      {0, 3}, {19, 3}, {20, 4}, {199, 12}, {219, 13}, {239, 14}, {240, -1}, {-1, -1},
  };
  for (auto c : cases) EXPECT_EQ(f.list.ItemAtPos(c.y), c.index) << c.y;
}

TEST(KezListBox, MouseSelectsTheRowUnderThePointer) {
  struct { int32_t count, top, y, index; } cases[] = {
      {100, 0, 45, 2}, {100, 30, 5, 30}, {100, 90, 199, 99}, {5, 0, 150, 4},
  };
  for (auto c : cases) {
    TListFixture f(c.count, 10);
    f.list.ScrollTo(c.top);
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, {}, QPoint(10, c.y));
    EXPECT_EQ(f.list.ItemIndex(), c.index) << c.y;
    EXPECT_EQ(f.list.TopIndex(), c.top) << c.y;
  }
}

TEST(KezListBox, WheelMovesTheViewNotTheSelection) {
  struct { int32_t count, top; std::vector<int32_t> angles; int32_t expectedTop; } cases[] = {
      {100, 0, {-120}, 1},
      {100, 0, {-360}, 3},
      {100, 10, {120, 120}, 8},
      {100, 0, {120}, 0},
      {100, 89, {-240}, 90},
      {100, 0, {-60, -30}, 0},        // less than a notch does nothing yet
      {100, 0, {-60, -30, -30}, 1},   // until the eighths add up
      {5, 0, {-120}, 0},
  };
  for (const auto& c : cases) {
    TListFixture f(c.count, 10);
    f.list.ScrollTo(c.top);
    for (int32_t angle : c.angles) f.Wheel(angle);
    EXPECT_EQ(f.list.TopIndex(), c.expectedTop) << c.top;
    EXPECT_EQ(f.list.ItemIndex(), 0);
    EXPECT_EQ(f.changes, 0);
  }
}

TEST(KezListBox, ScrollBar) {
  TListFixture f(100, 10);
  QScrollBar* bar = f.list.verticalScrollBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), 90);
  EXPECT_EQ(bar->pageStep(), 10);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(f.list.TopIndex(), 1);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(f.list.TopIndex(), 11);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(f.list.TopIndex(), 10);
  bar->setSliderDown(true);  // dragging the thumb
  bar->setSliderPosition(70);
  EXPECT_EQ(f.list.TopIndex(), 70);
  bar->setSliderDown(false);
  EXPECT_EQ(f.list.ItemIndex(), 0);
  EXPECT_EQ(f.changes, 0);

  TListFixture few(5, 10);
  EXPECT_FALSE(few.list.verticalScrollBar()->isVisible());
  few.list.ScrollTo(3);
  EXPECT_EQ(few.list.TopIndex(), 0);
}

TEST(KezListBox, PaintsTheVisibleRowsAndTheSelection) {
  TListFixture f(100, 10);
  f.list.resize(150, 10 * RowHeight + 7);  // a partly visible eleventh row
  f.list.SelectIndex(12);                  // top 3
  const QPalette& colors = f.list.palette();
  struct { bool focus, hideSelection; QPalette::ColorRole fill, text; } cases[] = {
      {false, true, QPalette::Button, QPalette::ButtonText},  // the inactive colours
      {false, false, QPalette::Highlight, QPalette::HighlightedText},
      {true, true, QPalette::Highlight, QPalette::HighlightedText},
  };
  for (auto c : cases) {
    if (c.focus) {
      f.list.activateWindow();
      f.list.setFocus();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&f.list));
    } else {
      f.list.clearFocus();
    }
    ASSERT_EQ(f.list.hasFocus(), c.focus);
    f.list.SetHideSelection(c.hideSelection);
    QImage image = f.Paint();
    ASSERT_EQ(f.drawn.size(), 12u);  // rows 3 to top + visible + 1
    for (size_t i = 0; i < f.drawn.size(); ++i) {
      EXPECT_EQ(f.drawn[i], int32_t(3 + i));
      EXPECT_EQ(f.rects[i], QRect(0, int(i) * RowHeight, f.list.viewport()->width(), RowHeight));
      EXPECT_EQ(f.pens[i], colors.color(f.drawn[i] == 12 ? c.text : QPalette::Text)) << i;
    }
    const qreal scale = image.devicePixelRatio();
    EXPECT_EQ(image.pixelColor(QPoint(5, int((9 * RowHeight + 5) * scale))), colors.color(c.fill));
    EXPECT_EQ(image.pixelColor(QPoint(5, int((2 * RowHeight + 5) * scale))), colors.color(QPalette::Base));
  }

  f.list.SetCount(0);
  f.Paint();
  EXPECT_TRUE(f.drawn.empty());
  f.list.SetCount(3);
  f.Paint();
  EXPECT_EQ(f.drawn, (std::vector<int32_t>{0, 1, 2}));
}

TEST(KezListBox, RowHeightFollowsFontAndMinimum) {
  TKezListBox list;
  QFont font = list.font();
  font.setPixelSize(30);
  list.setFont(font);
  const int32_t fontHeight = QFontMetrics(font).size(Qt::TextSingleLine, "M").height();
  EXPECT_EQ(list.ItemHeight(), fontHeight);
  list.SetMinItemHeight(fontHeight + 10);
  EXPECT_EQ(list.ItemHeight(), fontHeight + 10);
  list.SetMinItemHeight(0);
  font.setPixelSize(12);
  list.setFont(font);
  EXPECT_EQ(list.ItemHeight(), QFontMetrics(font).size(Qt::TextSingleLine, "M").height());
}
