#include "widgets/KezUnicodeRichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "foundation/KezText.h"
#include "language/uLanguage.h"
#include "render/uRtfWriter.h"

namespace {

// What an RTF fragment says about the text it brings (fm) or its paragraphs.
enum : uint32_t {
  fmFace = 0x01,
  fmSize = 0x02,
  fmColor = 0x04,
  fmBold = 0x08,
  fmItalic = 0x10,
  fmUnderline = 0x20,
  fmPosition = 0x40,
  fmParagraph = 0x80,
  fmAll = 0xFF,
};

// The formats an RTF text names anywhere, by its control words.
uint32_t NamedFormats(std::string_view rtf) {
  uint32_t named = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] != '\\') continue;
    size_t end = i + 1;
    while (end < rtf.size() && ((rtf[end] >= 'a' && rtf[end] <= 'z') || (rtf[end] >= 'A' && rtf[end] <= 'Z'))) ++end;
    const std::string_view word = rtf.substr(i + 1, end - i - 1);
    if (word.empty()) {
      ++i;  // a control symbol: \\ must not start a word
      continue;
    }
    if (word == "plain") named |= fmFace | fmSize | fmColor | fmBold | fmItalic | fmUnderline | fmPosition;
    else if (word == "f" || word == "deff" || word == "fonttbl") named |= fmFace;
    else if (word == "fs") named |= fmSize;
    else if (word == "cf") named |= fmColor;
    else if (word == "b") named |= fmBold;
    else if (word == "i") named |= fmItalic;
    else if (word.substr(0, 2) == "ul") named |= fmUnderline;
    else if (word == "sub" || word == "super" || word == "nosupersub") named |= fmPosition;
    else if (word == "pard" || word == "fi" || word == "li" || word == "tx") named |= fmParagraph;
    i = end - 1;
  }
  return named;
}

// Twips as kept beside the pixel values, so that a document reads back as
// it was loaded.
constexpr int kFirstIndentTwips = QTextFormat::UserProperty + 1;
constexpr int kLeftIndentTwips = QTextFormat::UserProperty + 2;
constexpr int kTabStopsTwips = QTextFormat::UserProperty + 3;

// Clipboard formats of RTF in order of preference.
const char* const kRtfMimeTypes[] = {
    "text/rtf",
    "text/richtext",
    "application/x-qt-windows-mime;value=\"Rich Text Format\"",
    "Rich Text Format",
};

QString ToQString(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }

// Paragraph ends and line breaks as the document keeps them, to ours.
char16_t FromDocumentChar(QChar c) {
  switch (c.unicode()) {
    case QChar::ParagraphSeparator: return u'\n';
    case QChar::LineSeparator: return 0x000B;
    default: return c.unicode();
  }
}

std::u16string FromDocumentText(const QString& text) {
  std::u16string result(size_t(text.size()), u'\0');
  for (qsizetype i = 0; i < text.size(); ++i) result[size_t(i)] = FromDocumentChar(text[i]);
  return result;
}

QColor ToQColor(uint32_t color) { return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF)); }

uint32_t FromQColor(const QColor& color) {
  return uint32_t(color.red()) | uint32_t(color.green()) << 8 | uint32_t(color.blue()) << 16;
}

}  // namespace

TKezUnicodeRichEdit::TKezUnicodeRichEdit(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(false);  // pasting goes through insertFromMimeData: RTF or plain text
  setLineWrapMode(QTextEdit::WidgetWidth);
  connect(this, &QTextEdit::textChanged, this, [this] {
    if (FOnChange) FOnChange(*this);
  });
  connect(this, &QTextEdit::cursorPositionChanged, this, &TKezUnicodeRichEdit::NotifySelectionChange);
  connect(this, &QTextEdit::selectionChanged, this, &TKezUnicodeRichEdit::NotifySelectionChange);
  ApplyHideSelection();
}

TKezUnicodeRichEdit::~TKezUnicodeRichEdit() = default;

// Content.

std::u16string TKezUnicodeRichEdit::Text() const { return FromDocumentText(document()->toRawText()); }

