// The options window's rows: the walk over the description tables and the
// conversion of values to the texts the grid shows and back.
#include <gtest/gtest.h>

#include <stdexcept>

#include "foundation/KezColor.h"
#include "options/uOptions.h"
#include "options/uOptionsDescription.h"

namespace {
const TOptionsRow& RowOf(const std::vector<TOptionsRow>& rows, const std::string& path) {
  for (const TOptionsRow& row : rows)
    if (row.Path == path) return row;
  throw std::invalid_argument("no row " + path);
}
}  // namespace

TEST(OptionsDescription, TheWalkGivesGroupsBeforeTheirRowsOneLevelDeeper) {
  const std::vector<TOptionsRow> rows = TObjectDescriptionWalker().Rows();
  // Four plain rows, six fonts of two rows, seven tags of five, three editor
  // colours, six full-text rows and six error-and-hint rows, each group with
  // its own row.
  EXPECT_EQ(rows.size(), 4u + 6 * 3 + 7 * 6 + 4 + 7 + 7);
  const struct {
    size_t Index;
    const char* Path;
    int Level;
    TRowKind Kind;
  } expected[] = {
      {0, "LocaleName", 0, rkNamed},
      {3, "DefFontName", 0, rkNamed},
      {4, "SearchFont", 0, rkGroup},
      {5, "SearchFont.FontName", 1, rkText},
      {6, "SearchFont.FontSize", 1, rkNumber},
      {22, "CaptionTag", 0, rkGroup},
      {24, "CaptionTag.Color", 1, rkColor},
      {25, "CaptionTag.Bold", 1, rkCheck},
      {rows.size() - 7, "ErrorsAndHints", 0, rkGroup},
      // A pure group: its rows edit the options themselves.
      {rows.size() - 6, "BeepOnError", 1, rkCheck},
      {rows.size() - 1, "StatusDelay", 1, rkNumber},
  };
  for (const auto& row : expected) {
    ASSERT_LT(row.Index, rows.size());
    EXPECT_EQ(rows[row.Index].Path, row.Path) << row.Index;
    EXPECT_EQ(rows[row.Index].Level, row.Level) << row.Path;
    EXPECT_EQ(rows[row.Index].Description->Kind, row.Kind) << row.Path;
  }
  EXPECT_EQ(RowOf(rows, "FullTextSearch.ShowKind").Description->HelpTopic, 1006);
}

TEST(OptionsDescription, ValuesConvertToTheirTextsAndBack) {
  TOptions options;
  const std::vector<TOptionsRow> rows = TObjectDescriptionWalker().Rows();
  const TOptionsRow& color = RowOf(rows, "HeaderTag.Color");
  options.HeaderTag().SetColor(clRed);
  EXPECT_EQ(RowText(options, color), "Red");
  options.HeaderTag().SetColor(0x123456);  // no named colour: the swatch only
  EXPECT_EQ(RowText(options, color), "");
  EXPECT_EQ(RowOrdinal(options, color), 0x123456);
  EXPECT_EQ(RowList(color).size(), 17u);

  const struct {
    const char* Path;
    const char* Text;
    const char* Shown;  // what the row shows afterwards
  } cases[] = {
      {"HeaderTag.Color", "Blue", "Blue"},
      {"HeaderTag.Color", "no such colour", "Black"},
      {"AbbrExpansion", "Whole word", "Whole word"},
      {"FullTextSearch.ShowKind", "First", "First"},
      {"HotKey", "Ctrl+F12", "Ctrl+F12"},
      {"HotKey", "", ""},  // no hot key at all
      {"StatusDelay", "15", "15"},
      {"StatusDelay", "99", "20"},  // the setter clamps
      {"ArticleFont.FontName", "DejaVu Serif", "DejaVu Serif"},
      {"LocaleName", "Russian", "Russian"},
      {"BeepOnError", "0", "False"},
  };
  for (const auto& c : cases) {
    SetRowText(options, RowOf(rows, c.Path), c.Text);
    EXPECT_EQ(RowText(options, RowOf(rows, c.Path)), c.Shown) << c.Path << " = " << c.Text;
  }
  EXPECT_EQ(options.HotKey(), 0);
  EXPECT_FALSE(options.BeepOnError());
  EXPECT_EQ(options.ArticleFont().FontName(), "DejaVu Serif");
  EXPECT_THROW(SetRowText(options, RowOf(rows, "StatusDelay"), "soon"), std::invalid_argument);
  EXPECT_EQ(options.StatusDelay(), 20);  // kept
  SetRowOrdinal(options, RowOf(rows, "EditorColors.Coloring"), 1);
  EXPECT_TRUE(options.EditorColors().Coloring());
}

// An interface language is kept as its file's name and shown by its own
// name; either name chooses it, and a language without a file shows as kept.
TEST(OptionsDescription, InterfaceLanguagesShowTheirOwnNames) {
  SetOptionsListProviders([] { return std::vector<TNamedText>{{"English", "English"}, {"Russian", "Русский"}}; },
                          nullptr);
  TOptions options;
  const std::vector<TOptionsRow> rows = TObjectDescriptionWalker().Rows();
  const TOptionsRow& language = RowOf(rows, "LocaleName");
  std::vector<std::string> names;
  for (const TNamedValue& entry : RowList(language)) names.push_back(entry.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"English", "Русский"}));
  const struct {
    const char* Text;
    const char* Kept;
    const char* Shown;
  } cases[] = {
      {"Русский", "Russian", "Русский"},
      {"English", "English", "English"},
      {"Russian", "Russian", "Русский"},
      {"russian", "Russian", "Русский"},
      {"Latvian", "Latvian", "Latvian"},
  };
  for (const auto& c : cases) {
    SetRowText(options, language, c.Text);
    EXPECT_EQ(options.LocaleName(), c.Kept) << c.Text;
    EXPECT_EQ(RowText(options, language), c.Shown) << c.Text;
  }
  SetOptionsListProviders(nullptr, nullptr);
}
