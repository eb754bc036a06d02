#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "options/uOptions.h"
#include "options/uOptionsIni.h"

TEST(Options, ConstructorValues) {
  TOptions o;
  EXPECT_EQ(o.LocaleName(), "");
  EXPECT_EQ(o.HotKey(), 0x407A);
  EXPECT_EQ(o.AbbrExpansion(), aeDefault);
  EXPECT_EQ(o.DefFontName(), "Tahoma");
  EXPECT_TRUE(o.ArticleFont().UseDefault());
  EXPECT_EQ(o.PopupHelpFont().FontSize(), 12);
  EXPECT_EQ(o.ExampleTag().RelSize(), 100);
  EXPECT_EQ(o.ExampleTag().Color(), clNone);
  EXPECT_TRUE(o.ExampleTag().DefColor());
  EXPECT_EQ(o.EditorColors().TagColor(), 0xFF0000);
  EXPECT_EQ(o.EditorColors().RussianColor(), 0x008000);
  EXPECT_EQ(o.FullTextSearch().MaxSearch(), 1000);
  EXPECT_EQ(o.FullTextSearch().ShowKind(), skAll);
  EXPECT_EQ(o.FullTextSearch().FontSize(), 12);
  EXPECT_TRUE(o.BeepOnError() && o.BoxOnError() && o.HelpOnError() && o.ShowPopupHint() && o.ShowStatusHint());
  EXPECT_EQ(o.StatusDelay(), 8);
  EXPECT_FALSE(o.Modified());
}

TEST(Options, SettersNotifyOnlyOnChange) {
  struct {
    const char* what;
    std::function<void(TOptions&)> set;
    int changes, localeChanges;
    bool modified;
  } cases[] = {
      {"LocaleName", [](TOptions& o) { o.SetLocaleName("English"); }, 0, 1, true},
      {"HotKey", [](TOptions& o) { o.SetHotKey(0x407B); }, 1, 0, true},  // the window takes a new key at once
      {"AbbrExpansion", [](TOptions& o) { o.SetAbbrExpansion(aeSub); }, 1, 0, true},
      {"DefFontName", [](TOptions& o) { o.SetDefFontName("Arial"); }, 1, 0, true},
      {"FontName", [](TOptions& o) { o.ListFont().SetFontName("Arial"); }, 1, 0, true},
      {"FontSize", [](TOptions& o) { o.ListFont().SetFontSize(9); }, 1, 0, true},
      {"tag Color", [](TOptions& o) { o.MarkTag().SetColor(clRed); }, 1, 0, true},
      {"tag Underline", [](TOptions& o) { o.MarkTag().SetUnderline(true); }, 1, 0, true},
      {"Coloring", [](TOptions& o) { o.EditorColors().SetColoring(true); }, 1, 0, true},
      {"RussianColor", [](TOptions& o) { o.EditorColors().SetRussianColor(clTeal); }, 1, 0, true},
      {"search FontName", [](TOptions& o) { o.FullTextSearch().SetFontName("Arial"); }, 1, 0, true},
      {"MaxSearch", [](TOptions& o) { o.FullTextSearch().SetMaxSearch(5); }, 0, 0, true},
      {"ShowKind", [](TOptions& o) { o.FullTextSearch().SetShowKind(skFirst); }, 0, 0, true},
      {"BoxOnError", [](TOptions& o) { o.SetBoxOnError(false); }, 0, 0, true},
      {"StatusDelay", [](TOptions& o) { o.SetStatusDelay(3); }, 0, 0, true},
      {"same values", [](TOptions& o) {
         o.SetLocaleName("");
         o.SetDefFontName("Tahoma");
         o.MarkTag().SetColor(clNone);
         o.FullTextSearch().SetMaxSearch(1000);
         o.SetStatusDelay(8);
       }, 0, 0, false},
      {"StatusDelay clamped to the held value", [](TOptions& o) {
         o.SetStatusDelay(20);
         o.ClearModified();
         o.SetStatusDelay(99);
       }, 0, 0, false},
  };
  for (const auto& c : cases) {
    TOptions o;
    int changes = 0, localeChanges = 0;
    o.SetNotifiers([&] { ++localeChanges; }, [&] { ++changes; });
    c.set(o);
    EXPECT_EQ(changes, c.changes) << c.what;
    EXPECT_EQ(localeChanges, c.localeChanges) << c.what;
    EXPECT_EQ(o.Modified(), c.modified) << c.what;
  }
}

