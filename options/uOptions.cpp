#include "options/uOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>
#ifdef _WIN32
#include <windows.h>
#endif

#include "foundation/KezFiles.h"
#include "foundation/KezSafeFile.h"
#include "options/uOptionsIni.h"

namespace {
std::unique_ptr<TOptions> GOptions;

// Assigns when different and reports whether it did.
template <class T>
bool Assign(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

// ---- TOptionsFont ----

void TOptionsFont::SetFontName(const std::string& value) {
  if (Assign(FFontName, value)) FOwner.Changed();
}

void TOptionsFont::SetUseDefault(bool value) {
  // Only True does something: the name goes, the default face takes over.
  if (value) FFontName.clear();
}

void TOptionsFont::SetFontSize(int32_t value) {
  if (Assign(FFontSize, value)) FOwner.Changed();
}

// ---- TOptionsTag ----

void TOptionsTag::SetRelSize(int32_t value) {
  if (Assign(FRelSize, value)) FOwner.Changed();
}

void TOptionsTag::SetColor(TColor value) {
  if (Assign(FColor, value)) FOwner.Changed();
}

void TOptionsTag::SetDefColor(bool value) {
  if (value) FColor = clNone;
}

void TOptionsTag::SetBold(bool value) {
  if (Assign(FBold, value)) FOwner.Changed();
}

void TOptionsTag::SetItalic(bool value) {
  if (Assign(FItalic, value)) FOwner.Changed();
}

void TOptionsTag::SetUnderline(bool value) {
  if (Assign(FUnderline, value)) FOwner.Changed();
}

// ---- TEditorColors ----

void TEditorColors::SetColoring(bool value) {
  if (Assign(FColoring, value)) FOwner.Changed();
}

void TEditorColors::SetTagColor(TColor value) {
  if (Assign(FTagColor, value)) FOwner.Changed();
}

void TEditorColors::SetRussianColor(TColor value) {
  if (Assign(FRussianColor, value)) FOwner.Changed();
}

// ---- TOptionsFullTextSearch ----

void TOptionsFullTextSearch::SetSearchInComment(bool value) {
  if (Assign(FSearchInComment, value)) FOwner.MarkModified();
}

void TOptionsFullTextSearch::SetMaxSearch(int32_t value) {
  if (Assign(FMaxSearch, std::clamp(value, 1, MaxSearchLimit))) FOwner.MarkModified();
}

void TOptionsFullTextSearch::SetShowKind(TSearchResultShowKind value) {
  if (Assign(FShowKind, value)) FOwner.MarkModified();
}

void TOptionsFullTextSearch::SetHighlightAll(bool value) {
  if (Assign(FHighlightAll, value)) FOwner.MarkModified();
}

void TOptionsFullTextSearch::SetFontName(const std::string& value) {
  if (Assign(FFontName, value)) FOwner.Changed();
}

void TOptionsFullTextSearch::SetFontSize(int32_t value) {
  if (Assign(FFontSize, value)) FOwner.Changed();
}

// ---- TOptions ----

TOptions::TOptions() = default;
TOptions::~TOptions() = default;

void TOptions::Changed() {
  if (FOnChange) FOnChange();
  FModified = true;
}

void TOptions::SetNotifiers(TNotifyEvent onLocaleChange, TNotifyEvent onChange) {
  FOnLocaleChange = std::move(onLocaleChange);
  FOnChange = std::move(onChange);
}

void TOptions::ClearNotifiers() {
  FOnLocaleChange = nullptr;
  FOnChange = nullptr;
}

TFontChoice TOptions::FontChoice(const TOptionsFont& font) const {
  // A size out of range (a hand-edited file) is read as the nearest one allowed.
  return {font.UseDefault() ? FDefFontName : font.FontName(), std::clamp(font.FontSize(), kMinFontSize, kMaxFontSize)};
}

TFontChoice TOptions::FullTextFontChoice() const {
  const auto& search = FFullTextSearch;
  return {search.FontName().empty() ? FDefFontName : search.FontName(),
          std::clamp(search.FontSize(), kMinFontSize, kMaxFontSize)};
}

void TOptions::SetLocaleName(const std::string& value) {
  if (!Assign(FLocaleName, value)) return;
  if (FOnLocaleChange) FOnLocaleChange();
  FModified = true;
}

void TOptions::SetHotKey(TShortCut value) {
  if (Assign(FHotKey, value)) Changed();  // the window takes the new key at once
}

void TOptions::SetAbbrExpansion(TAbbrExpansion value) {
  if (Assign(FAbbrExpansion, value)) Changed();
}

void TOptions::SetDefFontName(const std::string& value) {
  if (Assign(FDefFontName, value)) Changed();
}

void TOptions::SetBeepOnError(bool value) {
  if (Assign(FBeepOnError, value)) FModified = true;
}

void TOptions::SetBoxOnError(bool value) {
  if (Assign(FBoxOnError, value)) FModified = true;
}

void TOptions::SetHelpOnError(bool value) {
  if (Assign(FHelpOnError, value)) FModified = true;
}

void TOptions::SetShowPopupHint(bool value) {
  if (Assign(FShowPopupHint, value)) FModified = true;
}

void TOptions::SetShowStatusHint(bool value) {
  if (Assign(FShowStatusHint, value)) FModified = true;
}

void TOptions::SetStatusDelay(int32_t value) {
  if (Assign(FStatusDelay, std::clamp(value, 1, 20))) FModified = true;
}

void TOptions::LoadFirstRunDefaults() {
  // Straight into the fields: nobody is listening yet and nothing should redraw.
  FLocaleName = UserLocaleIsRussian() ? "Russian" : "English";
  FAbbrExpansion = aeDefault;
  FStatusFont.FFontSize = 8;
  FPopupHelpFont.FFontSize = 8;
  FCaptionTag.FColor = clMaroon;
  FCaptionTag.FUnderline = true;
  FHeaderTag.FBold = true;
  FMarkTag.FColor = clGreen;
  FMarkTag.FItalic = true;
  FAuthorTag.FRelSize = 78;
  FAuthorTag.FColor = clNavy;
  FCommentTag.FItalic = true;
  FExampleTag.FColor = clGray;
  FEditorColors.SetColoring(false);
  FEditorColors.FTagColor = clBlue;
  FEditorColors.FRussianColor = clGreen;
  FBeepOnError = true;
  FBoxOnError = true;
}

bool TOptions::Save() const {
  if (FFileName.empty()) return false;
  const std::string text = WriteOptionsText(*this);
  // Through the writer every file goes through: a failure or a kill never
  // leaves a truncated file, a link stays a link, the permissions stay.
  try {
    TKezSafeFile file;
    file.Open(FFileName);
    file.Write(text.data(), text.size());
    file.Commit();
  } catch (const std::exception&) {
    return false;
  }
  // The fixed-name temporary that earlier versions wrote and a kill could leave.
  std::error_code error;
  std::filesystem::remove(FFileName + ".tmp", error);
  return true;
}

// ---- the process-wide instance ----

TOptions& Options() {
  if (!GOptions) GOptions = std::make_unique<TOptions>();
  return *GOptions;
}

std::string TOptionsLoadResult::Message() const {
  if (!Failed) return {};
  if (Kept) return "The settings file could not be read and was kept as " + std::string(kOptionsBadFileName) +
                   "; defaults are in use";
  return "The settings file could not be read; defaults are in use";
}

namespace {
TOptionsLoadResult GPendingLoadResult;

// The file's text, or an exception saying why there is none.
std::string ReadOptionsFile(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error) throw EOptionsReadError("cannot examine " + path + ": " + error.message());
  if (!std::filesystem::is_regular_file(status)) throw EOptionsReadError(path + " is not a file");
  std::string text;
  if (!ReadSmallFile(path, kOptionsFileLimit, text)) {
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > kOptionsFileLimit) throw EOptionsReadError(path + " is too large");
    throw EOptionsReadError("cannot read " + path);
  }
  return text;
}
}  // namespace