QString TKezUnicodeRichEdit::ToDocumentText(std::u16string_view text) const {
  QString result;
  result.reserve(qsizetype(text.size()));
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    switch (c) {
      case u'\r':
        if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        [[fallthrough]];
      case u'\n':
      case QChar::ParagraphSeparator:
        c = FMultiLine ? char16_t(QChar::ParagraphSeparator) : u' ';
        break;
      case 0x000B:
      case QChar::LineSeparator:
        c = FMultiLine ? char16_t(QChar::LineSeparator) : u' ';
        break;
      case 0xFDD0:  // the document's own frame marks: never text
      case 0xFDD1:
        c = 0xFFFD;
        break;
      default:
        break;
    }
    result += QChar(c);
  }
  return result;
}

void TKezUnicodeRichEdit::SetText(std::u16string_view text) {
  const QString converted = ToDocumentText(text);
  if (!AcceptsInsertion(TextLength(), int32_t(converted.size()))) return;
  setPlainText(converted);
  document()->setModified(false);
}

int32_t TKezUnicodeRichEdit::TextLength() const { return int32_t(document()->characterCount() - 1); }

char16_t TKezUnicodeRichEdit::CharAt(int32_t position) const {
  if (position < 0 || position >= TextLength()) return 0;
  return FromDocumentChar(document()->characterAt(position));
}

std::u16string TKezUnicodeRichEdit::TextRange(int32_t start, int32_t end) const {
  const int32_t length = TextLength();
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  if (start > end) std::swap(start, end);
  QTextCursor cursor(document());
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  return FromDocumentText(cursor.selectedText());
}

void TKezUnicodeRichEdit::WordRange(int32_t position, int32_t& start, int32_t& end) const {
  const int32_t length = TextLength();
  const TWordBreakRule& breaks = FWordBreak ? FWordBreak : TWordBreakRule(DefaultWordBreak);
  start = end = std::clamp(position, 0, length);
  while (start > 0 && !breaks(CharAt(start - 1))) --start;
  while (end < length && !breaks(CharAt(end))) ++end;
}

int32_t TKezUnicodeRichEdit::CharFromPos(const QPoint& point) const {
  if (TextLength() == 0) return -1;
  const QPointF at = QPointF(point) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  const int32_t nearest = layout->hitTest(at, Qt::FuzzyHit);
  const QTextBlock block = document()->findBlock(std::max(nearest, 0));
  const QTextLayout* blockLayout = block.layout();
  if (!blockLayout || blockLayout->lineCount() == 0) return std::min(std::max(nearest, 0), TextLength() - 1);
  // Within the block, the line at that height and the character under x.
  const QPointF local = at - blockLayout->position();
  QTextLine line = blockLayout->lineAt(blockLayout->lineCount() - 1);
  for (int i = 0; i < blockLayout->lineCount(); ++i)
    if (local.y() < blockLayout->lineAt(i).rect().bottom()) {
      line = blockLayout->lineAt(i);
      break;
    }
  const int32_t inBlock = line.xToCursor(local.x(), QTextLine::CursorOnCharacter);
  return std::clamp(int32_t(block.position()) + inBlock, 0, TextLength() - 1);
}

// Selection.

void TKezUnicodeRichEdit::GetSelection(int32_t& start, int32_t& end) const {
  const QTextCursor cursor = textCursor();
  start = int32_t(cursor.selectionStart());
  end = int32_t(cursor.selectionEnd());
}

