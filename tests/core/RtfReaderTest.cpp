// Round trips through our own writers are in RtfRoundTripTest.cpp.
#include <gtest/gtest.h>

#include <string>

#include "RtfDescribe.h"
#include "foundation/KezText.h"
#include "render/uCodePages.h"
#include "render/uRtfReader.h"

TEST(RtfReader, Text) {
  struct { const char* rtf; std::u16string text; } cases[] = {
      // The article writer's smallest document.
      {"{\\rtf1\\ansi\\deff0\r\n{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 "
       "KodraSp;}}\r\n{\\colortbl \\red0\\green0\\blue0;}\r\n\\ud\\uc1\\pard\\f0\\fs20\\cf0"
       "\\u68?\\u105?\\u99?\\u116?\\par\r\n\\pard\\f0\\fs20\\cf0\\u945?\r\n\\f0\\fs20\\cf0\r\n}\r\n",
       u"Dict\nα"},
      {"{\\rtf1 a\\par b\\par}", u"a\nb"},
      {"{\\rtf1 a\\par\\par}", u"a\n"},
      {"{\\rtf1 a\\line b\\tab c}", u"a\u000Bb\tc"},
      {"{\\rtf1 \\{x\\}\\\\ a\\~b\\-c\\_d}", u"{x}\\ a\u00A0b\u00ADc\u2011d"},
      {"{\\rtf1 a\\\r\nb}", u"a\nb"},
      {"{\\rtf1 \\emdash\\lquote x\\rquote}", u"\u2014\u2018x\u2019"},
      // Line ends lay out the RTF; a space ends a control word and is eaten.
      {"{\\rtf1 a\r\nb \\b c\\b0  d}", u"ab c d"},
      // Unknown words are ignored, unknown {\*...} destinations skipped.
      {"{\\rtf1 \\foo12 a{\\*\\bar b{c}}d}", u"ad"},
      {"{\\rtf1 {\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}x}", u"x"},
      {"{\\rtf1 a{\\pict\\wmetafile8 0123abcd}b{\\*\\shppict{\\pict 00}}{\\nonshppict{\\pict 11}}c}",
       u"abc"},
      // Binary picture data may hold braces and backslashes.
      {"{\\rtf1 a{\\pict\\bin4 }{\\\\}b}", u"ab"},
      {"{\\rtf1 a\\bin3 xyzb}", u"ab"},
      {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}", u"link"},
      // The 8-bit twin of a \ud group is not read.
      {"{\\rtf1 {\\upr{\\f0 alpha}{\\*\\ud{\\f0 \\u945?}}}.}", u"α."},
      // 8-bit text through the document's code page, raw or escaped.
      {"{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'e2}", u"αβ"},
      {"{\\rtf1\\ansi\\ansicpg1251 \xe0\xff}", u"ая"},
      {"{\\rtf1\\ansi \\'e1\\'80}", u"á€"},
      {"{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'f8}", u"šř"},
      {"{\\rtf1\\ansi\\ansicpg1257 \\'e0\\'fe}", u"ąž"},
      {"{\\rtf1\\mac \\'8a}", u"ä"},
      // A code page we do not know decodes as Windows-1252.
      {"{\\rtf1\\ansicpg9999 \\'e1}", u"á"},
      // The font's character set wins over the document's code page.
      {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}"
       "{\\f2\\fcharset161 Arial Greek;}{\\f3\\fcharset1 Other;}}\\f1\\'e0\\f2\\'e1\\f3\\'e1}",
       u"аαá"},
      // Symbol fonts keep the byte.
      {"{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\ftech\\fcharset2 Symbol;}}\\f0\\'e1\\'80}",
       u"\u00E1\u0080"},
      // \cpg of a font entry names its code page directly.
      {"{\\rtf1{\\fonttbl{\\f0\\cpg1253 Old;}}\\f0\\'e1}", u"α"},
      // The special characters' face holds them at 0xC0 + n, as \u or 8-bit,
      // its name in any case; outside the 4096 positions and in other faces
      // the units stay.
      {"{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 KodraSp;}{\\f2 kodrasp ;}}\\f1\\u192?\\u193?\\'c2\\f2\\u208?"
       "\\u4287?\\u191?\\u4288?\\u-4096?\\f0\\u192?\\'c1{\\f1 \\'c0}}",
       u"\uF000\uF001\uF002\uF010\uFFFF\u00BF\u10C0\uF000\u00C0\u00C1\uF000"},
      {"{\\rtf1{\\fonttbl{\\f0 KodraSpecial;}{\\f1 Symbol;}}\\f0\\u192?\\f1\\'c0}", u"\u00C0\u00C0"},
  };
  for (const auto& c : cases) {
    TRtfDocument document = ReadRtf(c.rtf);
    EXPECT_EQ(document.PlainText(), c.text) << c.rtf;
    EXPECT_EQ(document.Error, reNone) << c.rtf;
  }
}

