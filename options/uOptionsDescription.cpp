#include "options/uOptionsDescription.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <stdexcept>

#include "foundation/KezColor.h"
#include "foundation/KezLocale.h"
#include "options/uOptions.h"

namespace {
std::function<std::vector<TNamedText>()> gLanguages;
std::function<std::vector<std::string>()> gFonts;

// A list of names with values, shown in the interface language: the key is
// the prefix and the name, the name itself where the language has no text.
// Built afresh at every request, so a change of language shows at once.
class TNamedListConverter : public TValueConverter {
public:
  // Each entry: the name its key is made of, its value, and its English
  // text when that is not the name itself.
  struct TEntry {
    const char* Name;
    int32_t Value;
    const char* English = nullptr;
  };
  TNamedListConverter(const char* prefix, std::vector<TEntry> entries) : FPrefix(prefix), FEntries(std::move(entries)) {}
  std::vector<TNamedValue> List() const override {
    std::vector<TNamedValue> list;
    for (const TEntry& entry : FEntries)
      list.push_back({Locale().Text(FPrefix + std::string(entry.Name), entry.English ? entry.English : entry.Name),
                      entry.Value});
    return list;
  }

private:
  const char* FPrefix;
  std::vector<TEntry> FEntries;
};

class THotKeyConverter : public TValueConverter {
public:
  std::vector<TNamedValue> List() const override {
    std::vector<TNamedValue> list;
    for (const THotKeyChoice& choice : HotKeyChoices()) list.push_back({choice.Name, choice.Value});
    return list;
  }
};

// Values that are their own text: font names.
class TTextListConverter : public TValueConverter {
public:
  explicit TTextListConverter(const std::function<std::vector<std::string>()>& source) : FSource(source) {}
  bool IsText() const override { return true; }
  std::vector<TNamedValue> List() const override {
    std::vector<TNamedValue> list;
    if (FSource)
      for (std::string& name : FSource()) list.push_back({std::move(name), 0});
    return list;
  }

private:
  const std::function<std::vector<std::string>()>& FSource;
};

bool SameLetters(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Texts kept as one name and shown by another: interface languages.
class TNamedTextConverter : public TValueConverter {
public:
  explicit TNamedTextConverter(const std::function<std::vector<TNamedText>()>& source) : FSource(source) {}
  bool IsText() const override { return true; }
  std::vector<TNamedValue> List() const override {
    std::vector<TNamedValue> list;
    for (TNamedText& entry : Entries()) list.push_back({std::move(entry.Shown), 0});
    return list;
  }
  std::string ShownText(const std::string& value) const override {
    for (const TNamedText& entry : Entries())
      if (SameLetters(entry.Value, value)) return entry.Shown;
    return value;
  }
  std::string ValueText(const std::string& shown) const override {
    const std::vector<TNamedText> entries = Entries();
    for (const TNamedText& entry : entries)
      if (entry.Shown == shown) return entry.Value;
    for (const TNamedText& entry : entries)
      if (SameLetters(entry.Value, shown)) return entry.Value;
    return shown;
  }

private:
  std::vector<TNamedText> Entries() const { return FSource ? FSource() : std::vector<TNamedText>(); }
  const std::function<std::vector<TNamedText>()>& FSource;
};

class TGroupConverter : public TValueConverter {
public:
  explicit TGroupConverter(std::string table) : FTable(std::move(table)) {}
  std::string ChildTable() const override { return FTable; }

private:
  std::string FTable;
};

const TNamedListConverter kColors("OptionColor", {{"Black", clBlack},
                                                  {"Maroon", clMaroon},
                                                  {"Green", clGreen},
                                                  {"Olive", clOlive},
                                                  {"Navy", clNavy},
                                                  {"Purple", clPurple},
                                                  {"Teal", clTeal},
                                                  {"Gray", clGray},
                                                  {"Silver", clSilver},
                                                  {"Red", clRed},
                                                  {"Lime", clLime},
                                                  {"Yellow", clYellow},
                                                  {"Blue", clBlue},
                                                  {"Fuchsia", clFuchsia},
                                                  {"Aqua", clAqua},
                                                  {"White", clWhite},
                                                  {"None", clNone}});
const TNamedListConverter kAbbreviationModes("OptionAbbrExpansion", {{"FirstLetter", aeDefault, "First letter"},
                                                                     {"AllWord", aeFull, "Whole word"},
                                                                     {"LowerIndex", aeSub, "Lower index"}});
const TNamedListConverter kResultKinds("OptionResultKind", {{"All", skAll}, {"First", skFirst}});
const THotKeyConverter kHotKeys;
const TNamedTextConverter kLanguages(gLanguages);
const TTextListConverter kFonts(gFonts);
const TGroupConverter kFontRows("TOptionsFont_INFO");
const TGroupConverter kTagRows("TOptionsTag_INFO");
const TGroupConverter kEditorColorRows("TEditorColors_INFO");
const TGroupConverter kFullTextRows("TOptionsFullTextSearch_INFO");
const TGroupConverter kErrorRows("ErrorsAndHints_INFO");

const std::map<std::string, std::vector<TRowDescription>>& Tables() {
  static const std::map<std::string, std::vector<TRowDescription>> tables = {
      {"TOptions_INFO",
       {{"LocaleName", rkNamed, &kLanguages, 1001},
        {"HotKey", rkNamed, &kHotKeys, 1002},
        {"AbbrExpansion", rkNamed, &kAbbreviationModes, 1008},
        {"DefFontName", rkNamed, &kFonts, 1003},
        {"SearchFont", rkGroup, &kFontRows, 1034},
        {"ListFont", rkGroup, &kFontRows, 1035},
        {"ArticleFont", rkGroup, &kFontRows, 1036},
        {"StatusFont", rkGroup, &kFontRows, 1037},
        {"EditorFont", rkGroup, &kFontRows, 1038},
        {"PopupHelpFont", rkGroup, &kFontRows, 1039},
        {"CaptionTag", rkGroup, &kTagRows, 1010},
        {"HeaderTag", rkGroup, &kTagRows, 1011},
        {"MarkTag", rkGroup, &kTagRows, 1012},
        {"AuthorTag", rkGroup, &kTagRows, 1013},
        {"EnumTag", rkGroup, &kTagRows, 1014},
        {"CommentTag", rkGroup, &kTagRows, 1015},
        {"ExampleTag", rkGroup, &kTagRows, 1016},
        {"EditorColors", rkGroup, &kEditorColorRows, 1041},
        {"FullTextSearch", rkGroup, &kFullTextRows, 1024},
        {"ErrorsAndHints", rkGroup, &kErrorRows, 1017}}},
      {"TOptionsFont_INFO", {{"FontName", rkText, &kFonts, 1030}, {"FontSize", rkNumber, nullptr, 1031, kMinFontSize, kMaxFontSize}}},
      {"TOptionsTag_INFO",
       {{"RelSize", rkNumber, nullptr, 1027},
        {"Color", rkColor, &kColors, 1032},
        {"Bold", rkCheck, nullptr, 1040},
        {"Italic", rkCheck, nullptr, 1040},
        {"Underline", rkCheck, nullptr, 1040}}},
      {"TEditorColors_INFO",
       {{"Coloring", rkCheck, nullptr, 1042},
        {"TagColor", rkColor, &kColors, 1043},
        {"RussianColor", rkColor, &kColors, 1044}}},
      {"TOptionsFullTextSearch_INFO",
       {{"SearchInComment", rkCheck, nullptr, 1004},
        {"MaxSearch", rkNumber, nullptr, 1005},
        {"ShowKind", rkNamed, &kResultKinds, 1006},
        {"HighlightAll", rkCheck, nullptr, 1007},
        {"FontName", rkText, &kFonts, 1009},
        {"FontSize", rkNumber, nullptr, 1031, kMinFontSize, kMaxFontSize}}},
      {"ErrorsAndHints_INFO",
       {{"BeepOnError", rkCheck, nullptr, 1018},
        {"BoxOnError", rkCheck, nullptr, 1019},
        {"HelpOnError", rkCheck, nullptr, 1020},
        {"ShowPopupHint", rkCheck, nullptr, 1021},
        {"ShowStatusHint", rkCheck, nullptr, 1022},
        {"StatusDelay", rkNumber, nullptr, 1023}}},
  };
  return tables;
}

const TOptionsProperty& PropertyOf(const TOptionsRow& row) {
  for (const TOptionsProperty& property : OptionsProperties())
    if (property.Path == row.Path) return property;
  throw std::invalid_argument("No such property: " + row.Path);
}

bool IsProperty(const std::string& path) {
  for (const TOptionsProperty& property : OptionsProperties())
    if (property.Path == path || property.Path.starts_with(path + ".")) return true;
  return false;
}

int32_t ParseInteger(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || rest != end)
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
  return value;
}
}  // namespace

