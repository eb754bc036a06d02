#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/KezProgramFolder.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "options/uOptions.h"
#include "render/uRichEditWriter.h"
#include "render/uRtfWriter.h"
#include "widgets/KezUnicodeRichEdit.h"
#include "tests/core/RtfDescribe.h"

namespace {

// Counts the beeps of refused insertions.
class TTestRichEdit : public TKezUnicodeRichEdit {
public:
  int Beeps = 0;

protected:
  void Beep() override { ++Beeps; }
};

std::string Utf8(const std::u16string& text) { return ToUtf8(text); }

// The whole content as runs and paragraph formats.
std::string Runs(const TKezUnicodeRichEdit& edit) { return Describe(edit.RangeDocument(0, edit.TextLength())); }

// An article of every style as the viewer renders it with the first-run options.
std::string ArticleRtf(TKezAbstractRichEdit& target) {
  TOptions options;
  options.LoadFirstRunDefaults();
  options.ArticleFont().SetFontSize(10);
  TRtfRichEditWriter writer(target, nullptr, options);
  writer.BeginDocument();
  writer.OpenCaption();
  writer.WriteText(u"Dict");
  writer.CloseStyle();
  writer.EndParagraph();
  writer.OpenHeader();
  writer.WriteText(u"λόγος");
  writer.CloseStyle();
  writer.WriteText(u", ");
  writer.OpenMark();
  writer.WriteText(u"m.");
  writer.CloseStyle();
  writer.WriteChar(u' ');
  writer.WriteSpecialChar(0xF001);
  writer.EndParagraph();
  writer.OpenEnumeration(1);
  writer.WriteText(u"1.");
  writer.CloseStyle();
  writer.WriteChar(u'\t');
  writer.OpenAuthor();
  writer.WriteText(u"Hom.");
  writer.CloseStyle();
  writer.EndParagraph();
  writer.EndParagraph();
  writer.OpenExample();
  writer.WriteText(u"a_b");
  writer.CloseStyle();
  writer.EndDocument();
  return std::string(writer.Document());
}

}  // namespace

TEST(KezUnicodeRichEdit, LoadsTheArticleWritersDocument) {
  TTestRichEdit edit;
  const std::string rtf = ArticleRtf(edit);  // EndDocument loads it
  const TRtfDocument expected = ReadRtf(rtf);
  EXPECT_EQ(Utf8(edit.Text()), Utf8(expected.PlainText()));
  EXPECT_EQ(edit.TextLength(), int32_t(expected.PlainText().size()));
  EXPECT_EQ(Runs(edit), Describe(expected));
  EXPECT_EQ(DescribeLayout(edit.RangeDocument(0, edit.TextLength())), "0/0/ | 0/0/ | -400/400/400 | 0/0/ | 0/0/");

  struct { char16_t c; const char* face; bool bold, italic, underline; uint32_t color; int32_t halfPoints; } chars[] = {
      {u'D', "Tahoma", false, false, true, 0x000080, 20},  {u'λ', "Tahoma", true, false, false, 0x000000, 20},
      {u'm', "Tahoma", false, true, false, 0x008000, 20},  {u'\uF001', "KodraSp", false, false, false, 0x000000, 20},
      {u'H', "Tahoma", false, false, false, 0x800000, 14}, {u'\u00A0', "Tahoma", false, false, false, 0x808080, 20},
  };
  const std::u16string text = edit.Text();
  for (const auto& c : chars) {
    const size_t at = text.find(c.c);
    ASSERT_NE(at, std::u16string::npos) << Utf8(std::u16string(1, c.c));
    const TRtfCharFormat format = edit.CharFormatAt(int32_t(at));
    EXPECT_EQ(format.FaceName, c.face) << at;
    EXPECT_EQ(format.Bold, c.bold) << at;
    EXPECT_EQ(format.Italic, c.italic) << at;
    EXPECT_EQ(format.Underline, c.underline) << at;
    EXPECT_EQ(format.Color, c.color) << at;
    EXPECT_EQ(format.HalfPoints, c.halfPoints) << at;
  }
  EXPECT_FALSE(edit.Modified());
  EXPECT_FALSE(edit.CanUndo());
  EXPECT_EQ(edit.CaretPosition(), 0);
}