TEST(RtfReader, UnicodeFallbackSkipping) {
  struct { const char* rtf; std::u16string text; } cases[] = {
      {"{\\rtf1 \\u945?\\u946?}", u"αβ"},  // \uc1 is the default
      {"{\\rtf1 \\uc1\\u945 ?b}", u"αb"},
      {"{\\rtf1 \\uc0\\u945 b}", u"αb"},
      {"{\\rtf1 \\uc0\\u945\\u946 x}", u"αβx"},
      {"{\\rtf1 \\uc2\\u945\\'e1\\'e2c}", u"αc"},
      // A control word counts as one fallback character.
      {"{\\rtf1 \\uc1\\u8212\\emdash x}", u"\u2014x"},
      // Negative values stand for units above 0x7FFF.
      {"{\\rtf1 \\u-3937?\\u-1?}", u"\uF09F\uFFFF"},
      {"{\\rtf1 \\u128512?}", u"\U0001F600"},
      // A group's end ends the skipping; \uc is restored with the group.
      {"{\\rtf1 \\uc3{\\u945 x}yz}", u"αyz"},
      {"{\\rtf1 {\\uc0\\u945}\\u946?}", u"αβ"},
      // Fallback text in a font of its own is skipped too.
      {"{\\rtf1\\uc1\\u945\\'e1 b}", u"α b"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadRtf(c.rtf).PlainText(), c.text) << c.rtf;
}

TEST(RtfReader, CharacterFormats) {
  struct { const char* rtf; std::string runs; } cases[] = {
      // Groups save and restore every attribute.
      {"{\\rtf1 {\\b a{\\i b{\\ul c}}d}e}", "a<b>b<b,i>c<b,i,u>d<b>e<>"},
      {"{\\rtf1 \\b a\\b0 b\\i c\\i0\\ul d\\ulnone e\\ul f\\ul0 g\\uldb h\\ulnone\\ulc2 i}",
       "a<b>b<>c<i>d<u>e<>f<u>g<>h<u>i<>"},
      {"{\\rtf1 a\\sub b\\nosupersub c\\super d{\\sub e}f}", "a<>b<sub>c<>d<super>e<sub>f<super>"},
      {"{\\rtf1\\fs20 a{\\fs32 b}\\fs c}", "a<fs20>b<fs32>c<>"},
      // \plain resets the character format, not the paragraph.
      {"{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B;}}\\deff0\\f1\\b\\i\\fs30 x\\plain y}", "x<B,fs30,b,i>y<A>"},
      // Colour 0 of this table is automatic; an index beyond it too.
      {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
       "a\\cf1 b\\cf2 c\\cf0 d\\cf9 e}",
       "a<>b<#0000FF>c<#800000>de<>"},
      // Without a font table runs have no face; the same format continues one run.
      {"{\\rtf1 a\\b0 b{}c\\b\\b0 d}", "abcd<>"},
      // The article writer's enumeration with a subscript keyword.
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 KodraSp;}}"
       "{\\colortbl \\red0\\green0\\blue0;\\red0\\green0\\blue255;}\\ud\\uc1\\pard\\f0\\fs20\\cf0"
       "\\fs16\\cf1\\b\\u955?\\sub\\u972?\\nosupersub\\fs20\\cf0\\b0\\f1\\u192?\\f0\\u46?}",
       "λ<Tahoma,fs16,#FF0000,b>ό<Tahoma,fs16,#FF0000,b,sub>\uF000<KodraSp,fs20,#000000>.<Tahoma,"
       "fs20,#000000>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(ReadRtf(c.rtf)), c.runs) << c.rtf;
}

