#include "widgets/KezObjectInspectorGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {
constexpr int kRowHeight = 18;
constexpr int kIndent = 11;
constexpr int kDividerGrip = 3;  // pixels either side of the divider that take it
constexpr int kListEntries = 8;
// Where a row keeps its colour value (for the swatch).
constexpr int kColorRole = Qt::UserRole + 1;

// A colour value as the options keep it: blue, green, red from the high
// byte down; above 0xFFFFFF it is no colour at all.
QColor ColorOf(int value) {
  if (value < 0 || value > 0xFFFFFF) return QColor();
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
}  // namespace

// Draws the colour swatches and makes the editors: a list to choose from
// for named values and colours, a combo box with suggestions for texts, a
// line for numbers.
class TKezObjectInspectorDelegate : public QStyledItemDelegate {
public:
  explicit TKezObjectInspectorDelegate(TKezObjectInspectorGrid& grid) : QStyledItemDelegate(&grid), FGrid(grid) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), kRowHeight));
    return size;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int row = FGrid.RowOf(FGrid.itemFromIndex(index));
    if (index.column() != 1 || row < 0 || FGrid.RowKind(row) != TKezObjectInspectorGrid::kColor) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    // A 20 x 9 swatch in a black frame, the colour's name 24 pixels in.
    QStyleOptionViewItem text = option;
    initStyleOption(&text, index);
    text.rect.adjust(24, 0, 0, 0);
    QStyledItemDelegate::paint(painter, text, index);
    const QRect swatch(option.rect.left() + 2, option.rect.center().y() - 4, 20, 9);
    painter->save();
    painter->setPen(Qt::black);
    const QColor color = ColorOf(index.data(kColorRole).toInt());
    painter->setBrush(color.isValid() ? QBrush(color) : QBrush(Qt::NoBrush));
    painter->drawRect(swatch.adjusted(0, 0, -1, -1));
    painter->restore();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    const int row = FGrid.RowOf(FGrid.itemFromIndex(index));
    if (index.column() != 1 || row < 0) return nullptr;
    const int kind = FGrid.RowKind(row);
    if (kind == TKezObjectInspectorGrid::kNumber) {
      auto* line = new QLineEdit(parent);
      line->setMaxLength(TKezObjectInspectorGrid::kTypedLimit);
      return line;
    }
    if (kind != TKezObjectInspectorGrid::kNamed && kind != TKezObjectInspectorGrid::kColor &&
        kind != TKezObjectInspectorGrid::kText)
      return nullptr;
    auto* list = new QComboBox(parent);
    list->setMaxVisibleItems(kListEntries);
    list->setEditable(kind == TKezObjectInspectorGrid::kText);
    if (list->lineEdit()) list->lineEdit()->setMaxLength(TKezObjectInspectorGrid::kTypedLimit);
    if (FGrid.OnGetList)
      for (const auto& entry : FGrid.OnGetList(row)) list->addItem(entry.Name, entry.Value);
    list->setAccessibleName(FGrid.RowItem(row)->text(0));
    return list;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const int row = FGrid.RowOf(FGrid.itemFromIndex(index));
    const QString value = FGrid.OnGetText ? FGrid.OnGetText(row) : QString();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
      if (list->isEditable()) {
        list->setEditText(value);
        list->lineEdit()->selectAll();
      } else {
        // A value the list does not name (a colour of its own, a language
        // whose file is gone) is shown as it is, so that leaving the list
        // keeps it rather than writing an empty text.
        int at = list->findText(value);
        if (at < 0 && !value.isEmpty()) {
          list->insertItem(0, value);
          at = 0;
        }
        list->setCurrentIndex(at);
      }
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setText(value);
      line->selectAll();
    }
  }

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    const int row = FGrid.RowOf(FGrid.itemFromIndex(index));
    QString text;
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
      if (!list->isEditable() && list->currentIndex() < 0) return;  // nothing chosen: nothing changes
      text = list->currentText();
    }
    else if (auto* line = qobject_cast<QLineEdit*>(editor)) text = line->text();
    if (FGrid.OnSetText) FGrid.OnSetText(row, text);
    FGrid.RefreshValues();
  }