const std::vector<TRowDescription>* FindDescriptionTable(const std::string& name) {
  const auto found = Tables().find(name);
  return found == Tables().end() ? nullptr : &found->second;
}

void SetOptionsListProviders(std::function<std::vector<TNamedText>()> languages,
                             std::function<std::vector<std::string>()> fonts) {
  gLanguages = std::move(languages);
  gFonts = std::move(fonts);
}

std::vector<TOptionsRow> TObjectDescriptionWalker::Rows() const {
  struct TFrame {
    std::string Prefix;  // the object's path with a trailing "." ("" for the options)
    const std::vector<TRowDescription>* Table;
    size_t Position;
  };
  std::vector<TOptionsRow> rows;
  std::vector<TFrame> stack{{"", FindDescriptionTable("TOptions_INFO"), 0}};
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (!top.Table || top.Position >= top.Table->size()) {
      stack.pop_back();
      continue;
    }
    const TRowDescription& description = (*top.Table)[top.Position++];
    TOptionsRow row{int(stack.size()) - 1, top.Prefix + description.PropertyName, &description};
    rows.push_back(row);
    if (description.Kind == rkGroup && description.Converter) {
      // A group that is a property opens onto that object's rows; a pure
      // group's rows edit the object it stands in.
      const std::string prefix = IsProperty(row.Path) ? row.Path + "." : top.Prefix;
      stack.push_back({prefix, FindDescriptionTable(description.Converter->ChildTable()), 0});
    }
  }
  return rows;
}

