#include <gtest/gtest.h>

#include <functional>

#include "MemoryRichEdit.h"
#include "language/uCommon.h"
#include "render/uRichEditWriter.h"

namespace {
class RtfWriter : public ::testing::Test {
protected:
  void SetUp() override {
    options.ArticleFont().SetFontSize(10);
    options.EditorFont().SetFontSize(10);
    // Every colour the default, so that the colour table has one entry.
    options.EditorColors().SetTagColor(clWindowText);
    options.EditorColors().SetRussianColor(clWindowText);
  }
  void TearDown() override { SetSystemColorHook(nullptr); }

  // What was written between the opening paragraph reset and the closing lines.
  std::string Body() const {
    const std::string document(writer.Document());
    const std::string opening = "\\ud\\uc1\\pard\\f0\\fs20\\cf0";
    const size_t start = document.find(opening);
    const size_t end = document.rfind("\r\n\\f0\\fs");
    if (start == std::string::npos || end == std::string::npos) return "(malformed) " + document;
    return document.substr(start + opening.size(), end - start - opening.size());
  }
  std::string ColorTable() const {
    const std::string document(writer.Document());
    const size_t start = document.find("{\\colortbl ");
    return document.substr(start, document.find('}', start) + 1 - start);
  }
  std::string Raises(const std::function<void()>& action) {
    try {
      action();
    } catch (const THelpedException& e) {
      return e.HelpKeyword + ": " + e.Message;
    }
    return "";
  }

  TOptions options;
  TMemoryRichEdit edit;
  TRtfRichEditWriter writer{edit, nullptr, options};
};
}  // namespace

TEST_F(RtfWriter, MinimalDocumentByteForByte) {
  SetSystemColorHook([](int32_t index) -> uint32_t { return index == scWindowText ? 0x332211 : 0xFFFFFF; });
  writer.BeginDocument();
  writer.OpenCaption();
  writer.WriteText(u"Dict");
  writer.CloseStyle();
  writer.EndParagraph();
  writer.WriteChar(u'α');
  writer.EndDocument();
  EXPECT_EQ(edit.Document,
            "{\\rtf1\\ansi\\deff0\r\n"
            "{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 KodraSp;}}\r\n"
            "{\\colortbl \\red17\\green34\\blue51;}\r\n"
            "\\ud\\uc1\\pard\\f0\\fs20\\cf0\\u68?\\u105?\\u99?\\u116?\\par\r\n"
            "\\pard\\f0\\fs20\\cf0\\u945?\r\n"
            "\\f0\\fs20\\cf0\r\n"
            "}\r\n");
  EXPECT_EQ(edit.Text(), u"Dictα");
}

TEST_F(RtfWriter, NestedStylesWriteOnlyChangedAttributesAndShareColours) {
  options.AuthorTag().SetRelSize(78);
  options.AuthorTag().SetColor(clNavy);
  options.MarkTag().SetColor(clGreen);
  options.MarkTag().SetItalic(true);
  options.HeaderTag().SetBold(true);
  options.EditorColors().SetTagColor(clBlue);
  options.EditorColors().SetRussianColor(clGreen);  // the mark's colour again
  writer.BeginDocument();
  writer.OpenAuthor();
  writer.OpenMark();
  writer.OpenHeader();
  writer.WriteChar(u'x');
  writer.CloseStyle();
  writer.CloseStyle();
  writer.CloseStyle();
  writer.EndDocument();
  // Plain and the default-coloured tags share entry 0; green serves the mark and the translations.
  EXPECT_EQ(ColorTable(),
            "{\\colortbl \\red0\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue128;"
            "\\red0\\green0\\blue255;}");
  EXPECT_EQ(Body(),
            "\\fs14\\cf2"         // author: 10 * 78 / 100 = 7 points, navy
            "\\fs20\\cf1\\i"      // mark
            "\\cf0\\b\\i0"        // header
            "\\u120?"
            "\\cf1\\b0\\i"        // back to the mark
            "\\fs14\\cf2\\i0"     // back to the author
            "\\fs20\\cf0");       // plain
}