TOptionsLoadResult LoadOptions(const std::string& programFolder, const std::function<void(TOptions&)>& firstRun) {
  const std::filesystem::path folder(programFolder);
  const std::string path = (folder / kOptionsFileName).string();
  GOptions = std::make_unique<TOptions>();
  GOptions->SetFileName(path);
  TOptionsLoadResult result;
  bool loaded = false;
  std::error_code error;
  // symlink_status: a dangling link is a file that is there and cannot be read.
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    try {
      ReadOptionsText(ReadOptionsFile(path), *GOptions);
      loaded = true;
    } catch (const std::exception& e) {
      result.Failed = true;
      result.Error = e.what();
    }
  }
  if (result.Failed) {
    // Whatever was read before the error goes: the message says defaults are in use.
    GOptions = std::make_unique<TOptions>();
    GOptions->SetFileName(path);
    // One rename, which replaces an older copy: the file is under one of its
    // two names at every moment.
    const std::string kept = (folder / kOptionsBadFileName).string();
    std::filesystem::rename(path, kept, error);
    result.Kept = !error;
    if (result.Kept) result.BadFileName = kept;
    // A file that could not be put aside must not be overwritten by Save.
    else GOptions->SetFileName({});
  }
  if (!loaded) {
    // Everything a first start decides is decided before the file is
    // written: a start killed in between leaves no half-made choice behind.
    GOptions->LoadFirstRunDefaults();
    if (firstRun) firstRun(*GOptions);
    GOptions->Save();
  }
  result.FirstRun = !loaded;
  GOptions->ClearModified();
  GPendingLoadResult = result;
  return result;
}

