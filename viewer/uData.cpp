#include "viewer/uData.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QThread>
#include <QUrl>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezText.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "render/uRtfReader.h"
#include "viewer/uFormAbout.h"
#include "viewer/uHelpPopup.h"
#include "viewer/uProgress.h"
#include "viewer/uHelpWindow.h"

namespace {
constexpr int kErrorPopupDelay = 300;

QString Translated(const std::string& key) {
  std::string value;
  return Locale().Find(key, value) ? QString::fromStdString(value) : QString();
}

// "Caption|Hint": the text before the first bar and the text after it; the
// whole value for both when there is no bar or it comes first.
std::pair<QString, QString> CaptionAndHint(const QString& value) {
  const qsizetype bar = value.indexOf(u'|');
  if (bar <= 0) return {value, value};
  return {value.left(bar), value.mid(bar + 1)};
}

QString WithoutMnemonic(QString caption) { return caption.remove(u'&'); }

// A part's text in the interface language, or its built-in text where the
// language has none: what the part held when it was first localised, kept
// on it, so that going back to the built-in language restores it.
QString TextFor(QObject& part, const char* slot, const std::string& key, const QString& current) {
  const QByteArray name = QByteArray("kodraBuiltIn") + slot;
  QVariant builtIn = part.property(name.constData());
  if (!builtIn.isValid()) {
    builtIn = current;
    part.setProperty(name.constData(), builtIn);
  }
  const QString value = key.empty() ? QString() : Translated(key);
  return value.isEmpty() ? builtIn.toString() : value;
}

void SetCaption(QAction& action, const QString& caption) {
  if (action.text() != caption) action.setText(caption);
}
void SetHint(QAction& action, const QString& hint) {
  if (action.toolTip() != hint) action.setToolTip(hint);
  if (action.statusTip() != hint) action.setStatusTip(hint);
}
void SetHint(QWidget& widget, const QString& hint) {
  if (widget.toolTip() != hint) widget.setToolTip(hint);
  if (widget.accessibleDescription() != hint) widget.setAccessibleDescription(hint);
}
void SetText(QAbstractButton& button, const QString& caption) {
  if (button.text() != caption) button.setText(caption);
  if (button.accessibleName() != WithoutMnemonic(caption)) button.setAccessibleName(WithoutMnemonic(caption));
}

// The key of a part: the prefix and the part's name without its type prefix
// of n characters; empty for a name too short to have one.
std::string PartKey(const std::string& prefix, const QString& name, int n) {
  if (name.size() <= n) return {};
  return prefix + name.mid(n).toStdString();
}

// A page of a tab widget: a child of the tab widget's page stack.
QTabWidget* TabOfPage(const QWidget& page) {
  auto* stack = qobject_cast<QStackedWidget*>(page.parentWidget());
  return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

void LocalizeAction(QAction& action, const std::string& prefix) {
  if (action.isSeparator() || action.objectName().isEmpty()) return;
  const QString value =
      TextFor(action, "Text", PartKey(prefix, action.objectName(), 3), action.text() + "|" + action.toolTip());
  if (value.isEmpty()) return;
  auto [caption, hint] = CaptionAndHint(value);
  if (value.endsWith(u'|')) hint.clear();  // a built-in text without a hint
  SetCaption(action, caption);
  SetHint(action, hint);
}

void LocalizeWidget(QWidget& widget, const std::string& prefix) {
  const QString name = widget.objectName();
  // A tool bar's own button for the tools a narrow window cannot show has
  // no text of its own for screen readers.
  if (name == "qt_toolbar_ext_button") widget.setAccessibleName(Tr("AccessibleMoreTools", "More tools"));
  if (name.isEmpty() || name.startsWith("qt_")) return;  // the toolkit's own parts
  if (auto* menu = qobject_cast<QMenu*>(&widget)) {
    if (menu->title() == "-") return;
    const QString value = TextFor(*menu, "Title", PartKey(prefix, name, 3), menu->title());
    if (value.isEmpty()) return;
    const auto [caption, hint] = CaptionAndHint(value);
    if (menu->title() != caption) menu->setTitle(caption);
    SetHint(*menu->menuAction(), hint);
    menu->setAccessibleName(WithoutMnemonic(caption));
  } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
    const QString value = TextFor(*group, "Title", PartKey(prefix, name, 2), group->title().trimmed());
    if (value.isEmpty()) return;
    const QString caption = " " + value + " ";
    if (group->title() != caption) group->setTitle(caption);
    group->setAccessibleName(WithoutMnemonic(value));
  } else if (auto* check = qobject_cast<QCheckBox*>(&widget)) {
    const QString value = TextFor(*check, "Text", PartKey(prefix, name, 3), check->text());
    if (value.isEmpty()) return;
    const auto [caption, hint] = CaptionAndHint(value);
    SetText(*check, caption);
    SetHint(*check, hint);
  } else if (auto* radio = qobject_cast<QRadioButton*>(&widget)) {
    const QString value = TextFor(*radio, "Text", PartKey(prefix, name, 2), radio->text());
    if (value.isEmpty()) return;
    const auto [caption, hint] = CaptionAndHint(value);
    SetText(*radio, caption);
    SetHint(*radio, hint);
  } else if (auto* button = qobject_cast<QPushButton*>(&widget)) {
    const QString value = TextFor(*button, "Text", PartKey(prefix, name, 3), button->text());
    if (!value.isEmpty()) SetText(*button, value);
  } else if (auto* tool = qobject_cast<QToolButton*>(&widget)) {
    const QString value = TextFor(*tool, "Hint", PartKey(prefix, name, 3), tool->toolTip());
    if (!value.isEmpty()) SetHint(*tool, value);
  } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
    const QString value = TextFor(*label, "Text", PartKey(prefix, name, 3), label->text());
    if (value.isEmpty()) return;
    if (label->text() != value) label->setText(value);
    label->setAccessibleName(WithoutMnemonic(value));
  } else if (QTabWidget* tabs = TabOfPage(widget)) {
    const int at = tabs->indexOf(&widget);
    if (at < 0) return;
    const QString value = TextFor(widget, "Tab", PartKey(prefix, name, 2), tabs->tabText(at));
    if (value.isEmpty()) return;
    if (tabs->tabText(at) != value) tabs->setTabText(at, value);
    widget.setAccessibleName(WithoutMnemonic(value));
  }
}
}  // namespace

