#include "editor/uCharMapPads.h"

#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "language/uLanguage.h"
#include "viewer/uData.h"

namespace {
// Room between the table and the page's edges.
constexpr int kTableMargin = 4;

struct TKeyRow {
  std::u16string_view Keys, ShiftKeys;
  int16_t Left, Top;
};

constexpr int16_t kKeyWidth = 33, kKeyHeight = 32, kKeyStep = 38;

// The US layout as its keys lie on the picture.
constexpr TKeyRow kKeyRows[] = {
    {u"`1234567890-=", u"~!@#$%^&*()_+", 5, 5},
    {u"qwertyuiop[]\\", u"QWERTYUIOP{}|", 53, 42},
    {u"asdfghjkl;'", u"ASDFGHJKL:\"", 71, 79},
    {u"zxcvbnm,./", u"ZXCVBNM<>?", 90, 116},
};
constexpr TCharMapKey kSpaceBar = {139, 153, 398, 185, u' ', u' '};

// The keys that type no letter, drawn around the others so that the picture
// reads as a keyboard: Backspace, Tab, Caps Lock, Enter, the Shift keys, and
// Ctrl and Alt beside the space bar.
struct TPlainKey {
  int16_t Left, Top, Right, Bottom;
  const char16_t* Label;
  bool Shift;
};
constexpr TPlainKey kPlainKeys[] = {
    {499, 5, 542, 37, u"\u2190", false},    {5, 42, 48, 74, u"\u21E5", false},
    {5, 79, 66, 111, u"\u21EA", false},     {489, 79, 542, 111, u"\u21B5", false},
    {5, 116, 85, 148, u"\u21E7", true},     {470, 116, 542, 148, u"\u21E7", true},
    {5, 153, 67, 185, u"Ctrl", false},      {72, 153, 134, 185, u"Alt", false},
    {403, 153, 470, 185, u"Alt", false},    {475, 153, 542, 185, u"Ctrl", false},
};

QRect KeyRect(int left, int top, int right, int bottom) { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }

void DrawKeyCap(QPainter& canvas, const QRectF& rect, const QColor& face, const QColor& edge) {
  QPainterPath path;
  path.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  canvas.fillPath(path, face);
  canvas.setPen(QPen(edge, 1));
  canvas.drawPath(path);
}
}  // namespace

const std::array<TCharMapKey, kCharMapKeyCount>& CharMapKeys() {
  static const std::array<TCharMapKey, kCharMapKeyCount> keys = [] {
    std::array<TCharMapKey, kCharMapKeyCount> table{};
    size_t at = 0;
    for (const TKeyRow& row : kKeyRows)
      for (size_t i = 0; i < row.Keys.size(); ++i) {
        const auto left = int16_t(row.Left + int(i) * kKeyStep);
        table[at++] = {left, row.Top, int16_t(left + kKeyWidth), int16_t(row.Top + kKeyHeight), row.Keys[i],
                       row.ShiftKeys[i]};
      }
    table[at++] = kSpaceBar;
    return table;
  }();
  return keys;
}

int CharMapKeyAt(int x, int y) {
  const auto& keys = CharMapKeys();
  for (int i = 0; i < kCharMapKeyCount; ++i) {
    const TCharMapKey& key = keys[size_t(i)];
    if (x >= key.Left && x < key.Right && y >= key.Top && y < key.Bottom) return i;
  }
  return -1;
}

// The pad.

TCharMapPad::TCharMapPad(QWidget* parent, const TKodraLanguage& language) : QAbstractScrollArea(parent), FLanguage(language) {
  // The edit line keeps the focus: it is where Shift is seen and typing goes.
  setFocusPolicy(Qt::NoFocus);
  viewport()->setMouseTracking(true);
  setFrameShape(QFrame::NoFrame);
}

void TCharMapPad::SetCapitals(bool capitals) {
  if (capitals == FCapitals) return;
  FCapitals = capitals;
  ItemsChanged();
}

void TCharMapPad::ItemsChanged() {
  ++FGeneration;
  const QSize picture = PictureSize(), page = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, picture.width() - page.width()));
  horizontalScrollBar()->setPageStep(page.width());
  verticalScrollBar()->setRange(0, std::max(0, picture.height() - page.height()));
  verticalScrollBar()->setPageStep(page.height());
  viewport()->update();
}

QPoint TCharMapPad::Origin() const {
  const QSize picture = PictureSize(), page = viewport()->size();
  const int x = picture.width() < page.width() ? (page.width() - picture.width()) / 2 : -horizontalScrollBar()->value();
  const int y = picture.height() >= page.height() ? -verticalScrollBar()->value()
                : CentredVertically()               ? (page.height() - picture.height()) / 2
                                                    : 0;
  return {x, y};
}