TOptionsLoadResult TakeOptionsLoadResult() { return std::exchange(GPendingLoadResult, TOptionsLoadResult{}); }

bool UserLocaleIsRussian() {
#ifdef _WIN32
  return GetACP() == 1251;
#else
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;  // the first one set decides, as for messages
    const std::string_view locale(value);
    return locale.substr(0, 2) == "ru" && (locale.size() == 2 || locale[2] == '_' || locale[2] == '.');
  }
  return false;
#endif
}

int32_t AbbreviationShownLength(std::u16string_view word, const TOptions& options) {
  if (word.empty()) return 0;
  return options.AbbrExpansion() == aeDefault ? 2 : int32_t(word.size());
}

int32_t AbbreviationShownLength(std::u16string_view word) { return AbbreviationShownLength(word, Options()); }

// ---- hot keys ----

const std::vector<THotKeyChoice>& HotKeyChoices() {
  static const std::vector<THotKeyChoice> choices = [] {
    // What the keypad sends with Num Lock off, for Num0 to Num9.
    constexpr uint8_t keypad[10] = {0x2D, 0x23, 0x28, 0x22, 0x25, 0x0C, 0x27, 0x24, 0x26, 0x21};
    constexpr struct { char sign; uint8_t key; } operators[4] = {{'+', 0x6B}, {'-', 0x6D}, {'*', 0x6A}, {'/', 0x6F}};
    std::vector<THotKeyChoice> list;
    auto add = [&](std::string name, int value) { list.push_back({std::move(name), TShortCut(value)}); };
    auto addKeypad = [&](const std::string& prefix, int modifiers) {
      for (int i = 0; i < 10; ++i) add(prefix + "Num" + std::to_string(i), modifiers + keypad[i]);
      for (auto op : operators) add(prefix + "Num" + op.sign, modifiers + op.key);
    };
    add("Ctrl+F11", scCtrl + 0x7A);
    add("Ctrl+F12", scCtrl + 0x7B);
    addKeypad("Ctrl+", scCtrl);
    for (char c = 'A'; c <= 'Z'; ++c) add(std::string("Ctrl+Shift+") + c, scCtrl + scShift + c);
    for (int i = 1; i <= 12; ++i) add("Ctrl+Shift+F" + std::to_string(i), scCtrl + scShift + 0x6F + i);
    addKeypad("Ctrl+Shift+", scCtrl + scShift);
    return list;
  }();
  return choices;
}

