// Screen readers and automation see a list of rows: the list's children are
// its rows, made when first asked for, each with its text, its place and
// whether it is the current one. A million-row list makes only the rows a
// reader visits.
#include <QAccessibleWidget>
#include <unordered_map>

#include "widgets/KezListBox.h"

namespace {
class TListRowAccessible;

class TListAccessible : public QAccessibleWidget {
public:
  explicit TListAccessible(TKezCustomListBox* list) : QAccessibleWidget(list, QAccessible::List) {}
  ~TListAccessible() override { ForgetRows(-1); }

  // None once the list is being destroyed.
  TKezCustomListBox* List() const { return qobject_cast<TKezCustomListBox*>(widget()); }
  int32_t Rows() const { return List() ? List()->RowCount() : 0; }
  int childCount() const override {
    ForgetRowsIfChanged();
    return Rows();
  }
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override {
    if (!List()) return nullptr;
    const QPoint at = List()->viewport()->mapFromGlobal(QPoint(x, y));
    const int32_t row = List()->ItemAtPos(at.y());
    return row >= 0 ? child(row) : nullptr;
  }
  QString text(QAccessible::Text t) const override {
    // The value of a list is its current row.
    if (t == QAccessible::Value) return List() ? List()->ItemText(List()->CurrentRow()) : QString();
    return QAccessibleWidget::text(t);
  }

  // Rows of an older content are forgotten when the count changes.
  void ForgetRowsIfChanged() const {
    if (FRowsOf != Rows()) ForgetRows(Rows());
  }
  void ForgetRows(int32_t rowsNow) const {
    for (const auto& [row, id] : FRows) QAccessible::deleteAccessibleInterface(id);
    FRows.clear();
    FRowsOf = rowsNow;
  }

private:
  mutable std::unordered_map<int32_t, QAccessible::Id> FRows;
  mutable int32_t FRowsOf = -1;
};

class TListRowAccessible : public QAccessibleInterface {
public:
  TListRowAccessible(TListAccessible* list, int32_t row) : FList(list), FRow(row) {}
  bool isValid() const override { return FList->List() && FRow < FList->Rows(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return FList->window(); }
  QAccessibleInterface* parent() const override { return FList; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && FList->List() ? FList->List()->ItemText(FRow) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    TKezCustomListBox* list = FList->List();
    if (!list) return {};
    const QRect local = list->ItemRect(FRow);
    if (local.isEmpty()) return {};
    return QRect(list->viewport()->mapToGlobal(local.topLeft()), local.size());
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.selectable = true;
    state.focusable = true;
    TKezCustomListBox* list = FList->List();
    const bool current = list && list->CurrentRow() == FRow;
    state.selected = current;
    state.focused = current && list->hasFocus();
    state.invisible = rect().isEmpty();
    state.offscreen = state.invisible;
    return state;
  }
  int32_t Row() const { return FRow; }

private:
  TListAccessible* FList;
  int32_t FRow;
};

QAccessibleInterface* TListAccessible::child(int index) const {
  ForgetRowsIfChanged();
  if (index < 0 || index >= Rows()) return nullptr;
  if (const auto found = FRows.find(index); found != FRows.end()) return QAccessible::accessibleInterface(found->second);
  auto* row = new TListRowAccessible(const_cast<TListAccessible*>(this), index);
  FRows[index] = QAccessible::registerAccessibleInterface(row);
  return row;
}

int TListAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (child && child->role() == QAccessible::ListItem && child->parent() == this)
    return static_cast<const TListRowAccessible*>(child)->Row();
  return -1;
}

QAccessibleInterface* ListFactory(const QString&, QObject* object) {
  if (auto* list = qobject_cast<TKezCustomListBox*>(object)) return new TListAccessible(list);
  return nullptr;
}
}  // namespace

void InstallListBoxAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(ListFactory);
    return true;
  }();
  (void)installed;
}