QRect TCharMapPad::ItemViewportRect(int index) const {
  if (index < 0 || index >= ItemCount()) return {};
  return ItemRect(index).translated(Origin());
}

QString TCharMapPad::ItemName(int index) const {
  if (index < 0 || index >= ItemCount()) return {};
  const char16_t c = ItemChar(index, FCapitals);
  if (c < 0x20) return {};
  if (c == u' ') return Tr("CharsSpace", "Space");
  return QString(QChar(c));
}

void TCharMapPad::Pick(int index, bool capitals) {
  if (index < 0 || index >= ItemCount()) return;
  const char16_t c = ItemChar(index, capitals);
  if (c > 0x1F && FOnPick) FOnPick(c);
}

void TCharMapPad::SetHotItem(int index) {
  if (index == FHotItem) return;
  FHotItem = index;
  viewport()->update();
}

void TCharMapPad::paintEvent(QPaintEvent*) {
  QPainter canvas(viewport());
  const QPoint origin = Origin();
  canvas.translate(origin);
  canvas.setFont(font());
  PaintPicture(canvas, viewport()->rect().translated(-origin));
}

void TCharMapPad::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  ItemsChanged();
}

void TCharMapPad::mouseMoveEvent(QMouseEvent* event) {
  SetHotItem(ItemAt(event->position().toPoint()));
  QAbstractScrollArea::mouseMoveEvent(event);
}

void TCharMapPad::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const int index = ItemAt(event->position().toPoint());
  SetHotItem(index);
  Pick(index, CapitalsOfPress(*event));
  event->accept();
}

bool TCharMapPad::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) SetHotItem(-1);
  return QAbstractScrollArea::viewportEvent(event);
}

void TCharMapPad::scrollContentsBy(int, int) { viewport()->update(); }

// The keyboard.

TCharMapKeyboard::TCharMapKeyboard(QWidget* parent, const TKodraLanguage& language) : TCharMapPad(parent, language) {
  viewport()->setBackgroundRole(QPalette::Window);
}

QRect TCharMapKeyboard::ItemRect(int index) const {
  const TCharMapKey& key = CharMapKeys()[size_t(index)];
  return KeyRect(key.Left, key.Top, key.Right, key.Bottom);
}

char16_t TCharMapKeyboard::ItemChar(int index, bool capitals) const {
  const TCharMapKey& key = CharMapKeys()[size_t(index)];
  return Language().LayoutChar(capitals ? key.ShiftKey : key.Key);
}

QString TCharMapKeyboard::ItemDescription(int index) const {
  const TCharMapKey& key = CharMapKeys()[size_t(index)];
  const char16_t c = Capitals() ? key.ShiftKey : key.Key;
  return c == u' ' ? Tr("CharsSpace", "Space") : QString(QChar(c));
}

int TCharMapKeyboard::ItemAt(QPoint viewportPoint) const {
  const QPoint at = viewportPoint - Origin();
  return CharMapKeyAt(at.x(), at.y());
}

bool TCharMapKeyboard::CapitalsOfPress(const QMouseEvent& event) const {
  return event.modifiers().testFlag(Qt::ShiftModifier);
}

void TCharMapKeyboard::PaintPicture(QPainter& canvas, const QRect&) {
  canvas.setRenderHint(QPainter::Antialiasing);
  const QPalette& colours = palette();
  QPainterPath board;
  board.addRoundedRect(QRectF(0, 0, kKeyboardWidth, kKeyboardHeight), 6, 6);
  canvas.fillPath(board, colours.color(QPalette::Mid));

  QFont labelFont = font();
  labelFont.setPointSizeF(std::max(6.0, font().pointSizeF() / 2));
  const QColor edge = colours.color(QPalette::Dark);

  QFont plainFont = font();
  plainFont.setPointSizeF(std::max(7.0, font().pointSizeF() * 0.65));
  canvas.setFont(plainFont);
  for (const TPlainKey& key : kPlainKeys) {
    const QRect rect = KeyRect(key.Left, key.Top, key.Right, key.Bottom);
    const bool down = key.Shift && Capitals();
    DrawKeyCap(canvas, rect, colours.color(down ? QPalette::Highlight : QPalette::Button), edge);
    canvas.setPen(colours.color(down ? QPalette::HighlightedText : QPalette::ButtonText));
    canvas.drawText(rect.adjusted(5, 1, -3, -2), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf16(key.Label));
  }

  const QFontMetrics metrics(font()), labelMetrics(labelFont);
  const auto& keys = CharMapKeys();
  for (int i = 0; i < kCharMapKeyCount; ++i) {
    const TCharMapKey& key = keys[size_t(i)];
    const QRect rect = KeyRect(key.Left, key.Top, key.Right, key.Bottom);
    DrawKeyCap(canvas, rect, colours.color(QPalette::Base), edge);
    // The Latin key, small, where keyboards print it.
    const char16_t latin = Capitals() ? key.ShiftKey : key.Key;
    if (latin != u' ') {
      canvas.setFont(labelFont);
      canvas.setPen(colours.color(QPalette::PlaceholderText));
      canvas.drawText(QPoint(key.Left + 4, key.Top + 2 + labelMetrics.ascent()), QString(QChar(latin)));
    }
    // The language's letter, its bottom right corner a pixel inside the key's.
    const char16_t c = ItemChar(i, Capitals());
    if (c >= 0x20 && c != u' ') {
      canvas.setFont(font());
      canvas.setPen(colours.color(QPalette::Text));
      const QString letter{QChar(c)};
      const int width = metrics.horizontalAdvance(letter);
      canvas.drawText(QPoint(key.Right - 1 - width, key.Bottom - 1 - metrics.height() + metrics.ascent()), letter);
    }
  }
  canvas.setFont(font());

  if (HotItem() >= 0) {
    const TCharMapKey& key = keys[size_t(HotItem())];
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(colours.color(QPalette::Highlight), 2));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(QRect(QPoint(key.Left, key.Top), QPoint(key.Right, key.Bottom)));
  }
}