TEST(KezUnicodeRichEdit, PlainTextIsTheReadersEvenForLineBreaksAndTabs) {
  TTestRichEdit edit;
  edit.LoadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 a\\line b\\tab c\\~d\\par\\par\\u8232?x\\u8233?y\\par}");
  const TRtfDocument expected = ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 a\\line b\\tab c\\~d\\par\\par\\u8232?x\\u8233?y\\par}");
  // U+2028 and U+2029 are the document's own line and paragraph ends: they read back as ours.
  EXPECT_EQ(Utf8(edit.Text()), Utf8(u"a\u000Bb\tc\u00A0d\n\n\u000Bx\ny"));
  EXPECT_EQ(edit.TextLength(), int32_t(expected.PlainText().size()));
  EXPECT_EQ(edit.CharAt(1), 0x000B);
  EXPECT_EQ(edit.CharAt(7), u'\n');
  EXPECT_EQ(Utf8(edit.TextRange(9, 0)), Utf8(u"a\u000Bb\tc\u00A0d\n\n"));
  EXPECT_EQ(edit.CharAt(-1), 0);
  EXPECT_EQ(edit.CharAt(edit.TextLength()), 0);
  // Not RTF at all: shown as it is.
  edit.LoadRtf("plain {text}");
  EXPECT_EQ(Utf8(edit.Text()), "plain {text}");
}

TEST(KezUnicodeRichEdit, LegacyFontFacesPerCharacter) {
  const char* clipboard =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
      "{\\f1\\fnil\\fcharset2 GreekClassic;}}\\f0\\fs24 \\'d1\\'eb\\'ee\\'e2\\'ee {\\f1 lo/goj}\\par \\f1 a}";
  TTestRichEdit edit;
  edit.LoadRtf(clipboard);
  const TRtfDocument read = ReadRtf(clipboard);
  const TRtfFacedText faced = read.FacedText();  // views into read
  ASSERT_EQ(edit.Text(), faced.Text);
  // The clipboard conversion selects one character after another and asks for its face.
  for (int32_t i = 0; i < edit.TextLength(); ++i) {
    if (faced.Text[size_t(i)] == u'\n') continue;
    edit.SetSelection(i, i + 1);
    EXPECT_EQ(edit.SelectionFontName(), faced.FaceNames[size_t(i)]) << i;
  }
}

TEST(KezUnicodeRichEdit, SelectionSetAndGet) {
  TTestRichEdit edit;
  edit.SetText(u"αβγ\nδε");
  struct { int32_t start, end, gotStart, gotEnd, caret; } cases[] = {
      {1, 3, 1, 3, 3}, {3, 1, 1, 3, 1}, {-5, 2, 0, 2, 2}, {2, 99, 2, 6, 6}, {4, 4, 4, 4, 4},
  };
  for (const auto& c : cases) {
    edit.SetSelection(c.start, c.end);
    int32_t start = -1, end = -1;
    edit.GetSelection(start, end);
    EXPECT_EQ(start, c.gotStart) << c.start << ".." << c.end;
    EXPECT_EQ(end, c.gotEnd) << c.start << ".." << c.end;
    EXPECT_EQ(edit.CaretPosition(), c.caret) << c.start << ".." << c.end;
    EXPECT_EQ(edit.SelectionLength(), c.gotEnd - c.gotStart);
  }
  edit.SelectAll();
  EXPECT_EQ(edit.SelectionLength(), 6);
  EXPECT_EQ(Utf8(edit.TextRange(2, 5)), "γ\nδ");
}

