#include <gtest/gtest.h>

#include "SourceTestUtil.h"
#include <set>

#include "RecordingWriter.h"
#include "source/uSourceReader.h"

namespace {
const std::u16string kHeader =
    u"<header>\r\ncaption=Test\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n";
}

TEST(SourceDictionary, LoadsSectionsAndArticles) {
  TSourceFixture f;
  f.Load(u"\uFEFF#λόγος\r\n\r\nword\r\n\r\n\r\nmore\r\n\r\n#ἄνθρωπος\nman\n");
  ASSERT_EQ(f.Dictionary.ArticleCount(), 2);
  EXPECT_EQ(f.Dictionary.Keyword(0), u"ἄνθρωπος");
  EXPECT_EQ(f.Dictionary.ArticleText(0), u"man\r\n");
  EXPECT_EQ(f.Dictionary.Keyword(1), u"λόγος");
  EXPECT_EQ(f.Dictionary.ArticleText(1), u"word\r\n\r\nmore\r\n");
  EXPECT_FALSE(f.Dictionary.Modified());

  f.Load(u"<header> \r\ncaption=ignored\r\n" + kHeader + u"<mark>\r\nm.=masculinum\r\nno equals\r\n<x>\r\n</mark>\r\n");
  EXPECT_EQ(f.Dictionary.Caption(), u"Test");
  EXPECT_EQ(f.Dictionary.Kind(), dkMain);
  EXPECT_EQ(f.Dictionary.Part(spMarks).Count(), 1);
  EXPECT_EQ(f.Dictionary.Part(spMarks).Value(u"m."), u"masculinum");

  f.Load(u"<author>\r\nHom.=Homerus\r\n</author>\r\n<author>\r\nHes.=Hesiodus\r\n</author>");
  EXPECT_EQ(f.Dictionary.Part(spAuthors).Count(), 2);
  EXPECT_EQ(f.Dictionary.Part(spAuthors).Record(0).Name, std::u16string_view(u"Hes."));

  f.Load(u"");
  EXPECT_TRUE(f.Dictionary.IsEmpty());
}

TEST(SourceDictionary, DuplicatesBecomeExceptionBlocks) {
  TSourceFixture f;
  f.Load(kHeader + u"<mark>\r\nm.=x\r\nm.=x\r\nm.=\r\nm.=y\r\n</mark>\r\n#a\r\none\r\n#a\r\none\r\n#a\r\n#a\r\ntwo\r\n");
  EXPECT_EQ(f.Dictionary.Part(spMarks).Value(u"m."), u"x{{y}}");
  ASSERT_EQ(f.Dictionary.ArticleCount(), 1);
  EXPECT_EQ(f.Dictionary.ArticleText(0), u"one\r\n\r\n{{two\r\n}}\r\n");
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.Verify(); }), "SException");
}

TEST(SourceDictionary, RejectsOddFilesAndControlCharacters) {
  TSourceFixture f;
  const std::string odd = f.Dir.Write("odd.kds", std::string("<\0a", 3));
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.LoadFromFile(odd); }), "SOddLength");
  // A control character would end the text and lose the rest on the next save.
  const std::string control = f.Dir.Write("control.kds", Utf16Bytes(u"#a\r\nfirst\r\nx\x01y\r\n#b\r\nlost?\r\n"));
  try {
    f.Dictionary.LoadFromFile(control);
    FAIL();
  } catch (const THelpedException& e) {
    EXPECT_EQ(e.HelpKeyword, "SControlChar");
    EXPECT_NE(e.Message.find("line 3"), std::string::npos) << e.Message;
  }
  EXPECT_TRUE(f.Dictionary.IsEmpty());
  const std::string nul = f.Dir.Write("nul.kds", Utf16Bytes(std::u16string(u"#a\r\nx\0y\r\n", 9)));
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.LoadFromFile(nul); }), "SControlChar");
}

