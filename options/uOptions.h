#pragma once
// The user-adjustable settings of the viewer and the editor: one object tree
// held in the process-wide Options, persisted in "kodra3.ini" in the program
// folder. Setters compare first, clamp where a range applies and notify the
// window that has registered for changes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/KezColor.h"

enum TAbbrExpansion : uint8_t { aeDefault = 0, aeFull = 1, aeSub = 2 };
enum TSearchResultShowKind : uint8_t { skAll = 0, skFirst = 1 };

// Virtual-key code in the low byte plus 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

using TNotifyEvent = std::function<void()>;

class TOptions;

// Font sizes the article, the lists and the fields can be read in: smaller
// is unreadable, larger leaves no room for a line.
constexpr int32_t kMinFontSize = 6;
constexpr int32_t kMaxFontSize = 72;

class TOptionsFont {
public:
  explicit TOptionsFont(TOptions& owner) : FOwner(owner) {}
  TOptionsFont(const TOptionsFont&) = delete;
  TOptionsFont& operator=(const TOptionsFont&) = delete;

  // Empty means that the options' DefFontName is used.
  const std::string& FontName() const { return FFontName; }
  void SetFontName(const std::string& value);
  bool UseDefault() const { return FFontName.empty(); }
  void SetUseDefault(bool value);
  int32_t FontSize() const { return FFontSize; }
  void SetFontSize(int32_t value);

private:
  friend class TOptions;
  TOptions& FOwner;
  std::string FFontName;
  int32_t FFontSize = 12;
};

class TOptionsTag {
public:
  explicit TOptionsTag(TOptions& owner) : FOwner(owner) {}
  TOptionsTag(const TOptionsTag&) = delete;
  TOptionsTag& operator=(const TOptionsTag&) = delete;

  // Percent of the article font size.
  int32_t RelSize() const { return FRelSize; }
  void SetRelSize(int32_t value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  bool DefColor() const { return FColor == clNone; }
  void SetDefColor(bool value);
  bool Bold() const { return FBold; }
  void SetBold(bool value);
  bool Italic() const { return FItalic; }
  void SetItalic(bool value);
  bool Underline() const { return FUnderline; }
  void SetUnderline(bool value);

private:
  friend class TOptions;
  TOptions& FOwner;
  int32_t FRelSize = 100;
  TColor FColor = clNone;
  bool FBold = false;
  bool FItalic = false;
  bool FUnderline = false;
};

class TEditorColors {
public:
  explicit TEditorColors(TOptions& owner) : FOwner(owner) {}
  TEditorColors(const TEditorColors&) = delete;
  TEditorColors& operator=(const TEditorColors&) = delete;

  bool Coloring() const { return FColoring; }
  void SetColoring(bool value);
  TColor TagColor() const { return FTagColor; }
  void SetTagColor(TColor value);
  TColor RussianColor() const { return FRussianColor; }
  void SetRussianColor(TColor value);

private:
  friend class TOptions;
  TOptions& FOwner;
  bool FColoring = false;
  TColor FTagColor = clBlue;
  TColor FRussianColor = clGreen;
};

class TOptionsFullTextSearch {
public:
  static constexpr int32_t MaxSearchLimit = 8000;

  explicit TOptionsFullTextSearch(TOptions& owner) : FOwner(owner) {}
  TOptionsFullTextSearch(const TOptionsFullTextSearch&) = delete;
  TOptionsFullTextSearch& operator=(const TOptionsFullTextSearch&) = delete;

  bool SearchInComment() const { return FSearchInComment; }
  void SetSearchInComment(bool value);
  // Clamped to 1..8000.
  int32_t MaxSearch() const { return FMaxSearch; }
  void SetMaxSearch(int32_t value);
  TSearchResultShowKind ShowKind() const { return FShowKind; }
  void SetShowKind(TSearchResultShowKind value);
  bool HighlightAll() const { return FHighlightAll; }
  void SetHighlightAll(bool value);
  // Font of the search-results list; empty means DefFontName.
  const std::string& FontName() const { return FFontName; }
  void SetFontName(const std::string& value);
  int32_t FontSize() const { return FFontSize; }
  void SetFontSize(int32_t value);

private:
  TOptions& FOwner;
  bool FSearchInComment = false;
  int32_t FMaxSearch = 1000;
  TSearchResultShowKind FShowKind = skAll;
  bool FHighlightAll = false;
  std::string FFontName;
  int32_t FFontSize = 12;
};

// A face and a size in points, ready for the window layer's font object.
struct TFontChoice {
  std::string FaceName;
  int32_t Size = 0;
};

class TOptions {
public:
  static constexpr TShortCut DefaultHotKey = scCtrl + 0x7A;  // Ctrl+F11