// The table.

TCharMapTable::TCharMapTable(QWidget* parent, const TKodraLanguage& language) : TCharMapPad(parent, language) {}

const char16_t* TCharMapTable::Grid(bool capitals, int& columns, int& rows) const {
  columns = rows = 0;
  const char16_t* grid = Language().GetKeyboardGrid(capitals, columns, rows);
  if (!grid) columns = rows = 0;
  return grid;
}

QSize TCharMapTable::CellSize() const {
  std::optional<QSize>& size = FCellSize[Capitals() ? 1 : 0];
  if (!size) {
    int columns = 0, rows = 0;
    const char16_t* grid = Grid(Capitals(), columns, rows);
    const QFontMetrics metrics(font());
    int width = 0, height = 0;
    for (int i = 0; i < columns * rows; ++i)
      if (grid[i]) {
        width = std::max(width, metrics.horizontalAdvance(QChar(grid[i])));
        height = std::max(height, metrics.height());
      }
    size = QSize(width + 2, height + 2);
  }
  return *size;
}

int TCharMapTable::ItemCount() const {
  int columns = 0, rows = 0;
  Grid(Capitals(), columns, rows);
  return columns * rows;
}

QRect TCharMapTable::ItemRect(int index) const {
  int columns = 0, rows = 0;
  Grid(Capitals(), columns, rows);
  if (columns == 0) return {};
  const QSize cell = CellSize();
  return QRect(kTableMargin + (index % columns) * cell.width(), kTableMargin + (index / columns) * cell.height(),
               cell.width(), cell.height());
}

char16_t TCharMapTable::ItemChar(int index, bool capitals) const {
  int columns = 0, rows = 0;
  const char16_t* grid = Grid(capitals, columns, rows);
  return index >= 0 && index < columns * rows ? grid[index] : 0;
}

int TCharMapTable::ItemAt(QPoint viewportPoint) const {
  const QPoint at = viewportPoint - Origin() - QPoint(kTableMargin, kTableMargin);
  int columns = 0, rows = 0;
  Grid(Capitals(), columns, rows);
  const QSize cell = CellSize();
  if (at.x() < 0 || at.y() < 0 || cell.width() <= 0 || cell.height() <= 0) return -1;
  const int column = at.x() / cell.width(), row = at.y() / cell.height();
  return column < columns && row < rows ? row * columns + column : -1;
}

QSize TCharMapTable::PictureSize() const {
  int columns = 0, rows = 0;
  Grid(Capitals(), columns, rows);
  const QSize cell = CellSize();
  return {columns * cell.width() + 1 + 2 * kTableMargin, rows * cell.height() + 1 + 2 * kTableMargin};
}

void TCharMapTable::PaintPicture(QPainter& canvas, const QRect& visible) {
  int columns = 0, rows = 0;
  const char16_t* grid = Grid(Capitals(), columns, rows);
  const QSize cell = CellSize();
  const QPalette& colours = palette();
  const QFontMetrics metrics(font());
  // Faint lines between the cells make the rows easy to follow.
  canvas.setPen(colours.color(QPalette::Midlight));
  const int right = kTableMargin + columns * cell.width(), bottom = kTableMargin + rows * cell.height();
  for (int column = 0; column <= columns; ++column) {
    const int x = kTableMargin + column * cell.width();
    canvas.drawLine(x, kTableMargin, x, bottom);
  }
  for (int row = 0; row <= rows; ++row) {
    const int y = kTableMargin + row * cell.height();
    canvas.drawLine(kTableMargin, y, right, y);
  }

  canvas.setPen(colours.color(QPalette::Text));
  for (int index = 0; index < columns * rows; ++index) {
    const char16_t c = grid[index];
    const QRect rect = ItemRect(index);
    if (!c || !rect.intersects(visible)) continue;
    // Centred across the cell, at its top.
    const QString letter{QChar(c)};
    const int x = rect.left() + (rect.width() - metrics.horizontalAdvance(letter)) / 2;
    canvas.drawText(QPoint(x, rect.top() + 1 + metrics.ascent()), letter);
  }
  if (HotItem() >= 0 && ItemChar(HotItem(), Capitals())) {
    canvas.setPen(QPen(colours.color(QPalette::Highlight), 2));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(ItemRect(HotItem()).adjusted(1, 1, 0, 0));
  }
}