TEST(RtfReader, ParagraphFormats) {
  TRtfDocument document = ReadRtf(
      "{\\rtf1 plain\\par\\fi-400\\li400\\tx400 1.\\tab item\\par next\\par"
      "\\pard\\li200 last{\\li999}}");
  ASSERT_EQ(document.Paragraphs.size(), 4u);
  struct { int32_t first, left; std::vector<int32_t> tabs; std::u16string text; } expected[] = {
      {0, 0, {}, u"plain"},
      {-400, 400, {400}, u"1.\titem"},
      {-400, 400, {400}, u"next"},  // \par keeps the paragraph format, \pard resets it
      {0, 200, {}, u"last"},
  };
  for (size_t i = 0; i < 4; ++i) {
    const TRtfParagraph& paragraph = document.Paragraphs[i];
    EXPECT_EQ(paragraph.FirstIndent, expected[i].first) << i;
    EXPECT_EQ(paragraph.LeftIndent, expected[i].left) << i;
    EXPECT_EQ(paragraph.TabStops, expected[i].tabs) << i;
    EXPECT_EQ(paragraph.Text(), expected[i].text) << i;
  }
  std::string many = "{\\rtf1 ";
  for (int i = 0; i < 1000; ++i) many += "\\tx" + std::to_string(i);
  document = ReadRtf(many + " x}");
  ASSERT_EQ(document.Paragraphs.size(), 1u);
  EXPECT_EQ(document.Paragraphs[0].TabStops.size(), size_t(RtfMaxTabStops));
}

// A word processor's clipboard: Greek typed in a legacy 8-bit font beside
// Cyrillic in a font with a character set, a picture and the usual noise.
TEST(RtfReader, ClipboardLegacyFontFaces) {
  const char* rtf =
      "{\\rtf1\\ansi\\ansicpg1251\\deff1\\deflang1049"
      "{\\fonttbl{\\f0\\fnil\\fcharset0 SPIonic;}"
      "{\\f1\\froman\\fprq2\\fcharset204{\\*\\panose 02020603050405020304}Times New Roman;}"
      "{\\f2\\fswiss\\fcharset0 Arial{\\*\\falt Helvetica};}}"
      "{\\colortbl ;\\red0\\green0\\blue0;}"
      "{\\stylesheet{\\ql \\snext0 Normal;}}"
      "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\sa200\\sl276\\slmult1\\f0\\fs24\\'e1\\'e2{\\*\\bkmkstart x}\\f1\\'e0"
      "{\\pict\\pngblip 89504e47}\\f2 a\\par\r\n"
      "\\'e1}\r\n";
  TRtfDocument document = ReadRtf(rtf);
  EXPECT_EQ(document.Error, reNone);
  TRtfFacedText faced = document.FacedText();
  EXPECT_EQ(faced.Text, u"\u00E1\u00E2аa\n\u00E1");
  ASSERT_EQ(faced.FaceNames.size(), faced.Text.size());
  const std::string_view faces[] = {"SPIonic", "SPIonic", "Times New Roman", "Arial", "", "Arial"};
  for (size_t i = 0; i < faced.Text.size(); ++i) EXPECT_EQ(faced.FaceNames[i], faces[i]) << i;
}

