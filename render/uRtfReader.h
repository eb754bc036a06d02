#pragma once
// Reads RTF into paragraphs of formatted runs. It takes what our own article
// writer produces and the clipboard RTF of word processors, where the face
// name of each character matters: pasted text typed in a legacy 8-bit font
// is converted through that font's import table.
//
// What is kept: the font table (face names, character sets), \ansicpg,
// \deff, \f, \fs, the colour table and \cf, bold, italic, underline,
// sub- and superscript, \plain, \par, \line, \tab, \pard, \fi, \li, \tx,
// \u with \uc, \'hh through the code page of the current font, and the
// special characters, which come back as the characters themselves. Pictures, objects, the style sheet, the information
// group, headers, footers, notes and every {\*...} destination we do not
// know are skipped. Bad input never fails: what was read up to the fault is
// returned, with Error telling what went wrong.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A colour of the document is 0x00BBGGRR; this value (the options' "no
// colour of its own") stands for the automatic colour: an empty colour-table
// entry, an index outside the table, or no \cf at all.
constexpr uint32_t clRtfAuto = 0x1FFFFFFF;

enum TRtfVerticalPosition : uint8_t { vpNormal = 0, vpSubscript = 1, vpSuperscript = 2 };

struct TRtfCharFormat {
  std::string FaceName;         // UTF-8; empty when the font is not in the font table
  int32_t HalfPoints = 24;      // size, \fs
  uint32_t Color = clRtfAuto;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TRtfVerticalPosition Position = vpNormal;

  bool operator==(const TRtfCharFormat&) const = default;
};

// Text with one format. A \line inside a paragraph is the unit U+000B (the
// paragraph goes on), a \tab is U+0009.
struct TRtfRun {
  std::u16string Text;
  TRtfCharFormat Format;
};

// Indents and tab stops in twips, as in force at the paragraph's end.
struct TRtfParagraph {
  int32_t FirstIndent = 0;  // of the first line, relative to LeftIndent
  int32_t LeftIndent = 0;
  std::vector<int32_t> TabStops;  // in document order
  std::vector<TRtfRun> Runs;      // never empty text; adjacent runs differ in format

  std::u16string Text() const;
};

enum TRtfError : uint8_t {
  reNone = 0,
  reNotRtf = 1,      // the text does not begin with {\rtf; nothing was read
  reUnbalanced = 2,  // the input ended inside a group
  reTooDeep = 3,     // groups nested deeper than RtfMaxDepth; the deeper ones were skipped
};

// The special characters, U+F000 and up, have no Unicode counterpart and
// are drawn from a font of our own. Its glyph of U+F000 + n is also at
// position 0xC0 + n, where the article RTF puts the character; the reader
// turns a position of that face back into the character.
inline constexpr std::string_view kSpecialFontFace = "KodraSp";
constexpr char16_t kSpecialCharFirst = 0xF000;
constexpr char16_t kSpecialFontFirstPosition = 0x00C0;
constexpr int32_t kSpecialCharCount = 0x1000;

// Groups nested deeper than this are skipped whole.
constexpr int32_t RtfMaxDepth = 200;
// Tab stops beyond this many in one paragraph are dropped.
constexpr int32_t RtfMaxTabStops = 64;

// The characters of a document with the face name of the font of each.
struct TRtfFacedText {
  std::u16string Text;
  // One per unit of Text; the paragraph separators have an empty name. The
  // views point into the document, valid while it lives unchanged.
  std::vector<std::string_view> FaceNames;
};

struct TRtfDocument {
  std::vector<TRtfParagraph> Paragraphs;
  TRtfError Error = reNone;  // the first fault met

  // Paragraphs joined by '\n'; U+000B stays where a \line was.
  std::u16string PlainText() const;
  TRtfFacedText FacedText() const;
};

// A final paragraph without \par counts when it has text; an empty one after
// the last \par does not, so "a\par b" and "a\par b\par" both give two.
TRtfDocument ReadRtf(std::string_view rtf);
