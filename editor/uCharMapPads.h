#pragma once
// The two pages of the character window: a keyboard drawn with the
// language's letter on every key, and the table of the language's letters.
// Both are scrolling paint boxes of items (keys, cells) that frame the item
// under the mouse and hand the letter of a clicked item to their window.
// Screen readers see each as a list whose rows are the items' letters; a
// row's press action picks it as a click does.
#include <QAbstractScrollArea>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class TKodraLanguage;

// A key of the keyboard picture: its rectangle in pixels of the picture
// (right and bottom exclusive) and the characters of the US key without
// and with Shift.
struct TCharMapKey {
  int16_t Left, Top, Right, Bottom;
  char16_t Key, ShiftKey;
};

constexpr int kCharMapKeyCount = 48;
// The keys in four rows of the US layout and the space bar, row by row.
const std::array<TCharMapKey, kCharMapKeyCount>& CharMapKeys();
// The first key whose rectangle holds the point of the picture; -1 for none.
int CharMapKeyAt(int x, int y);
// The size of the keyboard picture.
constexpr int kKeyboardWidth = 547;
constexpr int kKeyboardHeight = 190;

class TCharMapPad : public QAbstractScrollArea {
  Q_OBJECT
public:
  using TPickEvent = std::function<void(char16_t c)>;

  TCharMapPad(QWidget* parent, const TKodraLanguage& language);

  // The case shown: the Shift state last seen by the window's edit line.
  bool Capitals() const { return FCapitals; }
  void SetCapitals(bool capitals);

  // Items: keys or cells. A letter below U+0020 is none.
  virtual int ItemCount() const = 0;
  // In pixels of the picture.
  virtual QRect ItemRect(int index) const = 0;
  virtual char16_t ItemChar(int index, bool capitals) const = 0;
  // What a screen reader says beside the letter (the key it lies on).
  virtual QString ItemDescription(int) const { return {}; }
  // The item under a point of the viewport; -1 for none.
  virtual int ItemAt(QPoint viewportPoint) const = 0;
  QRect ItemViewportRect(int index) const;
  // The letter a screen reader reads for the item ("" for none).
  QString ItemName(int index) const;

  // Changes whenever the items or their letters may have changed.
  int Generation() const { return FGeneration; }

  int HotItem() const { return FHotItem; }
  // Hands the item's letter in that case to the window, when it has one.
  void Pick(int index, bool capitals);
  void SetOnPick(TPickEvent handler) { FOnPick = std::move(handler); }

  // The picture's top left corner in the viewport: centred where the
  // picture is smaller than the page, scrolled where it is larger.
  QPoint Origin() const;
  virtual QSize PictureSize() const = 0;

protected:
  // Whether a picture lower than the page stands in the middle of it or at its top.
  virtual bool CentredVertically() const { return true; }
  const TKodraLanguage& Language() const { return FLanguage; }
  // Paints the picture, the painter set to the picture's pixels.
  virtual void PaintPicture(QPainter& canvas, const QRect& visible) = 0;
  // The case a click picks: the press's own Shift for keys, the shown one
  // for cells.
  virtual bool CapitalsOfPress(const QMouseEvent& event) const = 0;
  // The picture's size or the items changed.
  void ItemsChanged();

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  void SetHotItem(int index);

  const TKodraLanguage& FLanguage;
  bool FCapitals = false;
  int FHotItem = -1;
  int FGeneration = 0;
  TPickEvent FOnPick;
};

// The keyboard picture, drawn here: the keys of the key table with the
// language's letter of each (capitals with Shift) large at the bottom right
// and the Latin key small at the top left, and the keys without letters
// around them.
class TCharMapKeyboard : public TCharMapPad {
  Q_OBJECT
public:
  TCharMapKeyboard(QWidget* parent, const TKodraLanguage& language);

  int ItemCount() const override { return kCharMapKeyCount; }
  QRect ItemRect(int index) const override;
  char16_t ItemChar(int index, bool capitals) const override;
  QString ItemDescription(int index) const override;
  int ItemAt(QPoint viewportPoint) const override;
  QSize PictureSize() const override { return {kKeyboardWidth, kKeyboardHeight}; }

protected:
  void PaintPicture(QPainter& canvas, const QRect& visible) override;
  bool CapitalsOfPress(const QMouseEvent& event) const override;
};

// The table of the language's letters (the keyboard grid of each case),
// each cell as wide as the widest letter of the case's grid and as high as
// the tallest, and 2 pixels more.
class TCharMapTable : public TCharMapPad {
  Q_OBJECT
public:
  TCharMapTable(QWidget* parent, const TKodraLanguage& language);

  int ItemCount() const override;
  QRect ItemRect(int index) const override;
  char16_t ItemChar(int index, bool capitals) const override;
  int ItemAt(QPoint viewportPoint) const override;
  QSize PictureSize() const override;
  QSize CellSize() const;

protected:
  void PaintPicture(QPainter& canvas, const QRect& visible) override;
  bool CapitalsOfPress(const QMouseEvent&) const override { return Capitals(); }
  bool CentredVertically() const override { return false; }
  void changeEvent(QEvent* event) override;

private:
  const char16_t* Grid(bool capitals, int& columns, int& rows) const;

  mutable std::array<std::optional<QSize>, 2> FCellSize;  // per case, measured on first use
};

// Lets screen readers see the pads' items; called by the window.
void InstallCharMapAccessibility();