TEST(RtfReader, FontTableForms) {
  struct { const char* rtf; std::string runs; } cases[] = {
      // Entries without groups, a missing ';', \deff before the table.
      {"{\\rtf1\\deff1{\\fonttbl\\f0\\froman Times;\\f1\\fswiss Arial;}a\\f0 b}", "a<Arial>b<Times>"},
      {"{\\rtf1{\\fonttbl{\\f3 Last}}\\f3 a\\f4 b}", "a<Last>b<>"},
      // A face name in the font's own code page.
      {"{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\'c0\\'e1\\'e2;}}\\f0 a}", "a<Абв>"},
      {"{\\rtf1{\\fonttbl{\\f-1 Neg;}}\\f-1 a}", "a<Neg>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(ReadRtf(c.rtf)), c.runs) << c.rtf;
}

TEST(RtfReader, BadInputReturnsWhatWasRead) {
  std::string deep = "{\\rtf1 a";
  for (int i = 0; i < 100000; ++i) deep += "{";
  deep += "x";
  for (int i = 0; i < 100000; ++i) deep += "}";
  deep += "b}";
  struct { std::string rtf; std::u16string text; TRtfError error; } cases[] = {
      {"", u"", reNotRtf},
      {"plain text", u"", reNotRtf},
      {"{\\rtf1 a\\par b", u"a\nb", reUnbalanced},
      {"{\\rtf1 a{\\b b", u"ab", reUnbalanced},
      {"{\\rtf1 a\\", u"a", reUnbalanced},
      {"{\\rtf1 a\\'e", u"a", reUnbalanced},
      {"{\\rtf1 a\\u94", u"a^", reUnbalanced},
      {"{\\rtf1 a{\\*\\x b", u"a", reUnbalanced},
      {"{\\rtf1 a\\bin99999999999999999999 b}", u"a", reUnbalanced},
      {"{\\rtf1 a}}}b{c", u"a", reNone},  // nothing after the document's end counts
      {"{\\rtf1 a\\*\\generator x}\\b b}", u"a", reNone},  // a destination ends the document
      {"  \r\n{\\rtf1 a}", u"a", reNone},
      {deep, u"ab", reTooDeep},
      {"{\\rtf1 \\fs99999999999999999999 a\\u99999999999? b\\uc-5\\u946 c\\li-99999999999 d}",
       u"a\uFFFD b\u03B2cd", reNone},
      {std::string("{\\rtf1 a\0b}", 11), u"ab", reNone},
  };
  for (const auto& c : cases) {
    TRtfDocument document = ReadRtf(c.rtf);
    EXPECT_EQ(document.PlainText(), c.text) << c.rtf.substr(0, 60);
    EXPECT_EQ(document.Error, c.error) << c.rtf.substr(0, 60);
  }
  TRtfDocument huge = ReadRtf("{\\rtf1\\fs99999999999999999999 a}");
  ASSERT_EQ(huge.Paragraphs.size(), 1u);
  EXPECT_EQ(huge.Paragraphs[0].Runs[0].Format.HalfPoints, 32767);
}

TEST(RtfReader, DoubleByteCodePages) {
  TCodePageDecoder decoder;
  if (!decoder.NeedsSequence(932)) GTEST_SKIP() << "built without ICU";
  // Shift JIS: 0x82 0xA0 is あ; its trail byte 0x5C must not become a backslash.
  EXPECT_EQ(ReadRtf("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'95\\'5c}").PlainText(), u"あ表");
  EXPECT_EQ(ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0\\'82\\'a0a}").PlainText(),
            u"あa");
  EXPECT_EQ(ReadRtf("{\\rtf1\\ansicpg65001 \xce\xb1\\'ce\\'b2}").PlainText(), u"αβ");
}