TEST(KezUnicodeRichEdit, InsertsUnicodeTextInTheFormatAtTheCaret) {
  TTestRichEdit edit;
  edit.LoadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Gentium;}}\\f0\\fs20 ab{\\f1\\b cd}ef}");
  edit.SetSelection(3, 3);  // between c and d
  InsertUnicodeText(edit, u"\u1F00\uF000");
  EXPECT_EQ(Utf8(edit.Text()), Utf8(u"abc\u1F00\uF000def"));
  EXPECT_EQ(edit.CaretPosition(), 5);
  EXPECT_EQ(Runs(edit), "ab<Arial,fs20>c\u1F00\uF000d<Gentium,fs20,b>ef<Arial,fs20>");
  // Plain insertion replaces the selection the same way.
  edit.SetSelection(0, 2);
  edit.ReplaceSelection(u"x\ny");
  EXPECT_EQ(Runs(edit), "x<Arial,fs20> | y<Arial,fs20>c\u1F00\uF000d<Gentium,fs20,b>ef<Arial,fs20>");
}

TEST(KezUnicodeRichEdit, InsertsRtfFragmentsWithWhatTheyName) {
  struct {
    const char* name;
    std::string fragment;
    std::string runs;
    std::string layout;
  } cases[] = {
      {"nothing named: the caret's format", "{\\rtf1\\ansi\\ud\\uc1\\u945?\\u946?}", "a\u03B1\u03B2b<Arial,fs20,b>",
       "0/0/"},
      {"a face and bold off; the size stays", "{\\rtf1{\\fonttbl{\\f0 Gentium;}}\\f0\\b0 x}",
       "a<Arial,fs20,b>x<Gentium,fs20>b<Arial,fs20,b>", "0/0/"},
      {"plain resets all it can", "{\\rtf1\\plain x}", "a<Arial,fs20,b>x<{default}>b<Arial,fs20,b>", "0/0/"},
      {"colour, italic, superscript", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\i\\super x}",
       "a<Arial,fs20,b>x<Arial,fs20,#0000FF,b,i,super>b<Arial,fs20,b>", "0/0/"},
      {"paragraphs split the block; later ones take their own indents",
       "{\\rtf1\\pard\\li300 x\\par\\pard\\fi-100\\li200\\tx200 y}", "ax<Arial,fs20,b> | yb<Arial,fs20,b>",
       "0/0/ | -100/200/200"},
      {"an escaped backslash is no control word", "{\\rtf1 \\\\b x}", "a\\b xb<Arial,fs20,b>", "0/0/"},
      {"not RTF: plain text", "\\b x", "a\\b xb<Arial,fs20,b>", "0/0/"},
  };
  for (const auto& c : cases) {
    TTestRichEdit edit;
    edit.LoadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\\b ab}");
    edit.SetSelection(1, 1);
    edit.ReplaceSelectionRtf(c.fragment);
    std::string runs = c.runs;
    if (const size_t at = runs.find("{default}"); at != std::string::npos)
      runs.replace(at, 9, edit.document()->defaultFont().family().toStdString());
    EXPECT_EQ(Runs(edit), runs) << c.name;
    EXPECT_EQ(DescribeLayout(edit.RangeDocument(0, edit.TextLength())), c.layout) << c.name;
  }
}

