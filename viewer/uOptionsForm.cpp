#include "viewer/uOptionsForm.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include "foundation/KezLocale.h"
#include "options/uOptions.h"
#include "viewer/uData.h"
#include "widgets/KezObjectInspectorGrid.h"

namespace {
// "Caption|Hint" of an option's key; the property's name without a key.
std::pair<QString, QString> OptionTexts(const std::string& propertyName) {
  std::string value;
  if (!Locale().Find("Option" + propertyName, value)) return {QString::fromStdString(propertyName), QString()};
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
        // The built-in English first, then the languages of the program folder.
        std::vector<std::string> names{"English"};
        for (const QString& name : GlobalData().Languages())
          if (name.compare("English", Qt::CaseInsensitive) != 0) names.push_back(name.toStdString());
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
  FGrid->SetDivider(FGrid->viewport()->width() * 3 / 5);
  if (FGrid->CurrentRow() >= 0) ShowHint(FGrid->CurrentRow());
}

void TFormOptions::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FGrid->SetDivider(FGrid->viewport()->width() * 3 / 5);
}

// The interface language changed: the caption, the rows and the hint follow.
void TFormOptions::Retranslate() {
  setWindowTitle(Tr("OptionsCaption", windowTitle().toUtf8().constData()));
  FGrid->setAccessibleName(Tr("OptionsAccessibleGrid", "Options"));
  FPanel->setAccessibleName(Tr("OptionsAccessibleHint", "Explanation"));
  for (int row = 0; row < int(FRows.size()); ++row) FGrid->SetCaption(row, RowCaption(row));
  FGrid->RefreshValues();
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