// Files that used to load in part, or as something else, and would lose an
// author's text on the next save: each is refused with the line at fault,
// and nothing is loaded.
TEST(SourceDictionary, RefusesFilesThatWouldLoseText) {
  const std::u16string articles = u"#a\r\none\r\n#b\r\ntwo\r\n";
  auto bytes = [](std::u16string_view text) { return Utf16Bytes(text); };
  auto raw = [](std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); };
  auto bigEndian = [](std::u16string_view text) {
    std::vector<uint8_t> out;
    for (char16_t c : text) out.insert(out.end(), {uint8_t(c >> 8), uint8_t(c)});
    return out;
  };
  const std::u16string mistyped = u"<header>\r\ncaption=c\r\nkind=main\r\n</Header>\r\n";
  struct TCase {
    const char* name;
    std::vector<uint8_t> file;
    const char* id;
    int32_t line;  // 0: none
    const char* said;  // a part of the message
  } cases[] = {
      {"mistyped end tag", bytes(mistyped + articles), "SAbsentFinalSectionTag", 1, ""},
      {"end tag with a blank", bytes(kHeader.substr(0, kHeader.size() - 2) + u" \r\n" + articles),
       "SAbsentFinalSectionTag", 1, ""},
      {"marks left open", bytes(kHeader + u"\r\n<mark>\r\nm.=x\r\n" + articles), "SAbsentFinalSectionTag", 8, ""},
      {"two files joined", bytes(kHeader + articles + u"\uFEFF" + kHeader + articles), "SByteOrderMark", 11, "line 11"},
      {"doubled mark", bytes(u"\uFEFF\uFEFF" + kHeader + articles), "SByteOrderMark", 1, "line 1"},
      {"lone surrogate", bytes(u"#a\r\none" + std::u16string(1, 0xD800) + u"two\r\n"), "SLoneSurrogate", 2, "D800"},
      {"swapped surrogates", bytes(u"#a\r\n" + std::u16string{0xDC00, 0xD800} + u"\r\n"), "SLoneSurrogate", 2,
       "DC00"},
      {"UTF-8", raw("<header>\r\ncaption=λόγος\r\n</header>\r\n#a\r\none\r\n"), "SWrongEncoding", 0, "UTF-8"},
      {"UTF-8 with its mark", raw("\xEF\xBB\xBF#a\r\none\r\n"), "SWrongEncoding", 0, "UTF-16LE"},
      {"UTF-16BE", bigEndian(kHeader + articles), "SWrongEncoding", 0, "UTF-16BE"},
      {"UTF-16BE with its mark", bigEndian(u"\uFEFF" + articles), "SWrongEncoding", 0, "UTF-16BE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSourceFixture f;
    f.Load(kHeader + articles);
    const std::string path = f.Dir.Write("bad.kds", c.file);
    try {
      f.Dictionary.LoadFromFile(path);
      ADD_FAILURE() << "loaded";
    } catch (const THelpedException& e) {
      EXPECT_EQ(e.HelpKeyword, c.id);
      EXPECT_EQ(e.Line, c.line);
      EXPECT_NE(e.Message.find(c.said), std::string::npos) << e.Message;
    }
    EXPECT_TRUE(f.Dictionary.IsEmpty());
    EXPECT_EQ(ReadBytes(path), c.file);
  }
  // What is not a file at all is refused by name, before anything is read.
  TSourceFixture f;
  for (const std::string& path : {f.Dir.Root().string(), std::string("/dev/zero")}) {
    try {
      f.Dictionary.LoadFromFile(path);
      ADD_FAILURE() << path;
    } catch (const THelpedException& e) {
      EXPECT_EQ(e.HelpKeyword, "SNotAFile");
      EXPECT_NE(e.Message.find(path), std::string::npos) << e.Message;
    }
  }
}

// A source of units whose low byte is zero (U+6F00...) keeps its UTF-16LE
// line breaks: it is read back as written, not taken for UTF-16BE.
TEST(SourceDictionary, TextOfZeroLowBytesIsReadBackAsWritten) {
  std::u16string caption;
  for (int i = 0; i < 30; ++i)  // more of them than of the header's ASCII
    for (char16_t c : std::u16string_view(u"commentary")) caption += char16_t(c << 8);
  for (int i = 0; i < 40; ++i) caption += u"\u0D00\u0A00";  // line breaks as UTF-16BE would write them
  TSourceFixture f;
  f.Load(u"<header>\r\ncaption=" + caption + u"\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n"
         u"#α\r\n" + caption + u"\r\n");
  const std::string saved = f.Dir.Path("saved.kds");
  f.Dictionary.SetFileName(saved);
  f.Dictionary.SaveToFile();
  TSourceDictionary again(FindLanguage("ancientgreek"));
  ASSERT_NO_THROW(again.LoadFromFile(saved));
  EXPECT_EQ(again.ArticleCount(), 1);
  EXPECT_NO_THROW(again.Verify());
}