TEST(Options, DerivedFlagsClearWithoutNotification) {
  TOptions o;
  o.ArticleFont().SetFontName("Arial");
  o.CommentTag().SetColor(clRed);
  int changes = 0;
  o.SetNotifiers(nullptr, [&] { ++changes; });
  o.ArticleFont().SetUseDefault(false);
  o.CommentTag().SetDefColor(false);
  EXPECT_EQ(o.ArticleFont().FontName(), "Arial");
  EXPECT_EQ(o.CommentTag().Color(), clRed);
  o.ArticleFont().SetUseDefault(true);
  o.CommentTag().SetDefColor(true);
  EXPECT_EQ(o.ArticleFont().FontName(), "");
  EXPECT_EQ(o.CommentTag().Color(), clNone);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(o.FontChoice(o.ArticleFont()).FaceName, "Tahoma");

  o.ClearNotifiers();
  o.SetAbbrExpansion(aeFull);
  EXPECT_EQ(changes, 0);
}

TEST(Options, RangesAreClamped) {
  struct {
    int32_t value, maxSearch, statusDelay;
  } cases[] = {{0, 1, 1}, {-7, 1, 1}, {9000, 8000, 20}, {30, 30, 20}, {8000, 8000, 20}, {5, 5, 5}};
  for (auto c : cases) {
    TOptions o;
    o.FullTextSearch().SetMaxSearch(c.value);
    o.SetStatusDelay(c.value);
    EXPECT_EQ(o.FullTextSearch().MaxSearch(), c.maxSearch) << c.value;
    EXPECT_EQ(o.StatusDelay(), c.statusDelay) << c.value;
  }
}

TEST(Options, FontChoices) {
  TOptions o;
  o.SetDefFontName("Gentium");
  o.StatusFont().SetFontName("Arial");
  o.StatusFont().SetFontSize(8);
  EXPECT_EQ(o.FontChoice(o.StatusFont()).FaceName, "Arial");
  EXPECT_EQ(o.FontChoice(o.StatusFont()).Size, 8);
  EXPECT_EQ(o.FontChoice(o.ListFont()).FaceName, "Gentium");
  EXPECT_EQ(o.FullTextFontChoice().FaceName, "Gentium");
  o.FullTextSearch().SetFontName("Times");
  EXPECT_EQ(o.FullTextFontChoice().FaceName, "Times");
}

TEST(Options, HotKeyChoices) {
  const auto& choices = HotKeyChoices();
  ASSERT_EQ(choices.size(), 68u);
  struct {
    size_t row;
    const char* name;
    TShortCut value;
  } rows[] = {
      {1, "Ctrl+F11", 0x407A},         {2, "Ctrl+F12", 0x407B},          {3, "Ctrl+Num0", 0x402D},
      {8, "Ctrl+Num5", 0x400C},        {12, "Ctrl+Num9", 0x4021},        {13, "Ctrl+Num+", 0x406B},
      {16, "Ctrl+Num/", 0x406F},       {17, "Ctrl+Shift+A", 0x6041},     {42, "Ctrl+Shift+Z", 0x605A},
      {43, "Ctrl+Shift+F1", 0x6070},   {54, "Ctrl+Shift+F12", 0x607B},   {55, "Ctrl+Shift+Num0", 0x602D},
      {64, "Ctrl+Shift+Num9", 0x6021}, {65, "Ctrl+Shift+Num+", 0x606B},  {68, "Ctrl+Shift+Num/", 0x606F},
  };
  for (auto r : rows) {
    EXPECT_EQ(choices[r.row - 1].Name, r.name) << r.row;
    EXPECT_EQ(choices[r.row - 1].Value, r.value) << r.row;
  }
  std::set<TShortCut> values;
  for (const auto& c : choices) values.insert(c.Value);
  EXPECT_EQ(values.size(), 68u);
}

TEST(Options, AbbreviationShownLength) {
  TOptions o;
  EXPECT_EQ(AbbreviationShownLength(u"λόγος", o), 2);
  o.SetAbbrExpansion(aeSub);
  EXPECT_EQ(AbbreviationShownLength(u"λόγος", o), 5);
  o.SetAbbrExpansion(aeFull);
  EXPECT_EQ(AbbreviationShownLength(u"λόγος", o), 5);
}
