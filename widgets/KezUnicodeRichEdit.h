#pragma once
// The rich-text edit control of every text box that shows or takes Greek:
// the search boxes, the article view, the editor's panes, the character
// window's edit line and the languages' hidden clipboard edit.
//
// Positions count UTF-16 units, one per paragraph end. The text the control
// reports has '\n' at paragraph ends and U+000B at line breaks inside a
// paragraph, exactly as ReadRtf's PlainText, so that positions counted in an
// RTF document hold in the control that loaded it.
//
// The clipboard carries RTF ("text/rtf") beside plain text both ways, so
// that the face names of pasted text survive for the clipboard conversion.
#include <QTextEdit>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "language/uCommon.h"
#include "render/KezRichEdit.h"
#include "render/uRtfReader.h"

class QKeyEvent;
class TKodraLanguage;

enum TKezScrollBars : uint8_t { sbNone = 0, sbHorizontal = 1, sbVertical = 2, sbBoth = 3 };

class TKezUnicodeRichEdit : public QTextEdit, public TKezAbstractRichEdit {
  Q_OBJECT
public:
  // True when the character separates words.
  using TWordBreakRule = std::function<bool(char16_t c)>;
  using TNotifyEvent = std::function<void(TKezUnicodeRichEdit& sender)>;
  // Setting handled swallows the key: the control does nothing more with it.
  using TKeyEvent = std::function<void(TKezUnicodeRichEdit& sender, QKeyEvent& event, bool& handled)>;

  explicit TKezUnicodeRichEdit(QWidget* parent = nullptr);
  ~TKezUnicodeRichEdit() override;

  // Content. SetText and LoadRtf replace everything, forget the undo
  // history and clear the modified flag; the caret goes to the start.
  std::u16string Text() const override;
  void SetText(std::u16string_view text) override;
  int32_t TextLength() const override;
  // 0 outside the text.
  char16_t CharAt(int32_t position) const override;
  std::u16string TextRange(int32_t start, int32_t end) const override;
  void WordRange(int32_t position, int32_t& start, int32_t& end) const override;
  // The character under a point of the viewport (for the word under the
  // mouse): the nearest one on the line at that height; -1 when empty.
  int32_t CharFromPos(const QPoint& point) const;

  // Selection. GetSelection gives start <= end; SetSelection puts the caret
  // at end, so a selection may run backwards.
  void GetSelection(int32_t& start, int32_t& end) const override;
  void SetSelection(int32_t start, int32_t end) override;
  int32_t CaretPosition() const override;

  // Insertion. Plain text takes the format at the insertion point. An RTF
  // fragment brings the formats it names; what it leaves unsaid (the size
  // of a fragment without \fs, the face of one without a font table) is
  // the insertion point's. Text that is not RTF is inserted as plain text.
  void ReplaceSelection(std::u16string_view text) override;
  void ReplaceSelectionRtf(std::string_view fragment) override;
  void LoadRtf(std::string_view document) override;
  void LoadDocument(const TRtfDocument& document);
  // Inserts what a program offers, as a paste would: rich text where it is
  // offered, else plain text.
  void InsertMimeData(const QMimeData& source) { insertFromMimeData(&source); }

  // Formats. The face is the one the character shows in: the control's
  // font where the text names none.
  std::string SelectionFontName() const override;
  TRtfCharFormat CharFormatAt(int32_t position) const;
  // The paragraphs and runs of a range; a range that takes in a paragraph
  // end has the next paragraph in it, empty or not.
  TRtfDocument RangeDocument(int32_t start, int32_t end) const;
  // What Copy puts on the clipboard as "text/rtf".
  std::string SelectionRtf() const;

  // Editing: cut(), copy(), paste() and undo() are QTextEdit's slots.
  void DeleteSelection() { ReplaceSelection(u""); }
  bool CanUndo() const;

  // An insertion that would make the text longer than MaxLength is refused
  // with a beep and changes nothing. 0: no limit.
  int32_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(int32_t length);
  // 0 switches undo off. Any other depth keeps every step: the document's
  // undo stack has no limit of its own.
  int32_t UndoLimit() const { return FUndoLimit; }
  void SetUndoLimit(int32_t depth);

  // State; read-only is QTextEdit's (isReadOnly, setReadOnly).
  bool Modified() const;
  void SetModified(bool modified);
  // The selection is not drawn while the control has no focus.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool hide);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wrap);
  // A single-line control passes Enter on to its window and inserts line
  // breaks as spaces.
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool multiLine);
  TKezScrollBars ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TKezScrollBars scrollBars);

  // Words for WordRange and double clicks. The default rule breaks at
  // everything but letters, digits, marks, "_" and private-use characters.
  void SetWordBreakRule(TWordBreakRule rule);
  static bool DefaultWordBreak(char16_t c);
  // The article view's rule: words run from blank to blank.
  static bool BlankWordBreak(char16_t c) { return c <= 0x20; }

  // With a language set, a key that gives a character of the language
  // (KeyToChar) is typed through its input method (TypeChar) and swallowed,
  // its release too; other keys go on as usual. Null switches it off.
  const TKodraLanguage* LanguageInput() const { return FLanguage; }
  void SetLanguageInput(const TKodraLanguage* language) { FLanguage = language; }

  // Events. Key down comes first for every key; key press follows for a key
  // that gives text, unless key down swallowed it.
  void SetOnKeyDown(TKeyEvent handler) { FOnKeyDown = std::move(handler); }
  void SetOnKeyPress(TKeyEvent handler) { FOnKeyPress = std::move(handler); }
  void SetOnKeyUp(TKeyEvent handler) { FOnKeyUp = std::move(handler); }
  void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }
  void SetOnSelectionChange(TNotifyEvent handler) { FOnSelectionChange = std::move(handler); }

protected:
  // Refused insertions end here.
  virtual void Beep();

  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  QMimeData* createMimeDataFromSelection() const override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

private:
  bool AcceptsInsertion(int32_t removed, int32_t inserted);
  QString ToDocumentText(std::u16string_view text) const;
  void InsertDocument(const TRtfDocument& document, uint32_t formats);
  void ApplyHideSelection();
  void NotifySelectionChange();

  int32_t FMaxLength = 0;
  int32_t FUndoLimit = 100;
  bool FHideSelection = true;
  bool FWordWrap = true;
  bool FMultiLine = true;
  TKezScrollBars FScrollBars = sbBoth;
  TWordBreakRule FWordBreak;
  const TKodraLanguage* FLanguage = nullptr;
  int FSwallowedKey = 0;  // the key whose release is swallowed with it
  int32_t FLastAnchor = 0, FLastCaret = 0;
  TKeyEvent FOnKeyDown, FOnKeyPress, FOnKeyUp;
  TNotifyEvent FOnChange, FOnSelectionChange;
};

// The Windows virtual-key code and shift state of a key event, by the key's
// position on a US keyboard where the platform tells it (so that the system
// layout does not matter), else by the key Qt reports. False for keys
// without a code.
bool VirtualKeyOf(const QKeyEvent& event, uint16_t& virtualKey, TShiftState& shift);