TEST(KezUnicodeRichEdit, MaximumLengthRefusesWithABeep) {
  TTestRichEdit edit;
  edit.SetMaxLength(5);
  edit.SetText(u"abcd");
  struct {
    const char* name;
    int32_t start, end;
    std::function<void(TTestRichEdit&)> insert;
    std::u16string after;
  } cases[] = {
      {"plain text that fits", 4, 4, [](TTestRichEdit& e) { e.ReplaceSelection(u"e"); }, u"abcde"},
      {"plain text beyond", 4, 4, [](TTestRichEdit& e) { e.ReplaceSelection(u"ef"); }, u"abcd"},
      {"replacing a selection", 0, 2, [](TTestRichEdit& e) { e.ReplaceSelection(u"xyz"); }, u"xyzcd"},
      {"replacing a selection beyond", 0, 1, [](TTestRichEdit& e) { e.ReplaceSelection(u"xyz"); }, u"abcd"},
      {"an RTF fragment beyond", 4, 4, [](TTestRichEdit& e) { InsertUnicodeText(e, u"\u03B1\u03B2"); }, u"abcd"},
      {"a paragraph end counts", 4, 4, [](TTestRichEdit& e) { e.ReplaceSelectionRtf("{\\rtf1 x\\par\\par}"); }, u"abcd"},
      {"a typed key beyond", 0, 0, [](TTestRichEdit& e) { e.ReplaceSelection(u"e"); QTest::keyClicks(&e, "z"); }, u"eabcd"},
      {"a document beyond", 0, 0, [](TTestRichEdit& e) { e.LoadRtf("{\\rtf1 123456}"); }, u"abcd"},
      {"set text beyond", 0, 0, [](TTestRichEdit& e) { e.SetText(u"123456"); }, u"abcd"},
  };
  for (const auto& c : cases) {
    edit.SetText(u"abcd");
    edit.SetSelection(c.start, c.end);
    edit.Beeps = 0;
    c.insert(edit);
    EXPECT_EQ(Utf8(edit.Text()), Utf8(c.after)) << c.name;
    const bool refused = c.after == u"abcd" || c.after == u"eabcd";
    EXPECT_EQ(edit.Beeps, refused ? 1 : 0) << c.name;
  }
  edit.SetMaxLength(0);  // no limit
  edit.SetText(u"abcd");
  edit.SetSelection(4, 4);
  InsertUnicodeText(edit, u"efgh");
  EXPECT_EQ(Utf8(edit.Text()), "abcdefgh");
}

TEST(KezUnicodeRichEdit, ClipboardCarriesRtfWithFaceNames) {
  TTestRichEdit source;
  source.LoadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 GreekClassic;}}\\f0\\fs20 ab{\\f1\\i cd}\\par e}");
  source.SetSelection(1, 5);
  source.copy();
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(data->hasFormat("text/rtf"));
  EXPECT_EQ(data->text(), QString::fromUtf8("bcd\n"));
  EXPECT_EQ(Describe(ReadRtf(data->data("text/rtf").toStdString())), "b<Arial,fs20>cd<GreekClassic,fs20,i> | ");

  TTestRichEdit target;
  target.paste();
  EXPECT_EQ(Utf8(target.Text()), "bcd\n");
  target.SetSelection(2, 3);
  EXPECT_EQ(target.SelectionFontName(), "GreekClassic");

  // RTF wins over plain text, whatever its name; plain text alone is taken as it is.
  struct { const char* type; } rtfTypes[] = {{"text/rtf"}, {"text/richtext"}};
  for (const auto& t : rtfTypes) {
    auto* both = new QMimeData;
    both->setData(t.type, "{\\rtf1{\\fonttbl{\\f0 Symbol;}}\\f0 rich}");
    both->setText("plain");
    QApplication::clipboard()->setMimeData(both);
    TTestRichEdit pasted;
    pasted.paste();
    EXPECT_EQ(Utf8(pasted.Text()), "rich") << t.type;
    EXPECT_EQ(pasted.CharFormatAt(0).FaceName, "Symbol") << t.type;
  }
  QApplication::clipboard()->setText("a\r\nb");
  TTestRichEdit plain;
  plain.paste();
  EXPECT_EQ(Utf8(plain.Text()), "a\nb");

  // Cut takes the text away after copying it; undo brings it back.
  source.SetSelection(0, 2);
  source.cut();
  EXPECT_EQ(Utf8(source.Text()), "cd\ne");
  EXPECT_EQ(QApplication::clipboard()->text(), "ab");
  ASSERT_TRUE(source.CanUndo());
  source.undo();
  EXPECT_EQ(Utf8(source.Text()), "abcd\ne");
}