// ---- the published properties ----

namespace {
// A sub-object is named twice: by its const accessor for reading and by its
// mutable one for writing.
using TFontMember = TOptionsFont& (TOptions::*)();
using TFontReader = const TOptionsFont& (TOptions::*)() const;
using TTagMember = TOptionsTag& (TOptions::*)();
using TTagReader = const TOptionsTag& (TOptions::*)() const;

TOptionsProperty MakeBoolean(std::string path, bool declaredDefault, bool (*get)(const TOptions&),
                             void (*set)(TOptions&, bool)) {
  TOptionsProperty p;
  p.Path = std::move(path);
  p.Type = ptBoolean;
  p.Stored = [get, declaredDefault](const TOptions& o) { return get(o) != declaredDefault; };
  p.GetOrdinal = [get](const TOptions& o) { return int32_t(get(o)); };
  p.SetOrdinal = [set](TOptions& o, int32_t v) { set(o, v != 0); };
  return p;
}

TOptionsProperty MakeOrdinal(std::string path, TOptionsPropertyType type, int32_t declaredDefault,
                             std::function<int32_t(const TOptions&)> get,
                             std::function<void(TOptions&, int32_t)> set) {
  TOptionsProperty p;
  p.Path = std::move(path);
  p.Type = type;
  p.Stored = [get, declaredDefault](const TOptions& o) { return get(o) != declaredDefault; };
  p.GetOrdinal = std::move(get);
  p.SetOrdinal = std::move(set);
  return p;
}

TOptionsProperty MakeString(std::string path, std::function<std::string(const TOptions&)> get,
                            std::function<void(TOptions&, const std::string&)> set) {
  TOptionsProperty p;
  p.Path = std::move(path);
  p.Type = ptString;
  p.Stored = [get](const TOptions& o) { return !get(o).empty(); };
  p.GetString = std::move(get);
  p.SetString = std::move(set);
  return p;
}

void AddFont(std::vector<TOptionsProperty>& list, const std::string& name, TFontMember font, TFontReader read) {
  list.push_back(MakeString(
      name + ".FontName", [read](const TOptions& o) { return (o.*read)().FontName(); },
      [font](TOptions& o, const std::string& v) { (o.*font)().SetFontName(v); }));
  auto useDefault = MakeOrdinal(
      name + ".UseDefault", ptBoolean, 0, [read](const TOptions& o) { return int32_t((o.*read)().UseDefault()); },
      [font](TOptions& o, int32_t v) { (o.*font)().SetUseDefault(v != 0); });
  useDefault.Stored = [](const TOptions&) { return false; };
  list.push_back(std::move(useDefault));
  list.push_back(MakeOrdinal(
      name + ".FontSize", ptInteger, 12, [read](const TOptions& o) { return (o.*read)().FontSize(); },
      [font](TOptions& o, int32_t v) { (o.*font)().SetFontSize(v); }));
}

void AddTag(std::vector<TOptionsProperty>& list, const std::string& name, TTagMember tag, TTagReader read) {
  list.push_back(MakeOrdinal(
      name + ".RelSize", ptInteger, 100, [read](const TOptions& o) { return (o.*read)().RelSize(); },
      [tag](TOptions& o, int32_t v) { (o.*tag)().SetRelSize(v); }));
  // The declared default is black while a new tag holds clNone: black is
  // therefore never written and comes back as clNone.
  list.push_back(MakeOrdinal(
      name + ".Color", ptColor, clBlack, [read](const TOptions& o) { return (o.*read)().Color(); },
      [tag](TOptions& o, int32_t v) { (o.*tag)().SetColor(v); }));
  auto defColor = MakeOrdinal(
      name + ".DefColor", ptBoolean, 0, [read](const TOptions& o) { return int32_t((o.*read)().DefColor()); },
      [tag](TOptions& o, int32_t v) { (o.*tag)().SetDefColor(v != 0); });
  defColor.Stored = [](const TOptions&) { return false; };
  list.push_back(std::move(defColor));
  list.push_back(MakeOrdinal(
      name + ".Bold", ptBoolean, 0, [read](const TOptions& o) { return int32_t((o.*read)().Bold()); },
      [tag](TOptions& o, int32_t v) { (o.*tag)().SetBold(v != 0); }));
  list.push_back(MakeOrdinal(
      name + ".Italic", ptBoolean, 0, [read](const TOptions& o) { return int32_t((o.*read)().Italic()); },
      [tag](TOptions& o, int32_t v) { (o.*tag)().SetItalic(v != 0); }));
  list.push_back(MakeOrdinal(
      name + ".Underline", ptBoolean, 0, [read](const TOptions& o) { return int32_t((o.*read)().Underline()); },
      [tag](TOptions& o, int32_t v) { (o.*tag)().SetUnderline(v != 0); }));
}

std::vector<TOptionsProperty> BuildProperties() {
  std::vector<TOptionsProperty> list;
  list.push_back(MakeString(
      "LocaleName", [](const TOptions& o) { return o.LocaleName(); },
      [](TOptions& o, const std::string& v) { o.SetLocaleName(v); }));
  list.push_back(MakeOrdinal(
      "HotKey", ptShortCut, TOptions::DefaultHotKey, [](const TOptions& o) { return int32_t(o.HotKey()); },
      [](TOptions& o, int32_t v) { o.SetHotKey(TShortCut(v)); }));
  auto abbr = MakeOrdinal(
      "AbbrExpansion", ptEnumeration, aeDefault, [](const TOptions& o) { return int32_t(o.AbbrExpansion()); },
      [](TOptions& o, int32_t v) { o.SetAbbrExpansion(TAbbrExpansion(v)); });
  abbr.Identifiers = {"aeDefault", "aeFull", "aeSub"};
  list.push_back(std::move(abbr));
  list.push_back(MakeString(
      "DefFontName", [](const TOptions& o) { return o.DefFontName(); },
      [](TOptions& o, const std::string& v) { o.SetDefFontName(v); }));

  AddFont(list, "SearchFont", &TOptions::SearchFont, &TOptions::SearchFont);
  AddFont(list, "ListFont", &TOptions::ListFont, &TOptions::ListFont);
  AddFont(list, "ArticleFont", &TOptions::ArticleFont, &TOptions::ArticleFont);
  AddFont(list, "StatusFont", &TOptions::StatusFont, &TOptions::StatusFont);
  AddFont(list, "EditorFont", &TOptions::EditorFont, &TOptions::EditorFont);
  AddFont(list, "PopupHelpFont", &TOptions::PopupHelpFont, &TOptions::PopupHelpFont);
  AddTag(list, "CaptionTag", &TOptions::CaptionTag, &TOptions::CaptionTag);
  AddTag(list, "HeaderTag", &TOptions::HeaderTag, &TOptions::HeaderTag);
  AddTag(list, "MarkTag", &TOptions::MarkTag, &TOptions::MarkTag);
  AddTag(list, "AuthorTag", &TOptions::AuthorTag, &TOptions::AuthorTag);
  AddTag(list, "EnumTag", &TOptions::EnumTag, &TOptions::EnumTag);
  AddTag(list, "CommentTag", &TOptions::CommentTag, &TOptions::CommentTag);
  AddTag(list, "ExampleTag", &TOptions::ExampleTag, &TOptions::ExampleTag);

  list.push_back(MakeBoolean(
      "EditorColors.Coloring", false, [](const TOptions& o) { return o.EditorColors().Coloring(); },
      [](TOptions& o, bool v) { o.EditorColors().SetColoring(v); }));
  list.push_back(MakeOrdinal(
      "EditorColors.TagColor", ptColor, clBlue, [](const TOptions& o) { return o.EditorColors().TagColor(); },
      [](TOptions& o, int32_t v) { o.EditorColors().SetTagColor(v); }));
  list.push_back(MakeOrdinal(
      "EditorColors.RussianColor", ptColor, clGreen,
      [](const TOptions& o) { return o.EditorColors().RussianColor(); },
      [](TOptions& o, int32_t v) { o.EditorColors().SetRussianColor(v); }));

  list.push_back(MakeBoolean(
      "FullTextSearch.SearchInComment", false, [](const TOptions& o) { return o.FullTextSearch().SearchInComment(); },
      [](TOptions& o, bool v) { o.FullTextSearch().SetSearchInComment(v); }));
  list.push_back(MakeOrdinal(
      "FullTextSearch.MaxSearch", ptInteger, 1000, [](const TOptions& o) { return o.FullTextSearch().MaxSearch(); },
      [](TOptions& o, int32_t v) { o.FullTextSearch().SetMaxSearch(v); }));
  auto showKind = MakeOrdinal(
      "FullTextSearch.ShowKind", ptEnumeration, skAll,
      [](const TOptions& o) { return int32_t(o.FullTextSearch().ShowKind()); },
      [](TOptions& o, int32_t v) { o.FullTextSearch().SetShowKind(TSearchResultShowKind(v)); });
  showKind.Identifiers = {"skAll", "skFirst"};
  list.push_back(std::move(showKind));
  list.push_back(MakeBoolean(
      "FullTextSearch.HighlightAll", false, [](const TOptions& o) { return o.FullTextSearch().HighlightAll(); },
      [](TOptions& o, bool v) { o.FullTextSearch().SetHighlightAll(v); }));
  list.push_back(MakeString(
      "FullTextSearch.FontName", [](const TOptions& o) { return o.FullTextSearch().FontName(); },
      [](TOptions& o, const std::string& v) { o.FullTextSearch().SetFontName(v); }));
  list.push_back(MakeOrdinal(
      "FullTextSearch.FontSize", ptInteger, 12, [](const TOptions& o) { return o.FullTextSearch().FontSize(); },
      [](TOptions& o, int32_t v) { o.FullTextSearch().SetFontSize(v); }));

  list.push_back(MakeBoolean(
      "BeepOnError", true, [](const TOptions& o) { return o.BeepOnError(); },
      [](TOptions& o, bool v) { o.SetBeepOnError(v); }));
  list.push_back(MakeBoolean(
      "BoxOnError", true, [](const TOptions& o) { return o.BoxOnError(); },
      [](TOptions& o, bool v) { o.SetBoxOnError(v); }));
  list.push_back(MakeBoolean(
      "HelpOnError", true, [](const TOptions& o) { return o.HelpOnError(); },
      [](TOptions& o, bool v) { o.SetHelpOnError(v); }));
  list.push_back(MakeBoolean(
      "ShowPopupHint", true, [](const TOptions& o) { return o.ShowPopupHint(); },
      [](TOptions& o, bool v) { o.SetShowPopupHint(v); }));
  list.push_back(MakeBoolean(
      "ShowStatusHint", true, [](const TOptions& o) { return o.ShowStatusHint(); },
      [](TOptions& o, bool v) { o.SetShowStatusHint(v); }));
  list.push_back(MakeOrdinal(
      "StatusDelay", ptInteger, 8, [](const TOptions& o) { return o.StatusDelay(); },
      [](TOptions& o, int32_t v) { o.SetStatusDelay(v); }));
  return list;
}
}  // namespace

const std::vector<TOptionsProperty>& OptionsProperties() {
  static const std::vector<TOptionsProperty> list = BuildProperties();
  return list;
}
