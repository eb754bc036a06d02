#pragma once
// The character window: a piece of text of a language composed with the
// mouse or the keyboard. One page shows a keyboard with the language's
// letter on every key, the other a table of all its letters; clicking either
// puts the letter into the edit line at the top, which also types through
// the language's input method. Apply (or Enter) closes the window with OK
// and the caller takes Text(). The window's placement and its page are kept
// in the user's settings.
#include <QDialog>
#include <string>

class QAction;
class QLabel;
class QStatusBar;
class QTabWidget;
class QToolBar;
class TCharMapKeyboard;
class TCharMapTable;
class TKezUnicodeRichEdit;
class TKodraLanguage;

class TFormCharMap : public QDialog {
  Q_OBJECT
public:
  // Without a language the program's current one serves.
  TFormCharMap(QWidget* parent, const TKodraLanguage* language);
  ~TFormCharMap() override;

  // The text composed, also after the window was closed.
  std::u16string Text() const;

  void done(int result) override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateActions();
  void CreateControls();
  void NameParts();
  void RestoreLayout();
  void SaveLayout();
  void Insert(char16_t c);
  void Paste();
  void SetCapitals(bool capitals);
  void UpdateActions();
  void PostApply();

  const TKodraLanguage* FLanguage;
  bool FClipboardHasText = false;
  bool FLayoutSaved = false;

  QToolBar* ToolBar;
  TKezUnicodeRichEdit* Edit;
  QTabWidget* PageControl;
  QWidget* tsKeyboard;
  QWidget* tsCharMap;
  TCharMapKeyboard* pbKeyboard;
  TCharMapTable* pbCharMap;
  QStatusBar* StatusBar;
  QLabel* lblStatus;
};