void TKezUnicodeRichEdit::SetSelection(int32_t start, int32_t end) {
  const int32_t length = TextLength();
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(start, 0, length));
  cursor.setPosition(std::clamp(end, 0, length), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

int32_t TKezUnicodeRichEdit::CaretPosition() const { return int32_t(textCursor().position()); }

// Insertion.

bool TKezUnicodeRichEdit::AcceptsInsertion(int32_t removed, int32_t inserted) {
  if (FMaxLength <= 0 || inserted <= removed || int64_t(TextLength()) - removed + inserted <= FMaxLength)
    return true;
  Beep();
  return false;
}

void TKezUnicodeRichEdit::Beep() { QApplication::beep(); }

void TKezUnicodeRichEdit::ReplaceSelection(std::u16string_view text) {
  QTextCursor cursor = textCursor();
  const QString converted = ToDocumentText(text);
  if (!AcceptsInsertion(int32_t(cursor.selectionEnd() - cursor.selectionStart()), int32_t(converted.size())))
    return;
  cursor.insertText(converted);
  setTextCursor(cursor);
}

void TKezUnicodeRichEdit::ReplaceSelectionRtf(std::string_view fragment) {
  const TRtfDocument read = ReadRtf(fragment);
  if (read.Error == reNotRtf) {
    ReplaceSelection(FromUtf8(fragment));
    return;
  }
  InsertDocument(read, NamedFormats(fragment));
}

namespace {

QTextCharFormat ToCharFormat(const TRtfCharFormat& from, uint32_t formats, QTextCharFormat format) {
  if (formats & fmFace) {
    if (from.FaceName.empty()) {
      format.clearProperty(QTextFormat::FontFamilies);
      format.clearProperty(QTextFormat::FontFamily);
    } else {
      format.setFontFamilies({QString::fromStdString(from.FaceName)});
    }
  }
  if (formats & fmSize) format.setFontPointSize(from.HalfPoints / 2.0);
  if (formats & fmColor) {
    if (from.Color == clRtfAuto)
      format.clearForeground();
    else
      format.setForeground(ToQColor(from.Color));
  }
  if (formats & fmBold) format.setFontWeight(from.Bold ? QFont::Bold : QFont::Normal);
  if (formats & fmItalic) format.setFontItalic(from.Italic);
  if (formats & fmUnderline) format.setFontUnderline(from.Underline);
  if (formats & fmPosition)
    format.setVerticalAlignment(from.Position == vpSubscript     ? QTextCharFormat::AlignSubScript
                                : from.Position == vpSuperscript ? QTextCharFormat::AlignSuperScript
                                                                 : QTextCharFormat::AlignNormal);
  return format;
}

QTextBlockFormat ToBlockFormat(const TRtfParagraph& paragraph, double pixelsPerTwip, QTextBlockFormat format) {
  format.setTextIndent(paragraph.FirstIndent * pixelsPerTwip);
  format.setLeftMargin(paragraph.LeftIndent * pixelsPerTwip);
  // A tab stop counts from the paragraph's left edge; the layout counts tab
  // positions from where the first line starts (left indent plus first-line
  // indent), so that a hanging label's tab lands on the left indent.
  QList<QTextOption::Tab> tabs;
  QList<int> twips;
  const int32_t firstLineStart = paragraph.LeftIndent + paragraph.FirstIndent;
  for (int32_t stop : paragraph.TabStops) {
    if (stop > firstLineStart) tabs.append(QTextOption::Tab((stop - firstLineStart) * pixelsPerTwip, QTextOption::LeftTab));
    twips.append(stop);
  }
  format.setTabPositions(tabs);
  format.setProperty(kFirstIndentTwips, paragraph.FirstIndent);
  format.setProperty(kLeftIndentTwips, paragraph.LeftIndent);
  format.setProperty(kTabStopsTwips, QVariant::fromValue(twips));
  return format;
}

}  // namespace

void TKezUnicodeRichEdit::InsertDocument(const TRtfDocument& inserted, uint32_t formats) {
  int64_t length = inserted.Paragraphs.empty() ? 0 : int64_t(inserted.Paragraphs.size()) - 1;
  for (const TRtfParagraph& paragraph : inserted.Paragraphs)
    for (const TRtfRun& run : paragraph.Runs) length += int64_t(run.Text.size());
  QTextCursor cursor = textCursor();
  if (!AcceptsInsertion(int32_t(cursor.selectionEnd() - cursor.selectionStart()),
                        int32_t(std::min<int64_t>(length, INT32_MAX))))
    return;
  const double pixelsPerTwip = logicalDpiX() / 1440.0;
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  const QTextCharFormat base = cursor.charFormat();
  for (size_t i = 0; i < inserted.Paragraphs.size(); ++i) {
    const TRtfParagraph& paragraph = inserted.Paragraphs[i];
    const bool ownFormat = (formats & fmParagraph) && (i > 0 || cursor.atBlockStart());
    if (i > 0) {
      if (FMultiLine)
        cursor.insertBlock(cursor.blockFormat(), cursor.charFormat());
      else
        cursor.insertText(QStringLiteral(" "), base);
    }
    if (ownFormat && FMultiLine) cursor.setBlockFormat(ToBlockFormat(paragraph, pixelsPerTwip, cursor.blockFormat()));
    for (const TRtfRun& run : paragraph.Runs)
      cursor.insertText(ToDocumentText(run.Text), ToCharFormat(run.Format, formats, base));
  }
  cursor.endEditBlock();
  setTextCursor(cursor);
}

void TKezUnicodeRichEdit::LoadRtf(std::string_view rtf) {
  const TRtfDocument read = ReadRtf(rtf);
  if (read.Error == reNotRtf) {
    SetText(FromUtf8(rtf));
    return;
  }
  LoadDocument(read);
}

void TKezUnicodeRichEdit::LoadDocument(const TRtfDocument& loaded) {
  int64_t length = loaded.Paragraphs.empty() ? 0 : int64_t(loaded.Paragraphs.size()) - 1;
  for (const TRtfParagraph& paragraph : loaded.Paragraphs)
    for (const TRtfRun& run : paragraph.Runs) length += int64_t(run.Text.size());
  if (!AcceptsInsertion(TextLength(), int32_t(std::min<int64_t>(length, INT32_MAX)))) return;

  // Loading is no step to undo; switching undo off also forgets the history.
  QTextDocument* doc = document();
  doc->setUndoRedoEnabled(false);
  doc->clear();
  const double pixelsPerTwip = logicalDpiX() / 1440.0;
  QTextCursor cursor(doc);
  cursor.beginEditBlock();
  for (size_t i = 0; i < loaded.Paragraphs.size(); ++i) {
    const TRtfParagraph& paragraph = loaded.Paragraphs[i];
    const QTextBlockFormat blockFormat = ToBlockFormat(paragraph, pixelsPerTwip, QTextBlockFormat());
    // An empty paragraph is as high as the text it would hold.
    const QTextCharFormat blockChars =
        paragraph.Runs.empty() ? cursor.charFormat() : ToCharFormat(paragraph.Runs.front().Format, fmAll, {});
    if (i == 0) {
      cursor.setBlockFormat(blockFormat);
      cursor.setBlockCharFormat(blockChars);
    } else {
      cursor.insertBlock(blockFormat, blockChars);
    }
    for (const TRtfRun& run : paragraph.Runs)
      cursor.insertText(ToDocumentText(run.Text), ToCharFormat(run.Format, fmAll, {}));
  }
  cursor.endEditBlock();
  doc->setUndoRedoEnabled(FUndoLimit > 0);
  doc->setModified(false);
  SetSelection(0, 0);
}

// Formats.

namespace {

TRtfCharFormat FromCharFormat(const QTextCharFormat& format, const QFont& defaultFont) {
  TRtfCharFormat result;
  const QStringList families = format.fontFamilies().toStringList();
  result.FaceName = (families.isEmpty() || families.front().isEmpty() ? defaultFont.family() : families.front())
                        .toStdString();
  double points = format.fontPointSize();
  if (points <= 0) points = defaultFont.pointSizeF();
  result.HalfPoints = points > 0 ? int32_t(std::lround(points * 2)) : 24;
  if (format.foreground().style() != Qt::NoBrush) result.Color = FromQColor(format.foreground().color());
  result.Bold = format.fontWeight() > QFont::Medium;
  result.Italic = format.fontItalic();
  result.Underline = format.fontUnderline();
  switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSubScript: result.Position = vpSubscript; break;
    case QTextCharFormat::AlignSuperScript: result.Position = vpSuperscript; break;
    default: break;
  }
  return result;
}

TRtfParagraph FromBlockFormat(const QTextBlockFormat& format, double twipsPerPixel) {
  TRtfParagraph paragraph;
  auto twips = [&](int property, double pixels) {
    return format.hasProperty(property) ? format.intProperty(property) : int32_t(std::lround(pixels * twipsPerPixel));
  };
  paragraph.FirstIndent = twips(kFirstIndentTwips, format.textIndent());
  paragraph.LeftIndent = twips(kLeftIndentTwips, format.leftMargin());
  if (format.hasProperty(kTabStopsTwips)) {
    for (int stop : format.property(kTabStopsTwips).value<QList<int>>()) paragraph.TabStops.push_back(stop);
  } else {
    for (const QTextOption::Tab& tab : format.tabPositions())
      paragraph.TabStops.push_back(int32_t(std::lround(tab.position * twipsPerPixel)));
  }
  return paragraph;
}

}  // namespace