// A keyword repeated a hundred thousand times (a generated source) is joined
// in one pass: each repeat adds its text once.
TEST(SourceDictionary, ManyRepeatsOfOneKeywordJoinInOnePass) {
  std::u16string text = kHeader;
  constexpr int kRepeats = 100000;
  for (int i = 0; i < kRepeats; ++i) text += u"#a\r\nsense " + std::u16string(1, char16_t(u'a' + i % 26)) + u"\r\n";
  TSourceFixture f;
  f.Load(text);
  ASSERT_EQ(f.Dictionary.ArticleCount(), 1);
  const std::u16string_view joined = f.Dictionary.ArticleText(0);
  // The first text as it is; then every other distinct one, each as CR LF {{text}} CR LF.
  EXPECT_EQ(joined.substr(0, 9), u"sense a\r\n");
  EXPECT_EQ(joined.size(), 9 + size_t(kRepeats - 1) * (4 + 9 + 4));
  EXPECT_EQ(joined.substr(9, 17), u"\r\n{{sense b\r\n}}\r\n");
}

TEST(SourceDictionary, VerificationLocatesTheFirstError) {
  struct TCase {
    std::u16string text;  // the article's text; its keyword is "λ"
    const char* id;
    int32_t start, length;  // in the article's editing form: "#λ" CR LF comes first (4 units)
  } cases[] = {
      {u"<h>a</h> <m>b</m> <c><m>c</m></c> <e><c>d</c></e>\r\n", "", 0, 0},
      {u"<n>1</n> <n2>a</n> <n3>b</n> <n>2</n> <n2>c</n>\r\n", "", 0, 0},
      {u"<n2>a</n>\r\n", "", 0, 0},
      {u"$F002 \\~ \\$ \\< \\\\ { } x\r\n", "", 0, 0},
      {u"<m><c>x</c></m>\r\n", "SInvalidTagEmbedding", 7, 3},
      {u"<h><c>x</h></c>\r\n", "SInvalidTagOrder", 11, 4},
      {u"<n><m>x</m></n>\r\n", "SInvalidTagEmbedding", 7, 3},
      {u"<n3>a</n>\r\n", "SInvalidEnumEmbedding", 4, 3},
      {u"<n>a</n><n3>b</n>\r\n", "SInvalidEnumEmbedding", 12, 3},
      {u"<n>a</n1>\r\n", "SInvalidTag", 8, 4},
      {u"<n4>a</n>\r\n", "SInvalidTag", 4, 3},
      {u"<x>\r\n", "SInvalidTag", 4, 3},
      {u"a</e>\r\n", "SAbsentStartTag", 5, 4},
      {u"<e>a\r\nb</e>\r\n", "SAbsentFinalTag", 4, 3},
      {u"x <c>a <m>b", "SAbsentFinalTag", 11, 3},  // the first open tag in slot order: the mark
      {u"ab$F0G2\r\n", "SInvalidHex", 6, 4},
      {u"\\#\r\n", "SInvalidMeta", 4, 2},
      {u"ab\\", "SInvalidMeta", 6, 2},
      {u"a{{b\r\n", "SException", 5, 2},
      {u"a}}b\r\n", "SInvalidMeta", 5, 2},
  };
  for (const auto& c : cases) {
    TSourceFixture f;
    f.Load(kHeader + u"#λ\r\nplaceholder\r\n");
    f.Dictionary.SetPartText(u"#λ\r\n" + c.text, spArticles, 0);
    ASSERT_EQ(f.Dictionary.ArticleText(0).substr(0, 1), c.text.substr(0, 1));
    EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.Verify(); }), c.id) << std::string(c.text.begin(), c.text.end());
    if (*c.id) {
      EXPECT_EQ(f.Dictionary.CurrentPart(), spArticles);
      EXPECT_EQ(f.Dictionary.CurrentItem(), 0);
      EXPECT_EQ(f.Dictionary.SelectionStart(), c.start) << c.id;
      EXPECT_EQ(f.Dictionary.SelectionLength(), c.length) << c.id;
    }
  }
}

