#include "viewer/uOptionsForm.h"

#include <QFontDatabase>
#include <algorithm>
#include <map>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include "foundation/KezLocale.h"
#include "options/uOptions.h"
#include "viewer/uData.h"
#include "widgets/KezObjectInspectorGrid.h"

namespace {
// The built-in English "Caption|Hint" of each option, by its key.
const std::map<std::string, const char*>& EnglishOptionTexts() {
  static const std::map<std::string, const char*> texts = {
      {"OptionLocaleName", "Interface language|The language of the menus, hints and messages"},
      {"OptionHotKey", "Hot key|The keys that look up the word selected in another program"},
      {"OptionAbbrExpansion", "Keyword shorthand|How an article shows its own keyword where it abbreviates it (~)"},
      {"OptionDefFontName", "Default font|The font of the parts that have no font of their own"},
      {"OptionSearchFont", "Search field font|The font of the search field"},
      {"OptionListFont", "List font|The font of the keyword list"},
      {"OptionArticleFont", "Article font|The font of the articles"},
      {"OptionStatusFont", "Status bar font|The font of the status bar"},
      {"OptionEditorFont", "Editor font|The font of the dictionary editor"},
      {"OptionPopupHelpFont", "Pop-up help font|The font of the help pop-ups"},
      {"OptionCaptionTag", "Dictionary name|How the dictionary's name above an article looks"},
      {"OptionHeaderTag", "Header|How an article's header looks"},
      {"OptionMarkTag", "Mark|How grammatical and usage marks look"},
      {"OptionAuthorTag", "Author|How abbreviated authors' names look"},
      {"OptionEnumTag", "Numbering|How the numbers of meanings look"},
      {"OptionCommentTag", "Comment|How comments look"},
      {"OptionExampleTag", "Example|How examples and quotations look"},
      {"OptionEditorColors", "Editor colours|Tags and Russian text picked out in the editor"},
      {"OptionFullTextSearch", "Full-text search|The search through the articles' text"},
      {"OptionErrorsAndHints", "Errors and hints|How the program tells of errors and shows hints"},
      {"OptionFontName", "Font|The font's name; empty for the default font"},
      {"OptionFontSize", "Size|The font's size in points"},
      {"OptionRelSize", "Relative size|The size in percent of the article font"},
      {"OptionColor", "Colour|The colour of the text"},
      {"OptionBold", "Bold|Bold letters"},
      {"OptionItalic", "Italic|Italic letters"},
      {"OptionUnderline", "Underlined|Underlined text"},
      {"OptionColoring", "Colouring|Pick out tags and Russian text in colour"},
      {"OptionTagColor", "Tag colour|The colour of tags in the editor"},
      {"OptionRussianColor", "Russian text colour|The colour of Russian text in the editor"},
      {"OptionSearchInComment", "Search in comments|Search the text of comments too"},
      {"OptionMaxSearch", "Most results|How many results Search all finds at most"},
      {"OptionShowKind", "Results|Every occurrence, or the first one in each article"},
      {"OptionHighlightAll", "Highlight all|Highlight every occurrence found in the article"},
      {"OptionBeepOnError", "Sound on error|Sound a beep on an error"},
      {"OptionBoxOnError", "Message box on error|Show an error in a message box"},
      {"OptionHelpOnError", "Help on error|Show the error's help pop-up"},
      {"OptionShowPopupHint", "Pop-up hints|Show hints over the tool bar's buttons"},
      {"OptionShowStatusHint", "Status bar hints|Show hints in the status bar"},
      {"OptionStatusDelay", "Hint delay|For how many seconds a message in the status bar is not replaced by a hint"},
  };
  return texts;
}

// "Caption|Hint" of an option's key, else the built-in English one, else
// the property's name.
std::pair<QString, QString> OptionTexts(const std::string& propertyName) {
  std::string value;
  if (!Locale().Find("Option" + propertyName, value)) {
    const auto english = EnglishOptionTexts().find("Option" + propertyName);
    if (english == EnglishOptionTexts().end()) return {QString::fromStdString(propertyName), QString()};
    value = english->second;
  }
  const QString text = QString::fromStdString(value);
  const qsizetype bar = text.indexOf('|');
  if (bar < 0) return {text, QString()};
  const QString caption = text.left(bar), hint = text.mid(bar + 1);
  return {caption, hint == caption ? QString() : hint};
}

std::string PropertyName(const TOptionsRow& row) { return row.Description->PropertyName; }
}  // namespace

