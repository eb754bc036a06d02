#pragma once
// The editor's search window: it only collects what to look for, where and
// how; the editor window searches once it is confirmed. Its texts and
// settings are remembered while the program runs, so that the next search
// starts from the last one.
#include <QDialog>
#include <cstdint>
#include <string>

#include "source/uSourceDictionary.h"
#include "viewer/keyboard/uSystemKeyboard.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QToolBar;
class TKezUnicodeRichEdit;
class TKodraLanguage;

// The parts to search, as bits of TSourceDictionary::StartSearch.
constexpr uint8_t kSearchHeader = 1u << spHeader;
constexpr uint8_t kSearchMarks = 1u << spMarks;
constexpr uint8_t kSearchAuthors = 1u << spAuthors;
constexpr uint8_t kSearchArticles = 1u << spArticles;

// What the last confirmed search asked for.
struct TEditorSearchSettings {
  std::u16string SearchText;
  std::u16string ReplaceText;
  uint8_t Parts = kSearchArticles;  // what an author searches first
  TSourceSearchMode Mode = smFromBeginning;
  bool WholeWord = false;
};

// The one set of the running program; empty at start.
TEditorSearchSettings& EditorSearchSettings();

class TFormEditorSearch : public QDialog {
  Q_OBJECT
public:
  // Client size of the window.
  static constexpr int kWidth = 242;
  static constexpr int kHeight = 353;

  // The language is the edited dictionary's: its letters decide whether
  // input starts on, and the fields type through it while input is on.
  TFormEditorSearch(QWidget* owner, const TKodraLanguage* language);

  // The settings as they stand; the remembered ones change only on Search.
  const std::u16string& SearchText() const { return FSearchText; }
  const std::u16string& ReplaceText() const { return FReplaceText; }
  uint8_t Parts() const { return FParts; }
  TSourceSearchMode Mode() const { return FMode; }
  bool WholeWord() const { return FWholeWord; }
  bool InputOn() const { return FInput.On(); }

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateActions();
  void CreateControls();
  void ApplyInput();
  void SetPart(uint8_t part, bool on);
  void UpdateActions();
  void actSearchExecute();

  const TKodraLanguage* FLanguage;
  std::u16string FSearchText;
  std::u16string FReplaceText;
  uint8_t FParts = 0;
  TSourceSearchMode FMode = smFromBeginning;
  bool FWholeWord = false;
  TLanguageInputState FInput{SystemKeyboard().Latin()};
  bool FFilled = false;

  QToolBar* ToolBar;
  QAction* actLanguage;
  QAction* actSearch;
  QAction* actHelp;
  QLabel* lblSearchFor;
  TKezUnicodeRichEdit* edSearch;
  QLabel* lblReplaceWith;
  TKezUnicodeRichEdit* edReplace;
  QCheckBox* chbWholeWord;
  QGroupBox* gbSearchIn;
  QCheckBox* chbHeader;
  QCheckBox* chbMarks;
  QCheckBox* chbAuthors;
  QCheckBox* chbArticles;
  QRadioButton* rbFromBegin;
  QRadioButton* rbFromCurrent;
  QRadioButton* rbCurrentOnly;
};