TEST(SourceDictionary, VerificationOfSectionsAndKeywords) {
  struct TCase {
    std::u16string file;
    const char* id;
    int part;
    int32_t item, start, length;
  } cases[] = {
      {u"#λ\r\nx\r\n", "SAbsentAttrValue", spHeader, 0, 18, 0},  // a new header: caption is empty
      {u"<header>\r\ncaption=c\r\ncomment=c\r\nlanguage=klingon\r\n</header>\r\n", "SUnknownLang", spHeader, 0, 0, 0},
      {kHeader + u"<mark>\r\nbad name=x\r\n</mark>\r\n", "SInvalidName", spMarks, 0, 8, 0},
      {kHeader + u"<mark>\r\n=x\r\n</mark>\r\n", "SAbsentName", spMarks, 0, 8, 0},
      {kHeader + u"<mark>\r\na=1\r\nb=x}}\r\n</mark>\r\n", "SInvalidMeta", spMarks, 0, 16, 2},
      {kHeader + u"#λ\r\nx\r\n#ab\r\ny\r\n", "SInvalidKey", spArticles, 0, 0, 0},
      {kHeader + u"#\r\nx\r\n", "SAbsentKey", spArticles, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TSourceFixture f;
    f.Load(c.file);
    EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.Verify(); }), c.id);
    EXPECT_EQ(f.Dictionary.CurrentPart(), c.part) << c.id;
    EXPECT_EQ(f.Dictionary.CurrentItem(), c.item) << c.id;
    EXPECT_EQ(f.Dictionary.SelectionStart(), c.start) << c.id;
    EXPECT_EQ(f.Dictionary.SelectionLength(), c.length) << c.id;
  }
}

TEST(SourceDictionary, EditedSections) {
  TSourceFixture f;
  f.Load(kHeader + u"<mark>\r\nm.=masculinum\r\n</mark>\r\n");
  const std::u16string before(f.Dictionary.Part(spMarks).GetText(0));
  EXPECT_EQ(before, u"<mark>\r\nm.=masculinum\r\n</mark>\r\n");
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.SetPartText(u"m.=x\r\n</mark>\r\n", spMarks, 0); }), "SMustStartTag");
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.SetPartText(u"<mark>\r\nm.=x\r\n<x>\r\n</mark>", spMarks, 0); }),
            "SAbsentFinalSectionTag");
  EXPECT_EQ(std::u16string(f.Dictionary.Part(spMarks).GetText(0)), before);  // a rejected text changes nothing
  f.Dictionary.SetPartText(u"<mark>\r\n\r\nf.=femininum\r\nignored line\r\nm.=masculinum\r\n</mark>\r\nafter", spMarks, 0);
  EXPECT_EQ(f.Dictionary.Part(spMarks).GetText(0), u"<mark>\r\nf.=femininum\r\nm.=masculinum\r\n</mark>\r\n");
  EXPECT_TRUE(f.Dictionary.Modified());
  f.Dictionary.SetPartText(u"", spHeader, 0);  // an emptied header takes the defaults
  EXPECT_EQ(f.Dictionary.Part(spHeader).Value(u"kind"), u"note");
  EXPECT_EQ(f.Dictionary.Part(spHeader).Value(u"language"), u"ancientgreek");
  EXPECT_EQ(f.Dictionary.Kind(), dkOther);
}