TRtfCharFormat TKezUnicodeRichEdit::CharFormatAt(int32_t position) const {
  const QTextBlock block = document()->findBlock(std::clamp(position, 0, std::max(TextLength(), 0)));
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (position >= fragment.position() && position < fragment.position() + fragment.length())
      return FromCharFormat(fragment.charFormat(), document()->defaultFont());
  }
  return FromCharFormat(block.charFormat(), document()->defaultFont());
}

std::string TKezUnicodeRichEdit::SelectionFontName() const {
  const QTextCursor cursor = textCursor();
  if (cursor.hasSelection()) return CharFormatAt(int32_t(cursor.selectionStart())).FaceName;
  return FromCharFormat(cursor.charFormat(), document()->defaultFont()).FaceName;
}

TRtfDocument TKezUnicodeRichEdit::RangeDocument(int32_t start, int32_t end) const {
  const int32_t length = TextLength();
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  if (start > end) std::swap(start, end);
  TRtfDocument result;
  const double twipsPerPixel = 1440.0 / logicalDpiX();
  const QFont defaultFont = document()->defaultFont();
  for (QTextBlock block = document()->findBlock(start); block.isValid(); block = block.next()) {
    TRtfParagraph paragraph = FromBlockFormat(block.blockFormat(), twipsPerPixel);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const int32_t from = std::max(start, int32_t(fragment.position()));
      const int32_t to = std::min(end, int32_t(fragment.position() + fragment.length()));
      if (from >= to) continue;
      const std::u16string text = FromDocumentText(fragment.text().mid(from - fragment.position(), to - from));
      const TRtfCharFormat format = FromCharFormat(fragment.charFormat(), defaultFont);
      if (!paragraph.Runs.empty() && paragraph.Runs.back().Format == format)
        paragraph.Runs.back().Text += text;
      else
        paragraph.Runs.push_back(TRtfRun{text, format});
    }
    result.Paragraphs.push_back(std::move(paragraph));
    // The range goes on into the next block only past this one's end.
    if (block.position() + block.length() - 1 >= end) break;
  }
  return result;
}