// The article RTF names special characters by their font positions; the
// control, its clipboard and whatever pastes from it have the characters.
TEST(KezUnicodeRichEdit, SpecialCharactersAreCopiedAsThemselves) {
  TOptions options;
  options.LoadFirstRunDefaults();
  TTestRichEdit article;
  TRtfRichEditWriter writer(article, nullptr, options);
  writer.BeginDocument();
  writer.WriteText(u"λ ");
  for (char16_t c : std::u16string_view(u"\uF000\uF001\uF002\uF010")) writer.WriteSpecialChar(c);
  writer.EndDocument();
  const std::u16string expected = u"λ \uF000\uF001\uF002\uF010";
  ASSERT_EQ(Utf8(article.Text()), Utf8(expected));

  article.selectAll();
  article.copy();
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), QString::fromStdU16String(expected));
  const TRtfDocument rtf = ReadRtf(data->data("text/rtf").toStdString());
  const TRtfFacedText faced = rtf.FacedText();
  ASSERT_EQ(Utf8(faced.Text), Utf8(expected));
  for (size_t i = 0; i < faced.Text.size(); ++i) EXPECT_EQ(faced.FaceNames[i], i < 2 ? "Tahoma" : "KodraSp") << i;

  TTestRichEdit search;
  search.paste();
  EXPECT_EQ(Utf8(search.Text()), Utf8(expected));
  EXPECT_EQ(search.CharFormatAt(2).FaceName, "KodraSp");
}

TEST(KezUnicodeRichEdit, UndoModifiedAndReadOnly) {
  TTestRichEdit edit;
  edit.SetText(u"ab");
  EXPECT_FALSE(edit.Modified());
  edit.SetSelection(2, 2);
  edit.ReplaceSelection(u"c");
  EXPECT_TRUE(edit.Modified());
  EXPECT_TRUE(edit.CanUndo());
  edit.undo();
  EXPECT_EQ(Utf8(edit.Text()), "ab");
  edit.SetModified(false);
  edit.SetUndoLimit(0);
  edit.ReplaceSelection(u"c");
  EXPECT_FALSE(edit.CanUndo());
  EXPECT_TRUE(edit.Modified());
  edit.setReadOnly(true);
  QTest::keyClicks(&edit, "xy");
  QApplication::clipboard()->setText("pasted");
  edit.paste();
  EXPECT_EQ(Utf8(edit.Text()), "abc");
}

TEST(KezUnicodeRichEdit, EventsAndKeys) {
  TTestRichEdit edit;
  int changes = 0, selections = 0, downs = 0, presses = 0, ups = 0;
  edit.SetOnChange([&](TKezUnicodeRichEdit&) { ++changes; });
  edit.SetOnSelectionChange([&](TKezUnicodeRichEdit&) { ++selections; });
  edit.SetOnKeyDown([&](TKezUnicodeRichEdit&, QKeyEvent& event, bool& handled) {
    ++downs;
    handled = event.key() == Qt::Key_Return;  // the search box shows the article instead
  });
  edit.SetOnKeyPress([&](TKezUnicodeRichEdit&, QKeyEvent&, bool&) { ++presses; });
  edit.SetOnKeyUp([&](TKezUnicodeRichEdit&, QKeyEvent&, bool&) { ++ups; });
  QTest::keyClicks(&edit, "ab");
  QTest::keyClick(&edit, Qt::Key_Return);
  QTest::keyClick(&edit, Qt::Key_Left);
  EXPECT_EQ(Utf8(edit.Text()), "ab");
  EXPECT_EQ(downs, 4);
  EXPECT_EQ(presses, 2);  // only keys that give text, and not the swallowed Return
  EXPECT_EQ(ups, 3);      // the swallowed key's release is swallowed too
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(selections, 3);
  edit.SetSelection(0, 2);
  edit.SetSelection(0, 2);
  EXPECT_EQ(selections, 4);

  // A single-line box passes Enter on and joins inserted lines.
  edit.SetOnKeyDown(nullptr);
  edit.SetMultiLine(false);
  QTest::keyClick(&edit, Qt::Key_Return);
  edit.ReplaceSelection(u"x\r\ny\u000Bz");
  EXPECT_EQ(Utf8(edit.Text()), "x y z");
}