TEST(SourceDictionary, EditedArticles) {
  TSourceFixture f;
  f.Load(kHeader + u"#α\r\na\r\n#β\r\nb\r\n#γ\r\nc\r\n");
  // A changed keyword moves the article to its place and the location with it.
  f.Dictionary.SetPartText(u"\r\n#ω\r\nomega\r\n", spArticles, 0);
  ASSERT_EQ(f.Dictionary.ArticleCount(), 3);
  EXPECT_EQ(f.Dictionary.Keyword(2), u"ω");
  EXPECT_EQ(f.Dictionary.CurrentItem(), 2);
  EXPECT_EQ(f.Dictionary.GetCurrentText(), u"#ω\r\nomega\r\n");
  // The same keyword replaces the text without merging.
  f.Dictionary.SetPartText(u"#β\r\nbeta\r\n", spArticles, 0);
  EXPECT_EQ(f.Dictionary.ArticleText(0), u"beta\r\n");
  // Further articles in the text are added; the location stays on the first one.
  f.Dictionary.SetPartText(u"#ω\r\nomega\r\n#α\r\nalpha\r\n", spArticles, 2);
  EXPECT_EQ(f.Dictionary.Keyword(0), u"α");
  EXPECT_EQ(f.Dictionary.CurrentItem(), 3);
  EXPECT_EQ(f.Dictionary.GetCurrentText(), u"#ω\r\nomega\r\n");
  // Empty text deletes; the location goes to the article in its place or the last one.
  f.Dictionary.SetPartText(u"\r\n\r\n", spArticles, 3);
  EXPECT_EQ(f.Dictionary.ArticleCount(), 3);
  EXPECT_EQ(f.Dictionary.CurrentItem(), 2);
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.SetPartText(u"no keyword\r\n", spArticles, 0); }), "SAbsentKey");
  f.Dictionary.Locate(u"\u1F00");  // ἀ: as the viewer looks it up, the keyword of its letters
  EXPECT_EQ(f.Dictionary.CurrentItem(), 0);
  f.Dictionary.Locate(u"\u1F00β");  // the first article not ordered before it
  EXPECT_EQ(f.Dictionary.CurrentItem(), 1);
  f.Dictionary.Locate(u"δ");
  EXPECT_EQ(f.Dictionary.CurrentItem(), 3);  // past the last one
}

TEST(SourceDictionary, SavesTheLayoutAndNeverLosesTheOldFile) {
  TSourceFixture f;
  const std::u16string text = kHeader + u"<mark>\r\nm.=masculinum\r\n</mark>\r\n#ω\r\nz\r\n#α\r\na\r\n\r\nb\r\n";
  f.Load(text);
  f.Dictionary.SaveToFile();
  EXPECT_EQ(ReadUtf16(f.Dictionary.FileName()),
            kHeader + u"\r\n<mark>\r\nm.=masculinum\r\n</mark>\r\n\r\n#α\r\na\r\n\r\nb\r\n\r\n#ω\r\nz\r\n");
  EXPECT_FALSE(f.Dictionary.Modified());

  f.Dictionary.Clear();
  f.Dictionary.SetFileName(f.Dir.Path("empty.kds"));
  f.Dictionary.SaveToFile();
  EXPECT_TRUE(ReadBytes(f.Dir.Path("empty.kds")).empty());

  // A long article is written whole across several blocks.
  const std::u16string longText(10000, u'x');
  f.Load(u"#α\r\n" + longText + u"\r\n", "long.kds");
  f.Dictionary.SaveToFile();
  EXPECT_EQ(ReadUtf16(f.Dir.Path("long.kds")), u"#α\r\n" + longText + u"\r\n");

  // A save that fails leaves the old file and the dictionary modified.
  f.Load(text, "kept.kds");
  std::filesystem::create_directories(f.Dir.Path("folder/inner"));
  f.Dictionary.SetFileName(f.Dir.Path("folder"));
  EXPECT_ANY_THROW(f.Dictionary.SaveToFile());
  EXPECT_TRUE(f.Dictionary.Modified());
  EXPECT_TRUE(std::filesystem::is_directory(f.Dir.Path("folder/inner")));
  std::set<std::string> names;  // and no temporary file is left behind
  for (const auto& entry : std::filesystem::directory_iterator(f.Dir.Root())) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"empty.kds", "folder", "kept.kds", "long.kds", "test.kds"}));
}