  TOptions();
  ~TOptions();
  TOptions(const TOptions&) = delete;
  TOptions& operator=(const TOptions&) = delete;

  // The file that Save writes; LoadOptions sets it.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& fileName) { FFileName = fileName; }

  // Writes the whole object. A failure leaves the previous file as it was and
  // is not reported beyond the result.
  bool Save() const;
  // The settings of a first start, applied without notification (not saved).
  void LoadFirstRunDefaults();

  void SetNotifiers(TNotifyEvent onLocaleChange, TNotifyEvent onChange);
  void ClearNotifiers();
  bool Modified() const { return FModified; }
  void ClearModified() { FModified = false; }

  TFontChoice FontChoice(const TOptionsFont& font) const;
  TFontChoice FullTextFontChoice() const;

  const std::string& LocaleName() const { return FLocaleName; }
  void SetLocaleName(const std::string& value);
  TShortCut HotKey() const { return FHotKey; }
  void SetHotKey(TShortCut value);
  TAbbrExpansion AbbrExpansion() const { return FAbbrExpansion; }
  void SetAbbrExpansion(TAbbrExpansion value);
  const std::string& DefFontName() const { return FDefFontName; }
  void SetDefFontName(const std::string& value);

  TOptionsFont& SearchFont() { return FSearchFont; }
  TOptionsFont& ListFont() { return FListFont; }
  TOptionsFont& ArticleFont() { return FArticleFont; }
  TOptionsFont& StatusFont() { return FStatusFont; }
  TOptionsFont& EditorFont() { return FEditorFont; }
  TOptionsFont& PopupHelpFont() { return FPopupHelpFont; }
  const TOptionsFont& SearchFont() const { return FSearchFont; }
  const TOptionsFont& ListFont() const { return FListFont; }
  const TOptionsFont& ArticleFont() const { return FArticleFont; }
  const TOptionsFont& StatusFont() const { return FStatusFont; }
  const TOptionsFont& EditorFont() const { return FEditorFont; }
  const TOptionsFont& PopupHelpFont() const { return FPopupHelpFont; }

  TOptionsTag& CaptionTag() { return FCaptionTag; }
  TOptionsTag& HeaderTag() { return FHeaderTag; }
  TOptionsTag& MarkTag() { return FMarkTag; }
  TOptionsTag& AuthorTag() { return FAuthorTag; }
  TOptionsTag& EnumTag() { return FEnumTag; }
  TOptionsTag& CommentTag() { return FCommentTag; }
  TOptionsTag& ExampleTag() { return FExampleTag; }
  const TOptionsTag& CaptionTag() const { return FCaptionTag; }
  const TOptionsTag& HeaderTag() const { return FHeaderTag; }
  const TOptionsTag& MarkTag() const { return FMarkTag; }
  const TOptionsTag& AuthorTag() const { return FAuthorTag; }
  const TOptionsTag& EnumTag() const { return FEnumTag; }
  const TOptionsTag& CommentTag() const { return FCommentTag; }
  const TOptionsTag& ExampleTag() const { return FExampleTag; }

  TEditorColors& EditorColors() { return FEditorColors; }
  const TEditorColors& EditorColors() const { return FEditorColors; }
  TOptionsFullTextSearch& FullTextSearch() { return FFullTextSearch; }
  const TOptionsFullTextSearch& FullTextSearch() const { return FFullTextSearch; }

  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value);
  bool BoxOnError() const { return FBoxOnError; }
  void SetBoxOnError(bool value);
  bool HelpOnError() const { return FHelpOnError; }
  void SetHelpOnError(bool value);
  bool ShowPopupHint() const { return FShowPopupHint; }
  void SetShowPopupHint(bool value);
  bool ShowStatusHint() const { return FShowStatusHint; }
  void SetShowStatusHint(bool value);
  // Seconds, clamped to 1..20.
  int32_t StatusDelay() const { return FStatusDelay; }
  void SetStatusDelay(int32_t value);

  // Used by the sub-objects' setters.
  void Changed();
  void MarkModified() { FModified = true; }

private:
  std::string FFileName;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnLocaleChange;
  bool FModified = false;