private:
  TKezObjectInspectorGrid& FGrid;
};

TKezObjectInspectorGrid::TKezObjectInspectorGrid(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(2);
  setHeaderHidden(true);
  setIndentation(kIndent);
  setUniformRowHeights(true);
  setRootIsDecorated(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setItemDelegate(new TKezObjectInspectorDelegate(*this));
  header()->setStretchLastSection(true);
  viewport()->setMouseTracking(true);
  FFullTextTimer.setSingleShot(true);
  FFullTextTimer.setInterval(kFullTextDelay);
  connect(&FFullTextTimer, &QTimer::timeout, this, [this] {
    if (!FFullText.isEmpty()) QToolTip::showText(viewport()->mapToGlobal(FFullTextAt), FFullText, viewport());
  });
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!FFilling && item && OnSelect) OnSelect(RowOf(item));
  });
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    const int row = RowOf(item);
    if (FFilling || column != 1 || row < 0 || FRows[size_t(row)].Kind != kCheck) return;
    if (OnSetOrdinal) OnSetOrdinal(row, item->checkState(1) == Qt::Checked ? 1 : 0);
    RefreshValues();
  });
  // Editing starts in the value column, whichever cell was clicked.
  connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
    const int row = RowOf(item);
    if (column == 0 && row >= 0 && FRows[size_t(row)].Kind != kGroup && FRows[size_t(row)].Kind != kCheck)
      editItem(item, 1);
  });
}

void TKezObjectInspectorGrid::SetRows(const std::vector<TRow>& rows) {
  FFilling = true;
  clear();
  FRows = rows;
  FItems.clear();
  std::vector<QTreeWidgetItem*> parents;
  for (const TRow& row : rows) {
    parents.resize(size_t(std::clamp(row.Level, 0, int(parents.size()))));
    auto* item = parents.empty() ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parents.back());
    item->setText(0, row.Caption);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (row.Kind == kGroup) {
      // The folder font: bold, in the colour of button texts.
      QFont bold = font();
      bold.setBold(true);
      item->setFont(0, bold);
      item->setForeground(0, palette().color(QPalette::ButtonText));
      item->setFirstColumnSpanned(false);
      parents.push_back(item);
    } else if (row.Kind == kCheck) {
      flags |= Qt::ItemIsUserCheckable;
    } else {
      flags |= Qt::ItemIsEditable;
    }
    item->setFlags(flags);
    FItems.push_back(item);
  }
  FFilling = false;
  RefreshValues();
}

void TKezObjectInspectorGrid::RefreshValues() {
  FFilling = true;
  for (int row = 0; row < RowCount(); ++row) ShowValue(row);
  FFilling = false;
}

void TKezObjectInspectorGrid::ShowValue(int row) {
  QTreeWidgetItem* item = FItems[size_t(row)];
  switch (FRows[size_t(row)].Kind) {
    case kGroup:
      break;
    case kCheck: {
      const bool on = OnGetOrdinal && OnGetOrdinal(row) != 0;
      item->setCheckState(1, on ? Qt::Checked : Qt::Unchecked);
      item->setData(1, Qt::AccessibleTextRole, on ? tr("On") : tr("Off"));
      break;
    }
    case kColor:
      item->setData(1, kColorRole, OnGetOrdinal ? OnGetOrdinal(row) : 0);
      [[fallthrough]];
    default: {
      const QString value = OnGetText ? OnGetText(row) : QString();
      item->setText(1, ShownValue(value));
      item->setData(1, Qt::AccessibleTextRole, value);
      break;
    }
  }
}

QString TKezObjectInspectorGrid::ShownValue(const QString& value) {
  return value.size() > kShownValueLimit ? value.left(kShownValueLimit) + "..." : value;
}

void TKezObjectInspectorGrid::SetCaption(int row, const QString& caption) {
  FRows[size_t(row)].Caption = caption;
  FItems[size_t(row)]->setText(0, caption);
}

int TKezObjectInspectorGrid::CurrentRow() const { return RowOf(currentItem()); }