TFormOptions::TFormOptions(QWidget* parent) : QDialog(parent) {
  setObjectName("FormOptions");
  setWindowTitle("Options");
  setWindowFlag(Qt::WindowContextHelpButtonHint, true);
  setMinimumSize(100, 200);
  resize(kWidth, kHeight);
  // The lists the grid offers: interface languages and installed fonts.
  SetOptionsListProviders(
      [] {
        // The built-in English first, then the languages of the program
        // folder, each by its own name.
        const std::string english = "English";  // built in: it has no file
        std::vector<TNamedText> names{{english, english}};
        for (const QString& name : GlobalData().Languages())
          if (name.compare("English", Qt::CaseInsensitive) != 0)
            names.push_back({name.toStdString(), GlobalData().LanguageOwnName(name).toStdString()});
        return names;
      },
      [] {
        std::vector<std::string> names;
        for (const QString& family : QFontDatabase::families())
          if (!QFontDatabase::isPrivateFamily(family)) names.push_back(family.toStdString());
        return names;
      });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  FSplitter = new QSplitter(Qt::Vertical, this);
  FSplitter->setObjectName("Splitter");
  FSplitter->setChildrenCollapsible(false);
  layout->addWidget(FSplitter);
  FGrid = new TKezObjectInspectorGrid(FSplitter);
  FGrid->setObjectName("Grid");
  FPanel = new QWidget(FSplitter);
  FPanel->setObjectName("Panel");
  FPanel->setMinimumHeight(20);
  auto* panelLayout = new QGridLayout(FPanel);
  panelLayout->setContentsMargins(4, 2, 4, 2);
  FHintIcon = new QLabel(FPanel);
  FHintIcon->setObjectName("HintIcon");
  FHintCaption = new QLabel(FPanel);
  FHintCaption->setObjectName("HintCaption");
  QFont bold = FHintCaption->font();
  bold.setBold(true);
  FHintCaption->setFont(bold);
  auto* divider = new QFrame(FPanel);
  divider->setFrameShape(QFrame::HLine);
  FHintText = new QLabel(FPanel);
  FHintText->setObjectName("HintText");
  FHintText->setWordWrap(true);
  FHintText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  panelLayout->addWidget(FHintIcon, 0, 0);
  panelLayout->addWidget(FHintCaption, 0, 1);
  panelLayout->addWidget(divider, 1, 0, 1, 2);
  panelLayout->addWidget(FHintText, 2, 0, 1, 2);
  panelLayout->setColumnStretch(1, 1);
  panelLayout->setRowStretch(2, 1);
  FSplitter->setStretchFactor(0, 1);

  FGrid->OnGetText = [this](int row) {
    try {
      return QString::fromStdString(RowText(Options(), FRows[size_t(row)]));
    } catch (const std::exception&) {
      return QString("Error");
    }
  };
  FGrid->OnGetOrdinal = [this](int row) {
    try {
      return int(RowOrdinal(Options(), FRows[size_t(row)]));
    } catch (const std::exception&) {
      return 0;
    }
  };
  FGrid->OnSetText = [this](int row, const QString& text) {
    try {
      SetRowText(Options(), FRows[size_t(row)], text.toStdString());
      if (PropertyName(FRows[size_t(row)]) == "LocaleName") Retranslate();
      ShowHint(row);
    } catch (const std::exception& e) {
      ShowError(row, QString::fromUtf8(e.what()));
    }
  };
  FGrid->OnSetOrdinal = [this](int row, int value) {
    try {
      SetRowOrdinal(Options(), FRows[size_t(row)], value);
    } catch (const std::exception& e) {
      ShowError(row, QString::fromUtf8(e.what()));
    }
  };
  FGrid->OnGetList = [this](int row) {
    std::vector<TKezObjectInspectorGrid::TListEntry> list;
    try {
      for (const TNamedValue& entry : RowList(FRows[size_t(row)]))
        list.push_back({QString::fromStdString(entry.Name), entry.Value});
    } catch (const std::exception& e) {
      ShowError(row, QString::fromUtf8(e.what()));
    }
    return list;
  };
  FGrid->OnSelect = [this](int row) { ShowHint(row); };
  FGrid->OnHelp = [this](int row) {
    if (const int topic = FRows[size_t(row)].Description->HelpTopic) GlobalData().HelpPopup(topic);
  };

  const auto settings = TGlobalData::OpenSettings("OptionsWindow");
  if (settings->contains("Position")) restoreGeometry(settings->value("Position").toByteArray());
  const int hint = settings->value("HintHeight", kHintHeight).toInt();
  const int clamped = std::clamp(hint, 20, std::max(20, height() - 20));
  FSplitter->setSizes({std::max(20, height() - clamped), clamped});
  Fill();
}

TFormOptions::~TFormOptions() = default;

void TFormOptions::Fill() {
  FRows = TObjectDescriptionWalker().Rows();
  std::vector<TKezObjectInspectorGrid::TRow> rows;
  for (size_t i = 0; i < FRows.size(); ++i)
    rows.push_back({FRows[i].Level, int(FRows[i].Description->Kind), OptionTexts(PropertyName(FRows[i])).first});
  FGrid->SetRows(rows);
  FGrid->SetCurrentRow(0);
}

