#pragma once
// What the options window shows is described, not built in: one table of row
// descriptions per options class, registered under the class name and
// "_INFO". A depth-first walk over the tables yields the rows in order; each
// row edits a property of the options through its own setter, by its dotted
// path ("SearchFont.FontName"), so a change takes effect at once.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TOptions;

// How a row is shown and edited.
enum TRowKind : uint8_t {
  rkNumber = 1,     // typed decimal number
  rkNamed = 2,      // a name chosen from a list
  rkGroup = 4,      // a group that opens onto the rows of its table
  rkCheck = 6,      // a check box
  rkText = 8,       // typed text, with suggestions to choose from
  rkColor = 10,     // a colour swatch and its name, chosen from a list
};

struct TNamedValue {
  std::string Name;
  int32_t Value = 0;
};

// Converts a row's value to its text and back, and supplies its list. A
// group row's converter names the table of its children instead.
class TValueConverter {
public:
  virtual ~TValueConverter() = default;
  // The table of a group's rows; empty for value converters.
  virtual std::string ChildTable() const { return {}; }
  // The names to choose from (with their values where they stand for one).
  virtual std::vector<TNamedValue> List() const { return {}; }
  // Whether the value is the text itself (languages and fonts).
  virtual bool IsText() const { return false; }
  // For a value that is a text: the name the list shows it by, and the value
  // of a name shown (or of the value itself); a text the list does not know
  // is its own name.
  virtual std::string ShownText(const std::string& value) const { return value; }
  virtual std::string ValueText(const std::string& shown) const { return shown; }
};

// A value kept as a text and the name it is shown by: an interface language
// is kept as its file's name and shown by its own name ("Russian",
// "Русский").
struct TNamedText {
  std::string Value;
  std::string Shown;
};

struct TRowDescription {
  std::string PropertyName;
  TRowKind Kind = rkText;
  const TValueConverter* Converter = nullptr;
  int HelpTopic = 0;
  // The range a number row accepts (both ends included).
  int32_t Minimum = INT32_MIN;
  int32_t Maximum = INT32_MAX;
};

// The table registered under the name ("TOptions_INFO"), or null.
const std::vector<TRowDescription>* FindDescriptionTable(const std::string& name);

// The lists the window layer knows: the interface languages and the
// installed fonts. Unset lists are empty.
void SetOptionsListProviders(std::function<std::vector<TNamedText>()> languages,
                             std::function<std::vector<std::string>()> fonts);

// One row of the walk.
struct TOptionsRow {
  int Level = 0;
  std::string Path;  // the property's dotted path; a pure group's own name
  const TRowDescription* Description = nullptr;
};

// The depth-first walk over the options' description tables.
class TObjectDescriptionWalker {
public:
  // All rows, parents before their children.
  std::vector<TOptionsRow> Rows() const;
};

// A row's value as the window shows it, and set from the text the user gave
// (raises std::invalid_argument for a text that does not convert).
std::string RowText(const TOptions& options, const TOptionsRow& row);
void SetRowText(TOptions& options, const TOptionsRow& row, const std::string& text);
// Check boxes and colour swatches: the property's ordinal value.
int32_t RowOrdinal(const TOptions& options, const TOptionsRow& row);
void SetRowOrdinal(TOptions& options, const TOptionsRow& row, int32_t value);
// The row's list: names with their values (named lists) or suggestions.
std::vector<TNamedValue> RowList(const TOptionsRow& row);
