#include "editor/uFontEditor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "editor/uEditorPrompts.h"
#include "foundation/KezFiles.h"
#include "language/uCommon.h"
#include "language/uFontTableModel.h"
#include "language/uImportFont.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "viewer/uData.h"
#include "viewer/uFormParts.h"
#include "widgets/KezListBox.h"

namespace {
constexpr int kColumns = 16;
constexpr int kRows = 14;
constexpr uint32_t kFirstCode = 32;

// A code of the legacy font as the character of that code point: drawn in
// the legacy font it is the font's glyph (symbol fonts are reached there
// too); the ASCII view draws it in the window's own font as Latin-1 text.
QString CodeText(uint8_t code) {
  if (code == TFontTableModel::kSemicolonStandIn) code = TFontTableModel::kSemicolonCode;
  return QString(QChar(char16_t(code)));
}

// Latin-1 has nothing to show for DEL, the C1 controls, the no-break space
// and the soft hyphen: the ASCII view names those codes in hex.
bool Printable(uint8_t code) { return code < 0x7F || (code > 0xA0 && code != 0xAD); }

QString AsciiText(uint8_t code) {
  if (code == TFontTableModel::kSemicolonStandIn) code = TFontTableModel::kSemicolonCode;
  return Printable(code) ? CodeText(code) : QString::number(code, 16).toUpper();
}
}  // namespace

