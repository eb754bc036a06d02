#pragma once
// The font table editor: the characters of the current language on the
// left, the 224 glyphs of a legacy 8-bit font in a grid, and for the
// selected character the code sequences that stand for it and the table
// line they make. Saved tables teach the paste conversion that font.
#include <QDialog>
#include <QFont>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QScrollArea;
class TFontTableModel;
class TKezListBox;
class TKodraLanguage;
class TFontGrid;
class TFontSequences;

class TFormFontEditor : public QDialog {
  Q_OBJECT
public:
  TFormFontEditor(QWidget* parent, TKodraLanguage* language);
  ~TFormFontEditor() override;

  // Chooses the legacy font (lower-cased) and loads its table from the
  // language folder when there is one; empty for no font.
  void SetFontName(const std::string& faceName);
  const std::string& FontName() const { return FFontName; }
  TFontTableModel& Model() const { return *FModel; }
  int32_t Selected() const;
  void Select(int32_t index);
  // A click on the grid's cell of the code.
  void ClickCode(uint32_t code);
  bool Save();
  // Asks to save changes: false when the user cancels.
  bool AskToSave();
  QString TableLine() const;
  QAction* Action(const char* name) const;
  bool AsciiView() const;
  void UpdateActions();

  // Closing (the close box, Escape, Exit) asks to save changes first.
  void reject() override;

private:
  void CreateActions();
  void Refresh();
  void NewFont();
  void OpenTable();
  void Reset();

  TKodraLanguage* FLanguage;
  std::unique_ptr<TFontTableModel> FModel;
  std::string FFontName;
  QString FBaseCaption;
  QFont FAsciiFont;  // the ASCII view's Latin-1 text
  TKezListBox* lstUnicode;
  QLabel* pbUnicode;
  TFontSequences* pbAnsi;
  QLabel* lblText;
  TFontGrid* pbFont;
  QScrollArea* FGridScroll;
  friend class TFontGrid;
  friend class TFontSequences;
};