std::string TKezUnicodeRichEdit::SelectionRtf() const {
  int32_t start = 0, end = 0;
  GetSelection(start, end);
  return WriteRtf(RangeDocument(start, end));
}

bool TKezUnicodeRichEdit::CanUndo() const { return document()->isUndoAvailable(); }

// Limits and state.

void TKezUnicodeRichEdit::SetMaxLength(int32_t length) { FMaxLength = std::max(length, 0); }

void TKezUnicodeRichEdit::SetUndoLimit(int32_t depth) {
  FUndoLimit = std::max(depth, 0);
  document()->setUndoRedoEnabled(FUndoLimit > 0);
}

bool TKezUnicodeRichEdit::Modified() const { return document()->isModified(); }
void TKezUnicodeRichEdit::SetModified(bool modified) { document()->setModified(modified); }

void TKezUnicodeRichEdit::SetHideSelection(bool hide) {
  if (hide == FHideSelection) return;
  FHideSelection = hide;
  ApplyHideSelection();
}

void TKezUnicodeRichEdit::ApplyHideSelection() {
  // Without focus the selection is drawn in the inactive colours; with no
  // brush at all it is not drawn, and the text keeps its own colours.
  QPalette colors = palette();
  const QPalette defaults = QApplication::palette(this);
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    colors.setBrush(QPalette::Inactive, role, FHideSelection ? QBrush() : defaults.brush(QPalette::Inactive, role));
  setPalette(colors);
}