const std::vector<TErrorIndexRow>& ErrorIndexRows() {
  static const std::vector<TErrorIndexRow> rows = {
      {"SErrMerge", 2001, "Unsuccessful attempt of merge with oneself"},
      {"SConvertError", 2002, "Can't convert specified note file"},
      {"SClipTooLong", 2003, "Too long text in clipboard"},
      {"SAbsentName", 2004, "Name is absent"},
      {"SInvalidName", 2005, "Invalid name"},
      {"SAbsentFinalSectionTag", 2006, "Final section tag is absent"},
      {"SAbsentStartTag", 2007, "Matched start tag is absent"},
      {"SAbsentKey", 2008, "Keyword is absent. You must input keyword or erase text"},
      {"SAbsentAttrValue", 2009, "Attribute value is absent"},
      {"SInvalidTag", 2010, "Invalid tag"},
      {"SInvalidKey", 2011, "Invalid keyword"},
      {"SInvalidTagEmbedding", 2012, "Invalid embedding of tags"},
      {"SInvalidEnumEmbedding", 2013, "Invalid embedding of enumerations"},
      {"SInvalidTagOrder", 2014, "Invalid closing order of tags embedding"},
      {"SInvalidHex", 2015, "Invalid hex value"},
      {"SInvalidMeta", 2016, "Invalid metacharacter sequence"},
      {"SUnknownLang", 2017, "Unknown language"},
      {"SException", 2018, "Uninterpreted exception was found: the keyword has two versions, marked with {{ }}; delete one of them"},
      {"SMustStartTag", 2019, "The section must start with tag"},
      {"SFileTooLong", 2020, "Not enough memory. File too long"},
      {"SCantReadFile", 2021, "The system cannot read from the specified file"},
      {"STooMuchChars", 2022, "Too much different characters in the dictionary"},
      {"SCorruptFile", 2023, "Corrupt or inappropriate dictionary file"},
      {"SNoDicLoaded", 2024, "No active dictionaries"},
      {"SAbsentFinalTag", 2025, "Final tag is absent"},
  };
  return rows;
}

QString Tr(const char* key, const char* english) { return QString::fromStdString(Locale().Text(key, english)); }

QString InterfaceLanguageName(const QString& fileName) {
  const QString stem = QFileInfo(fileName).completeBaseName().toLower();
  return stem.isEmpty() ? stem : stem.left(1).toUpper() + stem.mid(1);
}