TEST(KezUnicodeRichEdit, VirtualKeysByUsPosition) {
  struct { int key; Qt::KeyboardModifiers modifiers; uint16_t virtualKey; TShiftState shift; } cases[] = {
      {Qt::Key_A, Qt::NoModifier, 0x41, 0},
      {Qt::Key_A, Qt::ShiftModifier, 0x41, ssShift},
      {Qt::Key_ParenRight, Qt::ShiftModifier, 0x30, ssShift},
      {Qt::Key_Slash, Qt::NoModifier, 0xBF, 0},
      {Qt::Key_Bar, Qt::ShiftModifier, 0xDC, ssShift},
      {Qt::Key_Plus, Qt::ShiftModifier, 0xBB, ssShift},
      {Qt::Key_Plus, Qt::KeypadModifier, 0x6B, 0},
      {Qt::Key_7, Qt::KeypadModifier, 0x67, 0},
      {Qt::Key_Space, Qt::NoModifier, 0x20, 0},
      {Qt::Key_A, Qt::ControlModifier, 0x41, ssCtrl},
      {Qt::Key_F1, Qt::NoModifier, 0, 0},
  };
  for (const auto& c : cases) {
    QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
    uint16_t virtualKey = 0xFFFF;
    TShiftState shift = 0xFF;
    EXPECT_EQ(VirtualKeyOf(event, virtualKey, shift), c.virtualKey != 0) << std::hex << c.key;
    EXPECT_EQ(virtualKey, c.virtualKey) << std::hex << c.key;
    EXPECT_EQ(shift, c.shift) << std::hex << c.key;
  }
}

TEST(KezUnicodeRichEdit, TypesGreekThroughTheLanguageInput) {
  const std::string previous = ProgramFolder();
  SetProgramFolder(std::string(KODRA_DATA) + "/");
  TGreek greek;
  TTestRichEdit edit;
  edit.SetLanguageInput(&greek);
  int presses = 0;
  edit.SetOnKeyPress([&](TKezUnicodeRichEdit&, QKeyEvent&, bool&) { ++presses; });
  QTest::keyClick(&edit, Qt::Key_L);
  QTest::keyClick(&edit, Qt::Key_A);
  QTest::keyClick(&edit, Qt::Key_ParenRight, Qt::ShiftModifier);
  QTest::keyClick(&edit, Qt::Key_Slash);
  EXPECT_EQ(Utf8(edit.Text()), Utf8(u"λ\u1F04"));
  EXPECT_EQ(presses, 0);  // typed keys are swallowed
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);  // not a character: select all as usual
  EXPECT_EQ(edit.SelectionLength(), 2);
  QTest::keyClick(&edit, Qt::Key_V, Qt::ShiftModifier);
  EXPECT_EQ(Utf8(edit.Text()), "Ω");
  edit.SetLanguageInput(nullptr);
  QTest::keyClick(&edit, Qt::Key_V);
  EXPECT_EQ(Utf8(edit.Text()), "Ωv");
  SetProgramFolder(previous);
}

TEST(KezUnicodeRichEdit, WordsByTheReplaceableRule) {
  TTestRichEdit edit;
  edit.SetText(u"(λόγος), a_b\uF000 x");
  struct { bool blank; int32_t position, start, end; } cases[] = {
      {false, 3, 1, 6}, {false, 0, 0, 0}, {false, 9, 9, 13}, {true, 3, 0, 8}, {true, 13, 9, 13}, {true, 14, 14, 15},
  };
  for (const auto& c : cases) {
    edit.SetWordBreakRule(c.blank ? TKezUnicodeRichEdit::TWordBreakRule(TKezUnicodeRichEdit::BlankWordBreak) : nullptr);
    int32_t start = -1, end = -1;
    edit.WordRange(c.position, start, end);
    EXPECT_EQ(start, c.start) << c.blank << " at " << c.position;
    EXPECT_EQ(end, c.end) << c.blank << " at " << c.position;
  }
}