void TKezUnicodeRichEdit::SetWordWrap(bool wrap) {
  FWordWrap = wrap;
  setLineWrapMode(wrap && FMultiLine ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TKezUnicodeRichEdit::SetMultiLine(bool multiLine) {
  FMultiLine = multiLine;
  SetWordWrap(FWordWrap);
  SetScrollBars(FScrollBars);
}

void TKezUnicodeRichEdit::SetScrollBars(TKezScrollBars scrollBars) {
  FScrollBars = scrollBars;
  const bool horizontal = scrollBars & sbHorizontal, vertical = (scrollBars & sbVertical) && FMultiLine;
  setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TKezUnicodeRichEdit::SetWordBreakRule(TWordBreakRule rule) { FWordBreak = std::move(rule); }

bool TKezUnicodeRichEdit::DefaultWordBreak(char16_t c) {
  const QChar q(c);
  return !(q.isLetterOrNumber() || q.isMark() || c == u'_' || q.category() == QChar::Other_PrivateUse);
}

// Events.

void TKezUnicodeRichEdit::NotifySelectionChange() {
  const QTextCursor cursor = textCursor();
  const int32_t anchor = int32_t(cursor.anchor()), caret = int32_t(cursor.position());
  if (anchor == FLastAnchor && caret == FLastCaret) return;
  FLastAnchor = anchor;
  FLastCaret = caret;
  if (FOnSelectionChange) FOnSelectionChange(*this);
}

void TKezUnicodeRichEdit::keyPressEvent(QKeyEvent* event) {
  bool handled = false;
  if (FOnKeyDown) FOnKeyDown(*this, *event, handled);
  if (!handled && FLanguage && !isReadOnly()) {
    uint16_t virtualKey = 0;
    TShiftState shift = 0;
    if (VirtualKeyOf(*event, virtualKey, shift)) {
      if (const char16_t c = FLanguage->KeyToChar(virtualKey, shift)) {
        FLanguage->TypeChar(*this, c);
        ensureCursorVisible();
        handled = true;
      }
    }
  }
  if (!handled && !event->text().isEmpty() && FOnKeyPress) FOnKeyPress(*this, *event, handled);
  if (handled) {
    FSwallowedKey = event->key();
    event->accept();
    return;
  }
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && !FMultiLine) {
    event->ignore();  // the window's default button or handler takes it
    return;
  }
  if (!isReadOnly() && FMaxLength > 0) {
    // Typed text: what the key would insert in place of the selection.
    const QString text = event->text();
    const bool command = event->modifiers().testAnyFlags(Qt::ControlModifier | Qt::MetaModifier);
    const bool typed = enter || (!command && !text.isEmpty() && (text[0] >= u' ' || text[0] == u'\t'));
    if (typed) {
      const QTextCursor cursor = textCursor();
      if (!AcceptsInsertion(int32_t(cursor.selectionEnd() - cursor.selectionStart()),
                            enter ? 1 : int32_t(text.size()))) {
        event->accept();
        return;
      }
    }
  }
  QTextEdit::keyPressEvent(event);
}

void TKezUnicodeRichEdit::keyReleaseEvent(QKeyEvent* event) {
  if (FSwallowedKey != 0 && event->key() == FSwallowedKey) {
    if (!event->isAutoRepeat()) FSwallowedKey = 0;
    event->accept();
    return;
  }
  bool handled = false;
  if (FOnKeyUp) FOnKeyUp(*this, *event, handled);
  if (handled) {
    event->accept();
    return;
  }
  QTextEdit::keyReleaseEvent(event);
}

void TKezUnicodeRichEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  if (!commit.isEmpty() && !isReadOnly()) {
    const QTextCursor cursor = textCursor();
    const int32_t removed = int32_t(cursor.selectionEnd() - cursor.selectionStart()) + event->replacementLength();
    if (!AcceptsInsertion(removed, int32_t(commit.size()))) {
      event->accept();
      return;
    }
  }
  QTextEdit::inputMethodEvent(event);
}

void TKezUnicodeRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  // Words by our rule, not the layout's.
  if (event->button() == Qt::LeftButton) {
    const int32_t at = CharFromPos(event->position().toPoint());
    if (at >= 0) {
      int32_t start = 0, end = 0;
      WordRange(at, start, end);
      if (start < end) {
        SetSelection(start, end);
        event->accept();
        return;
      }
    }
  }
  QTextEdit::mouseDoubleClickEvent(event);
}

// The clipboard and drag and drop.

QMimeData* TKezUnicodeRichEdit::createMimeDataFromSelection() const {
  auto* data = new QMimeData;
  int32_t start = 0, end = 0;
  GetSelection(start, end);
  const QByteArray rtf = QByteArray::fromStdString(WriteRtf(RangeDocument(start, end)));
  data->setData(QString::fromLatin1(kRtfMimeTypes[0]), rtf);
#ifdef Q_OS_WIN
  data->setData(QString::fromLatin1(kRtfMimeTypes[2]), rtf);
#endif
  std::u16string text = TextRange(start, end);
  std::replace(text.begin(), text.end(), char16_t(0x000B), u'\n');
  data->setText(ToQString(text));
  return data;
}