TEST_F(RtfWriter, SystemAndExplicitColourLookingAlikeStayApart) {
  options.ExampleTag().SetColor(clBlack);
  options.CommentTag().SetColor(clBlack);
  writer.BeginDocument();
  writer.OpenComment();
  writer.CloseStyle();
  writer.OpenExample();
  writer.EndDocument();
  EXPECT_EQ(ColorTable(), "{\\colortbl \\red0\\green0\\blue0;\\red0\\green0\\blue0;}");
  EXPECT_EQ(Body(), "\\cf1\\cf0\\cf1");
}

TEST_F(RtfWriter, NineStylesNestTheTenthRaises) {
  writer.BeginDocument();
  for (int i = 0; i < 9; ++i) writer.OpenHeader();
  EXPECT_EQ(Raises([&] { writer.OpenMark(); }), "SInvalidTagEmbedding: Invalid embedding of tags");
  for (int i = 0; i < 9; ++i) writer.CloseStyle();
  EXPECT_EQ(Raises([&] { writer.CloseStyle(); }), "SAbsentStartTag: Matched start tag is absent");
  // A paragraph end forgets open styles.
  writer.OpenComment();
  writer.EndParagraph();
  EXPECT_EQ(Raises([&] { writer.CloseStyle(); }), "SAbsentStartTag: Matched start tag is absent");
  writer.WriteChar(u'z');
  writer.EndDocument();
  EXPECT_EQ(edit.Text(), u"z");
}

TEST_F(RtfWriter, UnderscoreIsNoBreakSpaceOnlyInArticles) {
  options.SetAbbrExpansion(aeFull);
  for (bool article : {true, false}) {
    writer.SetArticleMode(article);
    writer.BeginDocument();
    writer.WriteKeyword(u"a_b");
    writer.EndDocument();
    EXPECT_EQ(Body(), article ? "\\u97?\\u160?\\u98?" : "\\u97?\\u95?\\u98?");
  }
}

TEST_F(RtfWriter, KeywordByAbbreviationMode) {
  struct {
    TAbbrExpansion mode;
    std::string body;
    int32_t shown;
  } cases[] = {
      {aeDefault, "\\u955?\\u46?", 2},
      {aeFull, "\\u955?\\u972?\\u947?\\u959?\\u962?", 5},
      {aeSub, "\\u955?\\sub\\u972?\\u947?\\u959?\\u962?\\nosupersub", 5},
  };
  for (const auto& c : cases) {
    options.SetAbbrExpansion(c.mode);
    writer.BeginDocument();
    writer.WriteKeyword(u"λόγος");
    writer.EndDocument();
    EXPECT_EQ(Body(), c.body) << int(c.mode);
    EXPECT_EQ(writer.ExpandedKeywordLength(u"λόγος"), c.shown) << int(c.mode);
  }
}

TEST_F(RtfWriter, EnumerationIndentsByLevel) {
  options.EnumTag().SetBold(true);
  struct {
    int32_t level;
    std::string indent;
  } cases[] = {
      {1, "\\fi-400\\li400\\tx400"},
      {3, "\\fi-400\\li1200\\tx1200"},
      {4, "\\fi-400\\li400\\tx400"},
      {0, "\\fi-400\\li400\\tx400"},
  };
  for (const auto& c : cases) {
    writer.BeginDocument();
    writer.OpenEnumeration(c.level);
    writer.EndDocument();
    EXPECT_EQ(Body(), c.indent + "\\b") << c.level;
  }
}

TEST_F(RtfWriter, SpecialCharactersTagTextAndClosingSize) {
  options.EditorColors().SetTagColor(clRed);
  options.EditorFont().SetFontName("Courier;{X}");
  options.AuthorTag().SetRelSize(150);
  writer.SetArticleMode(false);
  writer.BeginDocument();
  writer.WriteSpecialChar(0xF000);
  writer.WriteSpecialChar(0xF010);
  writer.WriteTagText(u"<");
  writer.WriteTranslationText(u"_");
  writer.OpenAuthor();
  writer.EndDocument();
  EXPECT_NE(edit.Document.find("{\\f0\\fnil\\fcharset0 Courier\\'3b\\{X\\};}"), std::string::npos) << edit.Document;
  EXPECT_EQ(Body(), "\\f1\\u192?\\f0\\f1\\u208?\\f0\\cf1\\u60?\\cf0\\u95?\\fs30");
  EXPECT_NE(edit.Document.find("\r\n\\f0\\fs30\\cf0\r\n}\r\n"), std::string::npos);
}
