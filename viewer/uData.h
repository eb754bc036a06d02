#pragma once
// The services every window shares: the interface languages, file and font
// dialogs, message boxes, clipboard tests, help and its pop-ups, localising a
// window from the interface-language file, settings, and the error report
// with its delayed help pop-up. One instance, created before the windows.
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QPainter;
class QRect;
class QSettings;
class QSize;
class QMimeData;
class QUrl;
class QWidget;
class TFormProgress;

// A message identifier and the number of its help pop-up.
struct TErrorIndexRow {
  const char* Identifier;
  int Topic;
  const char* Text;  // the built-in English text
};
// The error messages that have a help pop-up, in topic order.
const std::vector<TErrorIndexRow>& ErrorIndexRows();

// The interface language's text for the key, or the built-in English one.
QString Tr(const char* key, const char* english);

// The interface language a "*.lng" file stands for: its name without the
// extension, lower case but for a capital first letter.
QString InterfaceLanguageName(const QString& fileName);

class TGlobalData : public QObject {
  Q_OBJECT
public:
  TGlobalData();
  ~TGlobalData() override;
  TGlobalData(const TGlobalData&) = delete;
  TGlobalData& operator=(const TGlobalData&) = delete;

  // The interface languages of the program folder's "*.lng" files and the
  // help paths.
  void Prepare();
  const QStringList& Languages() const { return FLanguages; }
  // A language's name in that language, as its own file gives it under
  // "<language>Name" ("RussianName=Русский"); else its name.
  QString LanguageOwnName(const QString& language) const;
  // The folder of the help pages and pop-up texts.
  QString HelpFolder() const { return FHelpFolder; }

  bool ExecuteOpenDialog(QWidget* parent, std::string& fileName, const std::string& initialDir,
                         const QString& description, const QString& ext);
  bool ExecuteSaveDialog(QWidget* parent, std::string& fileName, const std::string& initialDir,
                         const QString& description, const QString& ext);
  bool ExecuteFontDialog(QWidget* parent, QFont& font);
  // The folder a file dialog opens in: the given one, else the file's, else
  // the dictionary folder; without a trailing delimiter.
  std::string InitialFolder(const std::string& fileName, const std::string& initialDir) const;
  // The user's folder of the current language (the default language id),
  // made when missing, with a trailing delimiter; the program folder's in a
  // portable copy.
  std::string DictionaryFolder() const;
  // The folder of the language's shipped dictionaries and tables.
  std::string ShippedDictionaryFolder() const;

  static QSize MeasureChar(const QPainter& canvas, char16_t c);
  // Centred in the rectangle; from its left or top where it is larger.
  static void DrawCharCentred(QPainter& canvas, char16_t c, const QRect& rect);
  static int ClipboardTextSize();
  // The same measure of any offer of text (the clipboard, a selection).
  static int MimeTextSize(const QMimeData* data);
  static bool ClipboardHasText();

  // Sets the window's and its parts' texts from the interface language:
  // prefix + "Caption" for the window, prefix + the part's name without its
  // type prefix for each part.
  static void LocalizeForm(QWidget* form, const std::string& prefix);
  // The settings of a part of the program, read and written.
  static std::unique_ptr<QSettings> OpenSettings(const QString& subKey);

  // An error the user should hear of, as the options ask: a message box, or
  // the error sound; and with HelpOnError the error's help pop-up 300 ms
  // later (a newer error replaces one still waiting).
  void ReportError(QWidget* form, const std::string& identifier, const QString& message);
  static void Warning(QWidget* parent, const QString& message);
  // QMessageBox::Yes, No or Cancel.
  static int AskYesNoCancel(QWidget* parent, const QString& message);
  static bool AskYesNo(QWidget* parent, const QString& message);
  // Keeps the windows alive for that long.
  static void Wait(int milliseconds);

  void HelpContents(QWidget* parent);
  void HelpTopic(QWidget* parent, const QString& name);
  // Pop-up text topic at the mouse position.
  void HelpPopup(int topic);
  // The error's pop-up over the middle of the form, two thirds down.
  void ErrorPopup(QWidget* form, const std::string& identifier);
  // The help pop-up with the options' pop-up font. Tests replace it to see
  // what would be shown.
  using TPopupShower = std::function<void(const QString& textFile, int topic, QPoint position)>;
  void SetPopupShower(TPopupShower shower) { FPopupShower = std::move(shower); }
  // What opens a help page. Tests replace it.
  using TTopicOpener = std::function<void(QWidget* parent, const QString& topic)>;
  void SetTopicOpener(TTopicOpener opener) { FTopicOpener = std::move(opener); }
  // Opens a web or mail address in the desktop's program for it; false when
  // none took it. Tests replace the opener to see what would be opened.
  using TUrlOpener = std::function<bool(const QUrl& url)>;
  void SetUrlOpener(TUrlOpener opener) { FUrlOpener = std::move(opener); }
  bool OpenUrl(const QUrl& url);
  // The program's web page, in the browser.
  bool HomePage();

  // The progress window of long operations, made hidden on first use and
  // localised with the prefix "Progress" whenever it starts.
  TFormProgress& Progress();

  // What sounds the error; tests replace it to hear it.
  void SetErrorSound(std::function<void()> sound) { FErrorSound = std::move(sound); }

  // The error whose pop-up is due, for tests.
  bool ErrorPending() const { return FErrorTimer.isActive(); }

private:
  void ShowPopup(const QString& textFile, int topic, QPoint position);

  QStringList FLanguages;
  QStringList FLanguageOwnNames;  // beside FLanguages
  QString FHelpFolder;
  QTimer FErrorTimer;
  QPointer<QWidget> FPendingForm;
  std::string FPendingIdentifier;
  TPopupShower FPopupShower;
  TTopicOpener FTopicOpener;
  TUrlOpener FUrlOpener;
  std::function<void()> FErrorSound;
  std::unique_ptr<TFormProgress> FProgress;
};

// The one instance; created on first use.
TGlobalData& GlobalData();

// Registers the program folder's font of the special characters
// (KodraSp.ttf) with the application; Prepare does. The family it brings,
// or empty without the file: special characters then show the fallback
// glyph. Once registered, later calls only return the family.
QString RegisterSpecialFont();