TEST(KezUnicodeRichEdit, CharacterFromPointAndDoubleClick) {
  TTestRichEdit edit;
  edit.resize(300, 120);
  edit.SetText(u"(λόγος), next\nsecond line");
  edit.SetWordBreakRule(TKezUnicodeRichEdit::BlankWordBreak);
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
  for (int32_t position : {0, 3, 9, 14, 20}) {
    QTextCursor cursor(edit.document());
    cursor.setPosition(position);
    const QRect before = edit.cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect after = edit.cursorRect(cursor);
    const QPoint middle((before.left() + after.left()) / 2, before.center().y());
    EXPECT_EQ(edit.CharFromPos(middle), position);
  }
  QTextCursor cursor(edit.document());
  cursor.setPosition(3);
  const QPoint inWord = edit.cursorRect(cursor).center() + QPoint(2, 0);
  QTest::mouseDClick(edit.viewport(), Qt::LeftButton, Qt::NoModifier, inWord);
  EXPECT_EQ(Utf8(edit.TextRange(edit.textCursor().selectionStart(), edit.textCursor().selectionEnd())), "(λόγος),");
}

TEST(KezUnicodeRichEdit, HiddenSelectionIsNotDrawnWithoutFocus) {
  QWidget window;
  auto* edit = new TTestRichEdit;
  auto* other = new TTestRichEdit;
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(edit);
  layout->addWidget(other);
  edit->SetText(u"selected text");
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  other->setFocus();
  ASSERT_FALSE(edit->hasFocus());
  const QImage plain = edit->viewport()->grab().toImage();
  edit->SetSelection(0, 8);
  EXPECT_EQ(edit->viewport()->grab().toImage(), plain);
  edit->SetHideSelection(false);
  EXPECT_NE(edit->viewport()->grab().toImage(), plain);
  edit->SetHideSelection(true);
  edit->setFocus();
  EXPECT_NE(edit->viewport()->grab().toImage(), plain);  // with focus it shows
}

// A numbered sense hangs: its label stands out to the left, and the text
// after the label's tab starts where the sense's following lines start, at
// every level ("1." and "а)" alike).
TEST(KezUnicodeRichEdit, TheTextAfterAHangingLabelAlignsWithItsFollowingLines) {
  for (const int32_t level : {1, 2, 3}) {
    SCOPED_TRACE(level);
    TTestRichEdit edit;
    edit.resize(300, 400);
    edit.show();
    TOptions options;
    options.LoadFirstRunDefaults();
    TRtfRichEditWriter writer(edit, nullptr, options);
    writer.BeginDocument();
    writer.OpenEnumeration(level);
    writer.WriteText(u"а)");
    writer.CloseStyle();
    writer.WriteChar(u'\t');
    writer.WriteText(u"word word word word word word word word word word word word word word word word");
    writer.EndParagraph();
    writer.EndDocument();
    QApplication::processEvents();
    QTextCursor at(edit.document());
    auto xOf = [&](int position) {
      at.setPosition(position);
      return edit.cursorRect(at).left();
    };
    const int label = xOf(0), text = xOf(3);
    int secondLine = -1;
    for (int position = 4; position < edit.TextLength() && secondLine < 0; ++position)
      if (at.setPosition(position), edit.cursorRect(at).top() > edit.cursorRect(QTextCursor(edit.document())).top())
        secondLine = edit.cursorRect(at).left();
    ASSERT_GE(secondLine, 0) << "one line only";
    EXPECT_LT(label, text);
    EXPECT_NEAR(text, secondLine, 1);
  }
}
