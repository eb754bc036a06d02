#include "viewer/uFormDictionariesManager.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <cstring>

#include "dictionary/uDictionariesManager.h"
#include "foundation/KezSystemError.h"
#include "language/uCommon.h"
#include "options/uOptions.h"
#include "viewer/uData.h"
#include "viewer/uFormParts.h"
#include "viewer/uKindMark.h"
#include "widgets/KezListBox.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
constexpr int kCheckLeft = 16;
constexpr int kCheckSize = 13;
constexpr int kNameLeft = 33;
// A click released this near the left edge toggles the row.
constexpr int kToggleZone = 32;
}  // namespace

TFormDictionariesManager::TFormDictionariesManager(QWidget* parent, const TKodraLanguage* language,
                                                   const std::string& folder, const std::string& shippedFolder)
    : QDialog(parent), FList(std::make_unique<TDictionariesList>(language, folder, shippedFolder)) {
  setObjectName("FormDictionariesManager");
  setWindowTitle("Dictionaries manager");
  setMinimumSize(200, 160);
  resize(420, 320);
  auto* layout = new QVBoxLayout(this);
  Splitter = new QSplitter(Qt::Vertical, this);
  Splitter->setObjectName("Splitter");
  Splitter->setChildrenCollapsible(false);
  lstDictionaries = new TKezListBox(Splitter);
  lstDictionaries->setObjectName("lstDictionaries");
  lstDictionaries->SetMinItemHeight(18);
  lstDictionaries->SetHideSelection(false);
  edComment = new TKezUnicodeRichEdit(Splitter);
  edComment->setObjectName("edComment");
  edComment->setReadOnly(true);
  edComment->SetUndoLimit(0);
  edComment->setMinimumHeight(20);
  // The list takes most of the room and what the window gains; the comment a few lines.
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 0);
  Splitter->setSizes({200, 70});
  layout->addWidget(Splitter);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btnOk = new QPushButton("Ok", this);
  btnOk->setObjectName("btnOk");
  btnOk->setDefault(true);
  btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");
  btnHelp = new QPushButton("Help", this);
  btnHelp->setObjectName("btnHelp");
  for (QPushButton* button : {btnOk, btnCancel, btnHelp}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  btnOk->setDefault(true);
  layout->addLayout(buttons);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnHelp, &QPushButton::clicked, this, [this] { GlobalData().HelpTopic(this, "dicmanager"); });

  const QFont font = OptionFont(Options().StatusFont());
  lstDictionaries->setFont(font);
  edComment->setFont(font);
  InstallListBoxAccessibility();
  lstDictionaries->SetOnGetItemText([this](const TKezCustomListBox&, int32_t index) {
    if (index < 0 || index >= FList->Count()) return QString();
    const TManagedDictionary& item = FList->Item(index);
    return QString::fromStdString(item.Name) + ", " + RowCaption(item) + ", " +
           (item.Header.Checked ? Tr("SDicChecked", "checked") : Tr("SDicUnchecked", "unchecked"));
  });
  lstDictionaries->SetOnDrawItem([this](TKezCustomListBox&, QPainter& canvas, int32_t index, const QRect& rect) {
    DrawRow(canvas, index, rect);
  });
  lstDictionaries->SetOnChangeSelection([this](TKezCustomListBox&) { ShowComment(); });
  lstDictionaries->installEventFilter(this);
  lstDictionaries->viewport()->installEventFilter(this);
  lstDictionaries->SetCount(FList->Count());
  if (FList->Count() > 0) lstDictionaries->SelectIndex(0);
  GlobalData().LocalizeForm(this, "DicManager");
  const std::pair<QWidget*, std::pair<const char*, const char*>> parts[] = {
      {lstDictionaries, {"DicManagerAccessibleList", "Dictionaries"}},
      {edComment, {"DicManagerAccessibleComment", "Comment"}},
      {Splitter, {"DicManagerAccessibleSplitter", "Dictionaries and comment"}},
  };
  for (const auto& [part, name] : parts) part->setAccessibleName(Tr(name.first, name.second));
  ShowComment();
}

TFormDictionariesManager::~TFormDictionariesManager() = default;

bool TFormDictionariesManager::Modified() const { return FList->Modified(); }

void TFormDictionariesManager::Toggle(int32_t index) {
  FList->Toggle(index);
  lstDictionaries->Invalidate();
}

// The caption of a usable dictionary; the problem of one that is not.
QString TFormDictionariesManager::RowCaption(const TManagedDictionary& item) const {
  if (item.Problem.empty()) return QString::fromStdU16String(item.Header.Caption);
  return Tr("SDicUnusable", "not available: %s").replace("%s", QString::fromStdString(item.Problem));
}

void TFormDictionariesManager::ShowComment() {
  const int32_t index = lstDictionaries->ItemIndex();
  edComment->SetText(index >= 0 && index < FList->Count() ? std::u16string_view(FList->Item(index).Header.Comment)
                                                          : std::u16string_view());
}

void TFormDictionariesManager::DrawRow(QPainter& canvas, int32_t index, const QRect& rect) {
  if (index < 0 || index >= FList->Count()) return;
  if (FNameWidth == 0)
    for (const TManagedDictionary& item : FList->Items())
      FNameWidth = std::max(FNameWidth, canvas.fontMetrics().horizontalAdvance(QString::fromStdString(item.Name)) +
                                            kNameLeft);
  const TManagedDictionary& item = FList->Item(index);
  DrawKindMark(canvas, item.Header.Kind, QRect(rect.left(), rect.top(), kCheckLeft, rect.height()), false);
  QStyleOptionButton box;
  box.rect = QRect(rect.left() + kCheckLeft, rect.top() + (rect.height() - kCheckSize) / 2, kCheckSize, kCheckSize);
  box.state = QStyle::State_Enabled | (item.Header.Checked ? QStyle::State_On : QStyle::State_Off);
  box.features = QStyleOptionButton::Flat;
  style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &canvas, this);
  // A configured dictionary that cannot be used now is greyed, with why.
  if (!item.Problem.empty())
    canvas.setPen(palette().color(QPalette::Disabled, QPalette::Text));
  canvas.drawText(rect.adjusted(kNameLeft, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                  QString::fromStdString(item.Name));
  canvas.drawText(rect.adjusted(FNameWidth + rect.height(), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                  RowCaption(item));
}

bool TFormDictionariesManager::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstDictionaries && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
      Toggle(lstDictionaries->ItemIndex());
      return true;
    }
  } else if (watched == lstDictionaries->viewport() && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->position().x() < kToggleZone) Toggle(lstDictionaries->ItemAtPos(int(mouse->position().y())));
  }
  return QDialog::eventFilter(watched, event);
}

void TFormDictionariesManager::done(int result) {
  if (result != QDialog::Accepted) {
    FList->SetModified(false);
  } else if (FList->Modified()) {
    try {
      FList->Save();
    } catch (const std::exception& e) {
      // The old file stays and the set keeps what it has loaded; the user
      // must hear that the choice was not kept rather than believe it was.
      const auto* system = dynamic_cast<const ESystemError*>(&e);
      const std::string reason = system ? std::strerror(system->Code) : e.what();
      TGlobalData::Warning(this, QString::fromStdString(FormatMessage(
                                     Tr("SDicConfigNotSaved", "The choice of dictionaries could not be saved to %s: %s")
                                         .toStdString(),
                                     {FList->ConfigurationFile(), reason})));
      FList->SetModified(false);
    }
  }
  QDialog::done(result);
}