TEST(SourceDictionary, MergesFiles) {
  TSourceFixture f;
  const std::u16string text = kHeader + u"#α\r\na\r\n#β\r\nb\r\n";
  f.Load(text);
  f.Dictionary.MergeFromFile(f.Dictionary.FileName());
  EXPECT_EQ(f.Dictionary.ArticleText(0), u"a\r\n");
  EXPECT_EQ(f.Dictionary.Part(spHeader).Value(u"caption"), u"Test");
  EXPECT_TRUE(f.Dictionary.Modified());
  const std::string other = f.Dir.Write("other.kds", Utf16Bytes(u"#β\r\nbb\r\n#γ\r\nc\r\n"));
  f.Dictionary.MergeFromFile(other);
  EXPECT_EQ(f.Dictionary.ArticleCount(), 3);
  EXPECT_EQ(f.Dictionary.ArticleText(1), u"b\r\n\r\n{{bb\r\n}}\r\n");
}

TEST(SourceDictionary, Search) {
  TSourceFixture f;
  f.Load(kHeader + u"<mark>\r\nab.=ab, x\r\n</mark>\r\n#α\r\nxab, ab_ ab\r\n#β\r\nab\r\n");
  const uint8_t all = 0x0F, articles = 1u << spArticles;
  // Whole words: between a space and a comma, not after a letter nor before a low line.
  struct { int part; int32_t item, start; } hits[] = {
      {spMarks, 0, 8},        // the name "ab." after "<mark>" CR LF
      {spMarks, 0, 12},       // the value "ab, x"
      {spArticles, 0, 13},    // "#α" CR LF "xab, ab_ " then the hit
      {spArticles, 1, 4},
  };
  ASSERT_TRUE(f.Dictionary.StartSearch(u"ab", all, true, smFromBeginning));
  for (size_t i = 0; i < std::size(hits); ++i) {
    if (i > 0) {
      ASSERT_TRUE(f.Dictionary.SearchNext()) << i;
    }
    EXPECT_EQ(f.Dictionary.CurrentPart(), hits[i].part) << i;
    EXPECT_EQ(f.Dictionary.CurrentItem(), hits[i].item) << i;
    EXPECT_EQ(f.Dictionary.SelectionStart(), hits[i].start) << i;
    EXPECT_EQ(f.Dictionary.SelectionLength(), 2);
  }
  EXPECT_FALSE(f.Dictionary.SearchNext());
  // Plain matching finds the occurrence inside a word first, and keywords.
  ASSERT_TRUE(f.Dictionary.StartSearch(u"α", all, false, smFromBeginning));
  EXPECT_EQ(f.Dictionary.CurrentPart(), spArticles);
  EXPECT_EQ(f.Dictionary.SelectionStart(), 1);
  // From the current article, earlier sections are not searched; the current
  // article only reports nothing when the next hit lies in a later article.
  f.Dictionary.SetLocation(spArticles, 1, 0, 0);
  EXPECT_FALSE(f.Dictionary.StartSearch(u"x", all, false, smFromCurrent));
  f.Dictionary.SetLocation(spArticles, 0, 0, 0);
  ASSERT_TRUE(f.Dictionary.StartSearch(u"ab", articles, true, smCurrentArticle));
  EXPECT_EQ(f.Dictionary.CurrentItem(), 0);
  EXPECT_FALSE(f.Dictionary.SearchNext());
}

TEST(SourceDictionary, PreviewRendersTheCurrentArticle) {
  TSourceFixture f;
  f.Load(kHeader + u"#λ\r\n<h>~</h> <n>1.</n> x y\r\n\r\n<n2>a</n> <m>m.</m> $00e9 \\~ <e>b</e>\r\nlast");
  f.Dictionary.SetLocation(spArticles, 0, 0, 0);
  TRecordingWriter writer;
  f.Dictionary.PreviewCurrent(writer);
  EXPECT_EQ(writer.Log,
            "[cap]Test[/]|[h]{kw:λ}[/] [n1]1.[/]\\tx y||[n2]a[/]\\t[m]m.[/] {sp:00E9} ~ [e]b[/]|last|");
  f.Dictionary.SetLocation(spArticles, 5, 0, 0);
  TRecordingWriter none;
  f.Dictionary.PreviewCurrent(none);
  EXPECT_EQ(none.Log, "");
}