TGlobalData::TGlobalData() {
  FTopicOpener = [](QWidget* parent, const QString& topic) {
    if (topic == "index") OpenHelpContents(parent);
    else OpenHelpTopic(parent, topic);
  };
  FUrlOpener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  FPopupShower = [](const QString& textFile, int topic, QPoint position) {
    const QString text = textFile == "errors.txt" ? ErrorPopupText(topic) : HelpPopupText(topic);
    if (!text.isEmpty()) ShowHelpPopup(text, position, PopupHelpFont());
  };
  FErrorTimer.setInterval(kErrorPopupDelay);
  FErrorTimer.setSingleShot(true);
  connect(&FErrorTimer, &QTimer::timeout, this, [this] {
    if (FPendingForm) ErrorPopup(FPendingForm, FPendingIdentifier);
    FPendingForm = nullptr;
    FPendingIdentifier.clear();
  });
}

TGlobalData::~TGlobalData() = default;

TFormProgress& TGlobalData::Progress() {
  if (!FProgress) {
    FProgress = std::make_unique<TFormProgress>();
    FProgress->SetLocalizer([](QWidget& window, const char* prefix) { LocalizeForm(&window, prefix); });
  }
  return *FProgress;
}

void TGlobalData::Prepare() {
  FLanguages.clear();
  FLanguageOwnNames.clear();
  const QDir folder(QString::fromStdString(ProgramFolder()));
  for (const QString& file : folder.entryList({"*.lng"}, QDir::Files, QDir::NoSort)) {
    const QString name = InterfaceLanguageName(file);
    TKezLocale texts;
    texts.Load(folder.filePath(file).toStdString());
    std::string own;
    FLanguages << name;
    FLanguageOwnNames << (texts.Find((name + "Name").toStdString(), own) ? QString::fromStdString(own) : name);
  }
  FHelpFolder = folder.filePath("help");
  RegisterSpecialFont();
}

QString RegisterSpecialFont() {
  static QString family;
  if (!family.isEmpty()) return family;
  const QString face = QString::fromLatin1(kSpecialFontFace.data(), qsizetype(kSpecialFontFace.size()));
  const QString file = QDir(QString::fromStdString(ProgramFolder())).filePath(face + ".ttf");
  if (!QFileInfo::exists(file)) return family;
  const QStringList families = QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(file));
  if (!families.isEmpty()) family = families.front();
  return family;
}

QString TGlobalData::LanguageOwnName(const QString& language) const {
  for (qsizetype i = 0; i < FLanguages.size(); ++i)
    if (FLanguages[i].compare(language, Qt::CaseInsensitive) == 0) return FLanguageOwnNames.value(i, language);
  return language;
}

std::string TGlobalData::DictionaryFolder() const { return UserLanguageFolder(DefaultLanguageId(), true); }

std::string TGlobalData::ShippedDictionaryFolder() const { return ShippedLanguageFolder(DefaultLanguageId()); }

std::string TGlobalData::InitialFolder(const std::string& fileName, const std::string& initialDir) const {
  std::string folder = initialDir;
  if (folder.empty() && !fileName.empty()) folder = std::filesystem::path(fileName).parent_path().string();
  if (folder.empty()) folder = DictionaryFolder();
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == kPathDelimiter)) folder.pop_back();
  return folder;
}

namespace {
bool RunFileDialog(QWidget* parent, std::string& fileName, const std::string& initialDir, const QString& description,
                   const QString& ext, bool save) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A file to open must exist; a file to save may be new.
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDirectory(QString::fromStdString(GlobalData().InitialFolder(fileName, initialDir)));
  if (!fileName.empty()) dialog.selectFile(QString::fromStdString(std::filesystem::path(fileName).filename().string()));
  dialog.setDefaultSuffix(ext);
  dialog.setNameFilter(QString("%1 (*.%2)").arg(description, ext));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  fileName = QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
  return true;
}
}  // namespace

bool TGlobalData::ExecuteOpenDialog(QWidget* parent, std::string& fileName, const std::string& initialDir,
                                    const QString& description, const QString& ext) {
  return RunFileDialog(parent, fileName, initialDir, description, ext, false);
}

bool TGlobalData::ExecuteSaveDialog(QWidget* parent, std::string& fileName, const std::string& initialDir,
                                    const QString& description, const QString& ext) {
  return RunFileDialog(parent, fileName, initialDir, description, ext, true);
}

bool TGlobalData::ExecuteFontDialog(QWidget* parent, QFont& font) {
  bool accepted = false;
  const QFont chosen = QFontDialog::getFont(&accepted, font, parent);
  if (accepted) font = chosen;
  return accepted;
}

