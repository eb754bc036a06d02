#pragma once
// A two-column property grid: captions on the left, values on the right,
// group rows that fold open and shut with their children indented below
// them. The grid knows nothing of what it edits: the owner gives it rows
// (level, kind, caption) and answers its callbacks for values, lists, hints
// and help. Built on the toolkit's tree view, so that keyboard users and
// screen readers get its rows and cells.
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <vector>

class TKezObjectInspectorGrid : public QTreeWidget {
  Q_OBJECT
public:
  // How a row is shown and edited.
  enum TKind { kNumber = 1, kNamed = 2, kGroup = 4, kCheck = 6, kText = 8, kColor = 10 };
  struct TRow {
    int Level = 0;
    int Kind = kText;
    QString Caption;
  };
  struct TListEntry {
    QString Name;
    int Value = 0;
  };
  // Values longer than this are shown cut, with "..." after them.
  static constexpr int kShownValueLimit = 200;
  // Typed text is limited to this.
  static constexpr int kTypedLimit = 256;
  // How long the pointer rests on a cut value before it shows in full.
  static constexpr int kFullTextDelay = 3000;

  explicit TKezObjectInspectorGrid(QWidget* parent = nullptr);

  // Rows in depth-first order: a group's children follow it, one level deeper.
  void SetRows(const std::vector<TRow>& rows);
  // Reads every row's value again (after a change that may touch others).
  void RefreshValues();
  // The captions again (after a change of the interface language).
  void SetCaption(int row, const QString& caption);
  int RowCount() const { return int(FItems.size()); }
  int CurrentRow() const;
  void SetCurrentRow(int row);
  QTreeWidgetItem* RowItem(int row) const { return FItems[size_t(row)]; }
  int RowOf(const QTreeWidgetItem* item) const;
  int RowKind(int row) const { return FRows[size_t(row)].Kind; }
  // The x of the line between captions and values.
  int Divider() const { return columnWidth(0); }
  void SetDivider(int x);
  // The divider's x that shows every caption whole, folded rows' too: the
  // widest caption with its row's indentation and the cell's margins.
  int CaptionWidth() const;
  // The value text as shown (cut at kShownValueLimit).
  static QString ShownValue(const QString& value);

  // Answers the owner gives.
  std::function<QString(int row)> OnGetText;
  std::function<void(int row, const QString& text)> OnSetText;
  std::function<int(int row)> OnGetOrdinal;
  std::function<void(int row, int value)> OnSetOrdinal;
  std::function<std::vector<TListEntry>(int row)> OnGetList;
  // A row was selected (to show its hint); F1 on a row.
  std::function<void(int row)> OnSelect;
  std::function<void(int row)> OnHelp;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

private:
  void ShowValue(int row);
  void ToggleCheck(int row);

  std::vector<TRow> FRows;
  std::vector<QTreeWidgetItem*> FItems;
  bool FFilling = false;
  bool FDraggingDivider = false;
  QTimer FFullTextTimer;
  QPoint FFullTextAt;
  QString FFullText;
  friend class TKezObjectInspectorDelegate;
};