// The 16 x 14 cells of codes 32 to 255 in the legacy font.
class TFontGrid : public QWidget {
public:
  explicit TFontGrid(TFormFontEditor& form) : QWidget(&form), FForm(form) {
    setCursor(Qt::PointingHandCursor);
    setObjectName("pbFont");
  }
  int Cell() const { return FForm.FFontName.empty() ? 0 : QFontMetrics(font()).height() + 2; }
  void Adjust() {
    const int cell = std::max(Cell(), 1);
    setFixedSize(kColumns * cell + 1, kRows * cell + 1);
    update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    if (FForm.FFontName.empty()) return;
    QPainter canvas(this);
    canvas.fillRect(rect(), palette().color(QPalette::Base));
    const int cell = Cell();
    canvas.setPen(palette().color(QPalette::Mid));
    for (int row = 0; row <= kRows; ++row) canvas.drawLine(0, row * cell, kColumns * cell, row * cell);
    for (int column = 0; column <= kColumns; ++column)
      canvas.drawLine(column * cell, 0, column * cell, kRows * cell);
    const bool ascii = FForm.AsciiView();
    QFont hexFont = FForm.FAsciiFont;
    hexFont.setPixelSize(std::max(6, cell * 2 / 5));
    canvas.setPen(palette().color(QPalette::Text));
    for (uint32_t code = kFirstCode; code <= 255; ++code) {
      const QRect rect(int((code - kFirstCode) % kColumns) * cell, int((code - kFirstCode) / kColumns) * cell, cell,
                       cell);
      if (!ascii) {
        canvas.setFont(font());
        canvas.drawText(rect, Qt::AlignCenter, CodeText(uint8_t(code)));
      } else {
        canvas.setFont(Printable(uint8_t(code)) ? FForm.FAsciiFont : hexFont);
        canvas.drawText(rect, Qt::AlignCenter, AsciiText(uint8_t(code)));
      }
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    const int cell = Cell();
    if (event->button() != Qt::LeftButton || cell == 0) return;
    const int x = int(event->position().x()) / cell, y = int(event->position().y()) / cell;
    if (x >= kColumns) return;
    FForm.ClickCode(kFirstCode + uint32_t(x + kColumns * y));
  }

private:
  TFormFontEditor& FForm;
};

// The selected character's sequences, one after another, each after a bar.
class TFontSequences : public QWidget {
public:
  explicit TFontSequences(TFormFontEditor& form) : QWidget(&form), FForm(form) {
    setObjectName("pbAnsi");
    setMinimumHeight(36);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    const int32_t index = FForm.Selected();
    if (FForm.FFontName.empty() || index < 0) return;
    QPainter canvas(this);
    const std::string& assignment = FForm.Model().Assignment(index);
    int x = 16;
    size_t start = 0;
    while (start <= assignment.size()) {
      size_t end = assignment.find(';', start);
      if (end == std::string::npos) end = assignment.size();
      const bool ascii = FForm.AsciiView();
      canvas.setFont(ascii ? FForm.FAsciiFont : font());
      QString text;
      for (size_t i = start; i < end; ++i) {
        const uint8_t code = uint8_t(assignment[i]);
        text += ascii && !Printable(code) ? "<" + AsciiText(code) + ">" : CodeText(code);
      }
      canvas.setPen(Qt::black);
      canvas.drawLine(x, 2, x, height() - 3);
      canvas.setPen(palette().color(QPalette::WindowText));
      canvas.drawText(QRect(x + 1, 0, width(), height()), Qt::AlignVCenter | Qt::AlignLeft, text);
      x += canvas.fontMetrics().horizontalAdvance(text) + 16;
      start = end + 1;
    }
  }

private:
  TFormFontEditor& FForm;
};

TFormFontEditor::TFormFontEditor(QWidget* parent, TKodraLanguage* language)
    : QDialog(parent), FLanguage(language), FModel(std::make_unique<TFontTableModel>(*language)) {
  setObjectName("FormFontEditor");
  setWindowTitle("Kodra. Fonts editor");
  resize(540, 580);
  CreateActions();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* menu = new QMenuBar(this);
  auto addMenu = [&](const char* name, const char* title, std::initializer_list<const char*> actions) {
    QMenu* created = menu->addMenu(title);
    created->setObjectName(name);
    AddActions(*created, *this, actions);
  };
  addMenu("mnuFile", "&File", {"actFileNew", "actFileOpen", "actFileSave", "", "actFileExit"});
  addMenu("mnuEdit", "&Edit", {"actEditDelete", "actEditAdd"});
  addMenu("mnuUnicode", "&Unicode", {"actUnicodeFirst", "actUnicodePrev", "actUnicodeNext", "actUnicodeLast"});
  addMenu("mnuView", "&View", {"actViewASCII"});
  addMenu("mnuHelp", "&?", {"actHelpContents", "", "actHelpAbout"});
  layout->setMenuBar(menu);
  auto* tools = new QToolBar(this);
  tools->setObjectName("ToolBar");
  AddActions(*tools, *this,
             {"actFileNew", "actFileOpen", "actFileSave", "", "actEditDelete", "actEditAdd", "", "actUnicodeFirst",
              "actUnicodePrev", "actUnicodeNext", "actUnicodeLast", "", "actViewASCII"});
  layout->addWidget(tools);
  auto* body = new QHBoxLayout;
  lstUnicode = new TKezListBox(this);
  lstUnicode->setObjectName("lstUnicode");
  lstUnicode->setFixedWidth(70);
  lstUnicode->SetHideSelection(false);
  lstUnicode->setFont(OptionFont(Options().ListFont()));
  lstUnicode->SetMinItemHeight(QFontMetrics(lstUnicode->font()).height() + 4);
  InstallListBoxAccessibility();
  lstUnicode->SetOnGetItemText([this](const TKezCustomListBox&, int32_t index) {
    if (index < 0 || index >= FModel->Count()) return QString();
    return QString(QChar(FModel->Character(index))) + " U+" +
           QString::number(FModel->Character(index), 16).toUpper().rightJustified(4, '0');
  });
  lstUnicode->SetOnDrawItem([this](TKezCustomListBox&, QPainter& canvas, int32_t index, const QRect& rect) {
    if (index >= 0 && index < FModel->Count()) TGlobalData::DrawCharCentred(canvas, FModel->Character(index), rect);
  });
  lstUnicode->SetOnChangeSelection([this](TKezCustomListBox&) { Refresh(); });
  lstUnicode->SetCount(FModel->Count());
  body->addWidget(lstUnicode);
  auto* table = new QVBoxLayout;
  auto* top = new QHBoxLayout;
  pbUnicode = new QLabel(this);
  pbUnicode->setObjectName("pbUnicode");
  QFont big = lstUnicode->font();
  big.setPixelSize(29);
  pbUnicode->setFont(big);
  pbUnicode->setFixedSize(48, 48);
  pbUnicode->setAlignment(Qt::AlignCenter);
  pbUnicode->setFrameShape(QFrame::StyledPanel);
  top->addWidget(pbUnicode);
  auto* right = new QVBoxLayout;
  pbAnsi = new TFontSequences(*this);
  lblText = new QLabel(this);
  lblText->setObjectName("pnlText");  // its text is the table line, not a caption
  lblText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  right->addWidget(pbAnsi);
  right->addWidget(lblText);
  top->addLayout(right, 1);
  table->addLayout(top);
  FGridScroll = new QScrollArea(this);
  pbFont = new TFontGrid(*this);
  FGridScroll->setWidget(pbFont);
  table->addWidget(FGridScroll, 1);
  body->addLayout(table, 1);
  layout->addLayout(body, 1);

  const std::pair<QWidget*, std::pair<const char*, const char*>> parts[] = {
      {lstUnicode, {"ImpFontAccessibleCharacters", "Characters"}},
      {pbUnicode, {"ImpFontAccessibleCharacter", "Selected character"}},
      {pbAnsi, {"ImpFontAccessibleSequences", "Code sequences"}},
      {lblText, {"ImpFontAccessibleLine", "Table line"}},
      {pbFont, {"ImpFontAccessibleGlyphs", "Font glyphs"}},
      {FGridScroll, {"ImpFontAccessibleGlyphTable", "Glyph table"}},
      {tools, {"ImpFontAccessibleToolBar", "Tool bar"}},
  };
  for (const auto& [part, name] : parts) part->setAccessibleName(Tr(name.first, name.second));
  GlobalData().LocalizeForm(this, "ImpFont");
  tools->setWindowTitle(tools->accessibleName());
  // Wide enough for the tool bar's captions in the interface language.
  resize(std::max(width(), tools->sizeHint().width()), height());
  FBaseCaption = windowTitle();
  Reset();
}

TFormFontEditor::~TFormFontEditor() = default;

void TFormFontEditor::CreateActions() {
  static constexpr TActionDefinition kActions[] = {
      {"actFileNew", "&New...", "Choose a font", ""},
      {"actFileOpen", "&Open...", "Open a font table", ""},
      {"actFileSave", "&Save", "Save the font table", "Ctrl+S"},
      {"actFileExit", "E&xit", "Close", ""},
      {"actEditDelete", "&Delete", "Delete the last code", "Del"},
      {"actEditAdd", "&Add alternate", "Add an alternative sequence", ""},
      {"actUnicodeFirst", "&First", "First character", ""},
      {"actUnicodePrev", "&Previous", "Previous character", "Up"},
      {"actUnicodeNext", "&Next", "Next character", "Space"},
      {"actUnicodeLast", "&Last", "Last character", ""},
      {"actViewASCII", "&ASCII", "The codes as Latin-1 characters", "F3"},
      {"actHelpContents", "&Contents", "Contents", "F1"},
      {"actHelpAbout", "&About...", "About", ""},
  };
  ::CreateActions(*this, kActions);
  Action("actViewASCII")->setCheckable(true);
  Action("actUnicodeNext")->setShortcuts({QKeySequence(Qt::Key_Space), QKeySequence(Qt::Key_Down)});
  auto on = [this](const char* name, auto handler) {
    connect(Action(name), &QAction::triggered, this, [this, handler] {
      handler();
      Refresh();
    });
  };
  on("actFileNew", [this] { NewFont(); });
  on("actFileOpen", [this] { OpenTable(); });
  on("actFileSave", [this] { Save(); });
  on("actFileExit", [this] { close(); });
  on("actEditDelete", [this] { FModel->DeleteLast(Selected()); });
  on("actEditAdd", [this] { FModel->AddAlternate(Selected()); });
  on("actUnicodeFirst", [this] { Select(0); });
  on("actUnicodePrev", [this] { Select(Selected() - 1); });
  on("actUnicodeNext", [this] { Select(Selected() + 1); });
  on("actUnicodeLast", [this] { Select(FModel->Count() - 1); });
  on("actViewASCII", [this] { pbFont->update(); });
  on("actHelpContents", [this] { GlobalData().HelpTopic(this, "fonteditor"); });
  on("actHelpAbout", [this] { ShowAboutBox(this); });
}

QAction* TFormFontEditor::Action(const char* name) const { return findChild<QAction*>(name); }
bool TFormFontEditor::AsciiView() const { return Action("actViewASCII")->isChecked(); }
int32_t TFormFontEditor::Selected() const { return lstUnicode->ItemIndex(); }

void TFormFontEditor::Select(int32_t index) {
  if (index >= 0 && index < FModel->Count()) lstUnicode->SelectCentered(index);
  Refresh();
}

void TFormFontEditor::Reset() {
  FFontName.clear();
  FModel->Clear();
  pbFont->Adjust();
  Select(0);
}

void TFormFontEditor::SetFontName(const std::string& faceName) {
  Reset();
  FFontName = QString::fromStdString(faceName).toLower().toStdString();
  if (FFontName.empty()) return;
  const std::string path = FLanguage->GetFontTablePath(FFontName);
  std::error_code absent;
  if (std::filesystem::exists(path, absent)) {
    std::string text;
    if (!ReadSmallFile(path, kFontTableFileLimit, text)) {
      GlobalData().ReportError(this, "SCantReadFile",
                               Tr("SCantReadFile", "The system cannot read from the specified file"));
      Reset();
      return;
    }
    FModel->LoadText(text);
  } else if (QFontDatabase::writingSystems(QString::fromStdString(faceName)).contains(QFontDatabase::Symbol)) {
    FModel->SetCharacterSet(2);  // the symbol character set
  }
  // Only the legacy font's own glyphs: a code it has nothing for shows its
  // blank or box, not another font's character.
  QFont legacy(QString::fromStdString(faceName));
  legacy.setPointSize(std::max(16, Options().FontChoice(Options().EditorFont()).Size));
  legacy.setStyleStrategy(QFont::NoFontMerging);
  pbFont->setFont(legacy);
  pbAnsi->setFont(legacy);
  // Named in full: a painter fills a font's unset attributes from the
  // widget's, which here is the legacy font.
  FAsciiFont = QFont(QApplication::font().family(), legacy.pointSize());
  pbFont->Adjust();
  Select(0);
}

void TFormFontEditor::ClickCode(uint32_t code) {
  if (FFontName.empty() || Selected() < 0) return;
  FModel->AppendCode(Selected(), code);
  Refresh();
}

QString TFormFontEditor::TableLine() const {
  const int32_t index = Selected();
  if (index < 0) return {};
  return QString::fromStdString(TFontTableModel::LineOf(FModel->Assignment(index), FModel->Character(index)));
}

void TFormFontEditor::Refresh() {
  const int32_t index = Selected();
  pbUnicode->setText(index >= 0 ? QString(QChar(FModel->Character(index))) : QString());
  lblText->setText(TableLine());
  pbAnsi->update();
  setWindowTitle(FFontName.empty() ? FBaseCaption
                                   : QString("%1 - %2").arg(QString::fromStdString(FFontName), FBaseCaption));
  UpdateActions();
}

void TFormFontEditor::UpdateActions() {
  const int32_t index = Selected();
  const bool chosen = !FFontName.empty();
  const bool assigned = chosen && index >= 0 && !FModel->Assignment(index).empty();
  Action("actFileSave")->setEnabled(chosen && FModel->Modified());
  Action("actEditDelete")->setEnabled(assigned);
  Action("actEditAdd")->setEnabled(chosen && FModel->CanAddAlternate(index));
  Action("actUnicodeFirst")->setEnabled(index > 0);
  Action("actUnicodePrev")->setEnabled(index > 0);
  Action("actUnicodeNext")->setEnabled(index >= 0 && index < FModel->Count() - 1);
  Action("actUnicodeLast")->setEnabled(index < FModel->Count() - 1);
}

bool TFormFontEditor::Save() {
  if (FFontName.empty()) return false;
  try {
    FModel->SaveTo(FLanguage->GetUserFontTablePath(FFontName));
    // The paste conversion reads the new table at its next use.
    FLanguage->DropFontTable(FFontName);
  } catch (const THelpedException& e) {
    GlobalData().ReportError(this, e.HelpKeyword, QString::fromStdString(e.Message));
    return false;
  } catch (const std::exception& e) {
    GlobalData().ReportError(this, {}, QString::fromUtf8(e.what()));
    return false;
  }
  Refresh();
  return true;
}

bool TFormFontEditor::AskToSave() {
  if (!FModel->Modified()) return true;
  switch (EditorPrompts().AskYesNoCancel(this, Tr("SFontChanged", "Font table modified. Save changes to file?"))) {
    case QMessageBox::Yes:
      return Save();
    case QMessageBox::No:
      Reset();
      return true;
    default:
      return false;
  }
}

void TFormFontEditor::NewFont() {
  if (!AskToSave()) return;
  QFont font(QString::fromStdString(Options().FontChoice(Options().EditorFont()).FaceName));
  if (GlobalData().ExecuteFontDialog(this, font)) SetFontName(font.family().toStdString());
}

void TFormFontEditor::OpenTable() {
  if (!AskToSave()) return;
  std::string fileName;
  if (!EditorPrompts().ChooseFile(this, false, fileName, FLanguage->GetPath(""), Tr("SFontFile", "Font table file"),
                                  "fnt"))
    return;
  SetFontName(std::filesystem::path(fileName).stem().string());
}

void TFormFontEditor::reject() {
  if (AskToSave()) QDialog::reject();
}