int TFormOptions::RowOfPath(const std::string& path) const {
  for (size_t i = 0; i < FRows.size(); ++i)
    if (FRows[i].Path == path) return int(i);
  return -1;
}

QString TFormOptions::RowCaption(int row) const { return OptionTexts(PropertyName(FRows[size_t(row)])).first; }

void TFormOptions::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Retranslate();
  if (FGrid->CurrentRow() >= 0) ShowHint(FGrid->CurrentRow());
}

void TFormOptions::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceDivider();
}

// Three fifths of the width, or as far right as the longest caption needs
// to show whole while the values keep a third of the width. Where that is
// not enough (large fonts, long captions) the window grows, as far as the
// screen allows, until three fifths are.
void TFormOptions::PlaceDivider() {
  const int width = FGrid->viewport()->width();
  const int captions = FGrid->CaptionWidth();
  if (captions > width * 2 / 3 && isVisible()) {
    const QScreen* screen = this->screen();
    const int widest = screen ? screen->availableGeometry().width() - (frameGeometry().width() - this->width())
                              : this->width();
    const int grown = std::min(widest, this->width() + captions * 5 / 3 - width);
    if (grown > this->width()) {
      resize(grown, height());  // places the divider again
      if (FGrid->viewport()->width() > width) return;
    }
  }
  FGrid->SetDivider(std::clamp(captions, width * 3 / 5, std::max(width * 3 / 5, width * 2 / 3)));
}

// The interface language changed: the caption, the rows and the hint follow.
void TFormOptions::Retranslate() {
  setWindowTitle(Tr("OptionsCaption", "Options"));
  FGrid->setAccessibleName(Tr("OptionsAccessibleGrid", "Options"));
  FPanel->setAccessibleName(Tr("OptionsAccessibleHint", "Explanation"));
  for (int row = 0; row < int(FRows.size()); ++row) FGrid->SetCaption(row, RowCaption(row));
  FGrid->RefreshValues();
  PlaceDivider();
}

void TFormOptions::ShowHint(int row) {
  if (row < 0 || row >= int(FRows.size())) return;
  auto [caption, text] = OptionTexts(PropertyName(FRows[size_t(row)]));
  if (PropertyName(FRows[size_t(row)]) == "HotKey" && FHotKeyNote) {
    const QString note = FHotKeyNote();
    if (!note.isEmpty()) text = text.isEmpty() ? note : text + "\n" + note;
  }
  ShowPanel(QStyle::SP_MessageBoxInformation, caption, text, false);
}

void TFormOptions::ShowError(int row, const QString& message) {
  ShowPanel(QStyle::SP_MessageBoxCritical, RowCaption(row), message, true);
}

void TFormOptions::ShowPanel(int icon, const QString& caption, const QString& text, bool error) {
  const int side = FHintCaption->fontMetrics().height();
  FHintIcon->setPixmap(style()->standardIcon(QStyle::StandardPixmap(icon)).pixmap(side, side));
  FHintCaption->setText(caption);
  FHintText->setText(text);
  FHintIsError = error;
  // The whole explanation shows: the panel grows to hold it (a note of the
  // hot key, an error) as far as the grid keeps some room.
  const QMargins margins = FPanel->layout()->contentsMargins();
  const int needed = margins.top() + margins.bottom() + FHintCaption->sizeHint().height() + 8 +
                     FHintText->heightForWidth(std::max(FHintText->width(), FPanel->width() - margins.left() -
                                                                                margins.right()));
  const QList<int> sizes = FSplitter->sizes();
  if (sizes.size() == 2 && sizes[1] < needed && sizes[0] + sizes[1] > 2 * needed)
    FSplitter->setSizes({sizes[0] + sizes[1] - needed, needed});
  FPanel->setAccessibleDescription(caption + (text.isEmpty() ? QString() : ": " + text));
}

QString TFormOptions::HintCaption() const { return FHintCaption->text(); }
QString TFormOptions::HintText() const { return FHintText->text(); }

// However the window closes, the settings file is written.
void TFormOptions::done(int result) {
  SaveAndRemember();
  QDialog::done(result);
}

void TFormOptions::SaveAndRemember() {
  if (FSaved) return;
  FSaved = true;
  if (!Options().FileName().empty() && !Options().Save())
    TGlobalData::Warning(this, Tr("SOptionsNotSaved", "The settings could not be saved to %s.")
                                   .replace("%s", QString::fromStdString(Options().FileName())));
  const auto settings = TGlobalData::OpenSettings("OptionsWindow");
  settings->setValue("Position", saveGeometry());
  settings->setValue("HintHeight", FPanel->height());
}