bool TKezUnicodeRichEdit::canInsertFromMimeData(const QMimeData* source) const {
  for (const char* type : kRtfMimeTypes)
    if (source->hasFormat(QString::fromLatin1(type))) return true;
  return source->hasText();
}

void TKezUnicodeRichEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly()) return;
  for (const char* type : kRtfMimeTypes) {
    const QString format = QString::fromLatin1(type);
    if (!source->hasFormat(format)) continue;
    const QByteArray rtf = source->data(format);
    const TRtfDocument read = ReadRtf(std::string_view(rtf.constData(), size_t(rtf.size())));
    if (read.Error == reNotRtf) continue;  // mislabelled: try the next
    InsertDocument(read, NamedFormats(std::string_view(rtf.constData(), size_t(rtf.size()))));
    ensureCursorVisible();
    return;
  }
  if (source->hasText()) {
    const QString text = source->text();
    ReplaceSelection(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
    ensureCursorVisible();
  }
}

// Keys.

namespace {

// The virtual key of a character on the US layout (both shift states).
uint16_t UsVirtualKey(char16_t c) {
  if (c >= u'a' && c <= u'z') return uint16_t(c - u'a' + 0x41);
  if (c >= u'A' && c <= u'Z') return uint16_t(c);
  if (c >= u'0' && c <= u'9') return uint16_t(c);
  if (c == u' ') return 0x20;
  static const std::u16string_view shiftedDigits = u")!@#$%^&*(";
  if (const size_t at = shiftedDigits.find(c); at != std::u16string_view::npos) return uint16_t(0x30 + at);
  static const std::u16string_view plain = u";=,-./`[\\]'", shifted = u":+<_>?~{|}\"";
  static const uint16_t oem[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
  if (const size_t at = plain.find(c); at != std::u16string_view::npos) return oem[at];
  if (const size_t at = shifted.find(c); at != std::u16string_view::npos) return oem[at];
  return 0;
}

// X keycodes (evdev + 8) of the main block: the US character at each.
uint16_t VirtualKeyOfScanCode(quint32 code) {
  static const char* const rows[][2] = {
      {"\x0a", "1234567890-="}, {"\x18", "qwertyuiop[]"}, {"\x26", "asdfghjkl;'`"}, {"\x33", "\\zxcvbnm,./"},
  };
  for (const auto& row : rows) {
    const quint32 first = quint32(uint8_t(row[0][0]));
    const std::string_view keys = row[1];
    if (code >= first && code < first + keys.size()) return UsVirtualKey(char16_t(keys[code - first]));
  }
  return code == 65 ? 0x20 : 0;
}

}  // namespace

bool VirtualKeyOf(const QKeyEvent& event, uint16_t& virtualKey, TShiftState& shift) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  virtualKey = 0;
  const int key = event.key();
  if (modifiers & Qt::KeypadModifier) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) virtualKey = uint16_t(0x60 + key - Qt::Key_0);
    switch (key) {
      case Qt::Key_Asterisk: virtualKey = 0x6A; break;
      case Qt::Key_Plus: virtualKey = 0x6B; break;
      case Qt::Key_Minus: virtualKey = 0x6D; break;
      case Qt::Key_Period: case Qt::Key_Comma: virtualKey = 0x6E; break;
      case Qt::Key_Slash: virtualKey = 0x6F; break;
      default: break;
    }
    return virtualKey != 0;
  }
#ifdef Q_OS_WIN
  if (event.nativeVirtualKey() != 0 && event.nativeVirtualKey() <= 0xFF) {
    virtualKey = uint16_t(event.nativeVirtualKey());
    return true;
  }
#else
  const QString platform = QGuiApplication::platformName();
  if (event.nativeScanCode() != 0 && (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))) {
    virtualKey = VirtualKeyOfScanCode(event.nativeScanCode());
    if (virtualKey) return true;
  }
#endif
  if (key >= 0x20 && key <= 0x7E) virtualKey = UsVirtualKey(char16_t(key));
  return virtualKey != 0;
}