QSize TGlobalData::MeasureChar(const QPainter& canvas, char16_t c) {
  const QFontMetrics metrics(canvas.font());
  return {metrics.horizontalAdvance(QChar(c)), metrics.height()};
}

void TGlobalData::DrawCharCentred(QPainter& canvas, char16_t c, const QRect& rect) {
  const QSize size = MeasureChar(canvas, c);
  const int x = rect.left() + std::max(0, (rect.width() - size.width()) / 2);
  const int y = rect.top() + std::max(0, (rect.height() - size.height()) / 2);
  canvas.drawText(QPoint(x, y + QFontMetrics(canvas.font()).ascent()), QString(QChar(c)));
}

int TGlobalData::ClipboardTextSize() { return MimeTextSize(QApplication::clipboard()->mimeData()); }

int TGlobalData::MimeTextSize(const QMimeData* data) {
  if (!data) return 0;
  for (const char* format : {"text/rtf", "text/richtext"})
    if (const qsizetype size = data->data(format).size(); size > 0) return int(std::min<qsizetype>(size, INT32_MAX));
  if (data->hasText()) return int(std::min<qsizetype>((data->text().size() + 1) * 2, INT32_MAX));
  return 0;
}

bool TGlobalData::ClipboardHasText() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  return data && (data->hasFormat("text/rtf") || data->hasFormat("text/richtext") || data->hasText());
}

void TGlobalData::LocalizeForm(QWidget* form, const std::string& prefix) {
  if (!form) return;
  if (const QString caption = TextFor(*form, "Caption", prefix + "Caption", form->windowTitle());
      !caption.isEmpty() && form->windowTitle() != caption)
    form->setWindowTitle(caption);
  for (QAction* action : form->findChildren<QAction*>()) LocalizeAction(*action, prefix);
  for (QWidget* widget : form->findChildren<QWidget*>()) LocalizeWidget(*widget, prefix);
}

std::unique_ptr<QSettings> TGlobalData::OpenSettings(const QString& subKey) {
  auto settings = std::make_unique<QSettings>("Prask", "Kodra3");
  if (!subKey.isEmpty()) settings->beginGroup(subKey);
  return settings;
}

void TGlobalData::ReportError(QWidget* form, const std::string& identifier, const QString& message) {
  const TOptions& options = Options();
  if (options.BoxOnError())
    QMessageBox::critical(form, "Kodra", message);
  else if (options.BeepOnError())
    FErrorSound ? FErrorSound() : QApplication::beep();
  if (options.HelpOnError() && form && !identifier.empty()) {
    FPendingForm = form;
    FPendingIdentifier = identifier;
    FErrorTimer.start();
  }
}

void TGlobalData::Warning(QWidget* parent, const QString& message) {
  QMessageBox::warning(parent, "Kodra", message);
}

int TGlobalData::AskYesNoCancel(QWidget* parent, const QString& message) {
  return QMessageBox::warning(parent, "Kodra", message, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

bool TGlobalData::AskYesNo(QWidget* parent, const QString& message) {
  return QMessageBox::warning(parent, "Kodra", message, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TGlobalData::Wait(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
}

void TGlobalData::HelpContents(QWidget* parent) { HelpTopic(parent, "index"); }

void TGlobalData::HelpTopic(QWidget* parent, const QString& name) {
  if (FTopicOpener) FTopicOpener(parent, name);
}

bool TGlobalData::OpenUrl(const QUrl& url) { return FUrlOpener && FUrlOpener(url); }

bool TGlobalData::HomePage() { return OpenUrl(QUrl(HomePageAddress())); }

void TGlobalData::HelpPopup(int topic) { ShowPopup("popups.txt", topic, QCursor::pos()); }

void TGlobalData::ErrorPopup(QWidget* form, const std::string& identifier) {
  if (!form) return;
  const auto& rows = ErrorIndexRows();
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const TErrorIndexRow& r) {
    return AsciiLowered(r.Identifier) == AsciiLowered(identifier);
  });
  if (row == rows.end() || row->Topic <= 0) return;
  const QRect frame = form->window()->frameGeometry();
  ShowPopup("errors.txt", row->Topic, QPoint(frame.left() + frame.width() / 2, frame.top() + frame.height() * 2 / 3));
}

void TGlobalData::ShowPopup(const QString& textFile, int topic, QPoint position) {
  if (FPopupShower) FPopupShower(textFile, topic, position);
}

TGlobalData& GlobalData() {
  static TGlobalData* const instance = new TGlobalData;  // lives as long as the program
  return *instance;
}