void TCharMapTable::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    FCellSize = {};
    ItemsChanged();
  }
  TCharMapPad::changeEvent(event);
}

// Screen readers: each pad is a list of its items that have a letter.

namespace {
class TPadAccessible : public QAccessibleWidget {
public:
  explicit TPadAccessible(TCharMapPad* pad) : QAccessibleWidget(pad, QAccessible::List) {}
  ~TPadAccessible() override { Forget(); }

  TCharMapPad* Pad() const { return qobject_cast<TCharMapPad*>(widget()); }
  // The items read, in their order on the page.
  const std::vector<int>& Items() const {
    TCharMapPad* pad = Pad();
    if (!pad) {
      Forget();
      FItems.clear();
    } else if (pad->Generation() != FGeneration || FItems.empty()) {
      Forget();
      FGeneration = pad->Generation();
      FItems.clear();
      for (int i = 0; i < pad->ItemCount(); ++i)
        if (!pad->ItemName(i).isEmpty()) FItems.push_back(i);
    }
    return FItems;
  }
  int childCount() const override { return int(Items().size()); }
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override {
    TCharMapPad* pad = Pad();
    if (!pad) return nullptr;
    const int item = pad->ItemAt(pad->viewport()->mapFromGlobal(QPoint(x, y)));
    const std::vector<int>& items = Items();
    const auto found = std::find(items.begin(), items.end(), item);
    return found != items.end() ? child(int(found - items.begin())) : nullptr;
  }

private:
  void Forget() const {
    for (const auto& [item, id] : FChildren) QAccessible::deleteAccessibleInterface(id);
    FChildren.clear();
  }

  mutable std::vector<int> FItems;
  mutable int FGeneration = -1;
  mutable std::unordered_map<int, QAccessible::Id> FChildren;  // by position in FItems
};

class TPadItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
  TPadItemAccessible(TPadAccessible* pad, int position, int item) : FPad(pad), FPosition(position), FItem(item) {}
  bool isValid() const override { return FPad->Pad() && FItem < FPad->Pad()->ItemCount(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return FPad->window(); }
  QAccessibleInterface* parent() const override { return FPad; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    TCharMapPad* pad = FPad->Pad();
    if (!pad) return {};
    if (t == QAccessible::Name) return pad->ItemName(FItem);
    if (t == QAccessible::Description) return pad->ItemDescription(FItem);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    TCharMapPad* pad = FPad->Pad();
    if (!pad) return {};
    const QRect local = pad->ItemViewportRect(FItem).intersected(pad->viewport()->rect());
    if (local.isEmpty()) return {};
    return QRect(pad->viewport()->mapToGlobal(local.topLeft()), local.size());
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    TCharMapPad* pad = FPad->Pad();
    state.hotTracked = pad && pad->HotItem() == FItem;
    state.invisible = rect().isEmpty();
    state.offscreen = state.invisible;
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  // Pressing an item picks its letter, as a click does.
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (TCharMapPad* pad = FPad->Pad(); pad && name == pressAction()) pad->Pick(FItem, pad->Capitals());
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
  int Position() const { return FPosition; }

private:
  TPadAccessible* FPad;
  int FPosition;
  int FItem;
};

QAccessibleInterface* TPadAccessible::child(int index) const {
  const std::vector<int>& items = Items();
  if (index < 0 || index >= int(items.size())) return nullptr;
  if (const auto found = FChildren.find(index); found != FChildren.end())
    return QAccessible::accessibleInterface(found->second);
  auto* item = new TPadItemAccessible(const_cast<TPadAccessible*>(this), index, items[size_t(index)]);
  FChildren[index] = QAccessible::registerAccessibleInterface(item);
  return item;
}

int TPadAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (child && child->role() == QAccessible::ListItem && child->parent() == this)
    return static_cast<const TPadItemAccessible*>(child)->Position();
  return -1;
}

QAccessibleInterface* PadFactory(const QString&, QObject* object) {
  if (auto* pad = qobject_cast<TCharMapPad*>(object)) return new TPadAccessible(pad);
  return nullptr;
}
}  // namespace

void InstallCharMapAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(PadFactory);
    return true;
  }();
  (void)installed;
}