void TKezObjectInspectorGrid::SetCurrentRow(int row) {
  if (row >= 0 && row < RowCount()) setCurrentItem(FItems[size_t(row)], 1);
}

int TKezObjectInspectorGrid::RowOf(const QTreeWidgetItem* item) const {
  if (!item) return -1;
  const auto found = std::find(FItems.begin(), FItems.end(), item);
  return found == FItems.end() ? -1 : int(found - FItems.begin());
}

void TKezObjectInspectorGrid::SetDivider(int x) { setColumnWidth(0, std::max(20, x)); }

int TKezObjectInspectorGrid::CaptionWidth() const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  int widest = 0;
  for (size_t row = 0; row < FItems.size(); ++row) {
    const QModelIndex cell = indexFromItem(FItems[row], 0);
    const int indent = indentation() * (FRows[row].Level + (rootIsDecorated() ? 1 : 0));
    widest = std::max(widest, indent + itemDelegate()->sizeHint(option, cell).width());
  }
  return widest;
}

void TKezObjectInspectorGrid::ToggleCheck(int row) {
  QTreeWidgetItem* item = FItems[size_t(row)];
  item->setCheckState(1, item->checkState(1) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TKezObjectInspectorGrid::keyPressEvent(QKeyEvent* event) {
  QTreeWidgetItem* item = currentItem();
  const int row = RowOf(item);
  if (row >= 0 && state() != QAbstractItemView::EditingState) {
    switch (event->key()) {
      case Qt::Key_Plus:
      case Qt::Key_Equal:
        item->setExpanded(true);
        return;
      case Qt::Key_Minus:
        item->setExpanded(false);
        return;
      case Qt::Key_F1:
        if (OnHelp) OnHelp(row);
        return;
      case Qt::Key_Space:
        if (FRows[size_t(row)].Kind == kCheck) {
          ToggleCheck(row);
          return;
        }
        break;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (FRows[size_t(row)].Kind == kGroup) {
          item->setExpanded(!item->isExpanded());
          return;
        }
        if (FRows[size_t(row)].Kind != kCheck) {
          editItem(item, 1);
          return;
        }
        break;
      default:
        // Typing on a value row starts editing it in the value column.
        if (!event->text().isEmpty() && event->text()[0].isPrint() && !(event->modifiers() & Qt::ControlModifier) &&
            (item->flags() & Qt::ItemIsEditable) && currentColumn() != 1) {
          setCurrentItem(item, 1);
        }
        break;
    }
  }
  QTreeWidget::keyPressEvent(event);
}

// The divider between captions and values can be dragged anywhere along
// it; a value or caption cut short shows in full once the pointer rests.
bool TKezObjectInspectorGrid::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const int x = int(mouse->position().x());
      if (FDraggingDivider) {
        SetDivider(x);
        return true;
      }
      const bool onDivider = std::abs(x - Divider()) <= kDividerGrip;
      viewport()->setCursor(onDivider ? Qt::SplitHCursor : Qt::ArrowCursor);
      break;
    }
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && std::abs(int(mouse->position().x()) - Divider()) <= kDividerGrip) {
        FDraggingDivider = true;
        return true;
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      if (FDraggingDivider) {
        FDraggingDivider = false;
        return true;
      }
      break;
    case QEvent::ToolTip: {
      auto* help = static_cast<QHelpEvent*>(event);
      const QModelIndex index = indexAt(help->pos());
      const int row = RowOf(itemFromIndex(index));
      FFullText.clear();
      if (row >= 0) {
        const QString full =
            index.column() == 1 && OnGetText && FRows[size_t(row)].Kind != kGroup && FRows[size_t(row)].Kind != kCheck
                ? OnGetText(row)
                : FRows[size_t(row)].Caption;
        const QRect cell = visualRect(index);
        if (full.size() > kShownValueLimit || fontMetrics().horizontalAdvance(full) > cell.width() - 4) {
          FFullText = full;
          FFullTextAt = help->pos();
          FFullTextTimer.start();
        }
      }
      return true;
    }
    case QEvent::Leave:
      FFullTextTimer.stop();
      break;
    default:
      break;
  }
  return QTreeWidget::viewportEvent(event);
}