std::string RowText(const TOptions& options, const TOptionsRow& row) {
  const TOptionsProperty& property = PropertyOf(row);
  const TValueConverter* converter = row.Description->Converter;
  if (property.Type == ptString)
    return converter ? converter->ShownText(property.GetString(options)) : property.GetString(options);
  const int32_t value = property.GetOrdinal(options);
  if (converter) {
    for (const TNamedValue& entry : converter->List())
      if (entry.Value == value) return entry.Name;
    return {};
  }
  if (property.Type == ptBoolean) return value ? "True" : "False";
  return std::to_string(value);
}

void SetRowText(TOptions& options, const TOptionsRow& row, const std::string& text) {
  const TOptionsProperty& property = PropertyOf(row);
  const TValueConverter* converter = row.Description->Converter;
  if (property.Type == ptString) {
    property.SetString(options, converter ? converter->ValueText(text) : text);
    return;
  }
  if (converter) {
    int32_t value = 0;  // a name no entry has
    for (const TNamedValue& entry : converter->List())
      if (entry.Name == text) {
        value = entry.Value;
        break;
      }
    property.SetOrdinal(options, value);
    return;
  }
  const int32_t value = ParseInteger(text);
  const TRowDescription& description = *row.Description;
  if (value < description.Minimum || value > description.Maximum)
    throw std::invalid_argument(std::to_string(value) + " is out of range: the value must be from " +
                                std::to_string(description.Minimum) + " to " + std::to_string(description.Maximum));
  property.SetOrdinal(options, value);
}

int32_t RowOrdinal(const TOptions& options, const TOptionsRow& row) { return PropertyOf(row).GetOrdinal(options); }

void SetRowOrdinal(TOptions& options, const TOptionsRow& row, int32_t value) {
  PropertyOf(row).SetOrdinal(options, value);
}

std::vector<TNamedValue> RowList(const TOptionsRow& row) {
  return row.Description->Converter ? row.Description->Converter->List() : std::vector<TNamedValue>();
}