  std::string FLocaleName;
  TShortCut FHotKey = DefaultHotKey;
  TAbbrExpansion FAbbrExpansion = aeDefault;
  std::string FDefFontName = "Tahoma";
  TOptionsFont FSearchFont{*this};
  TOptionsFont FListFont{*this};
  TOptionsFont FArticleFont{*this};
  TOptionsFont FStatusFont{*this};
  TOptionsFont FEditorFont{*this};
  TOptionsFont FPopupHelpFont{*this};
  TOptionsTag FCaptionTag{*this};
  TOptionsTag FHeaderTag{*this};
  TOptionsTag FMarkTag{*this};
  TOptionsTag FAuthorTag{*this};
  TOptionsTag FEnumTag{*this};
  TOptionsTag FCommentTag{*this};
  TOptionsTag FExampleTag{*this};
  TEditorColors FEditorColors{*this};
  TOptionsFullTextSearch FFullTextSearch{*this};
  bool FBeepOnError = true;
  bool FBoxOnError = true;
  bool FHelpOnError = true;
  bool FShowPopupHint = true;
  bool FShowStatusHint = true;
  int32_t FStatusDelay = 8;
};

// The published properties in stream order, each with its dotted path
// ("StatusFont.FontSize"), read and written through the setters above. The
// file format and the options window both work from this one list.
enum TOptionsPropertyType : uint8_t { ptBoolean, ptInteger, ptShortCut, ptEnumeration, ptColor, ptString };

struct TOptionsProperty {
  std::string Path;
  TOptionsPropertyType Type;
  std::vector<std::string> Identifiers;  // of an enumeration, by ordinal
  // Whether the value is written: it differs from the declared default.
  std::function<bool(const TOptions&)> Stored;
  // Booleans (0/1), integers, shortcuts, enumeration ordinals and colours.
  std::function<int32_t(const TOptions&)> GetOrdinal;
  std::function<void(TOptions&, int32_t)> SetOrdinal;
  std::function<std::string(const TOptions&)> GetString;
  std::function<void(TOptions&, const std::string&)> SetString;
};

const std::vector<TOptionsProperty>& OptionsProperties();

// The process-wide options. Holds constructor values until LoadOptions runs.
TOptions& Options();

// What LoadOptions made of the settings file.
struct TOptionsLoadResult {
  // The file was there but could not be read or parsed: defaults are in use.
  bool Failed = false;
  // No settings were read: the first-run settings are in use.
  bool FirstRun = false;
  // It was renamed to BadFileName, replacing an older one, before a fresh
  // file was written. When it could not be renamed it stays untouched and
  // the options are not saved at all (FileName is empty).
  bool Kept = false;
  std::string BadFileName;
  std::string Error;  // the reader's reason: "line 3: unknown property Bogus"

  // One line for the user, in English; empty when nothing failed.
  std::string Message() const;
};

// Creates Options afresh and reads programFolder/"kodra3.ini" into it.
// Without the file the first-run settings are applied, then firstRun (the
// program's own first-start choices), then they are saved. A file that
// cannot be read or parsed is never lost: it is kept as "kodra3.ini.bad" and
// the first-run settings are saved in a fresh file. The result is also kept
// until TakeOptionsLoadResult, so that the window can report it once.
TOptionsLoadResult LoadOptions(const std::string& programFolder,
                               const std::function<void(TOptions&)>& firstRun = {});
// The result of the last LoadOptions, once: later calls return an empty result.
TOptionsLoadResult TakeOptionsLoadResult();

// The settings file's name in the program folder, and the name a file that
// failed to load is kept under.
constexpr const char* kOptionsFileName = "kodra3.ini";
constexpr const char* kOptionsBadFileName = "kodra3.ini.bad";
// A settings file larger than this is not read (the program writes well
// under 100 kB): it counts as unreadable.
constexpr size_t kOptionsFileLimit = 64 * 1024 * 1024;

// Whether the user's locale asks for the Russian interface at first start.
bool UserLocaleIsRussian();

// The number of characters an abbreviation occupies in a rendered article:
// letter and point under aeDefault, otherwise the whole word.
int32_t AbbreviationShownLength(std::u16string_view word, const TOptions& options);
int32_t AbbreviationShownLength(std::u16string_view word);

// The global hot-key choices of the options window, in their order.
struct THotKeyChoice {
  std::string Name;
  TShortCut Value;
};
const std::vector<THotKeyChoice>& HotKeyChoices();
