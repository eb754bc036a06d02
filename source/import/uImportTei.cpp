// TEI dictionaries in the form of the Perseus lexica: "entryFree" (or
// "entry") elements with "orth" headwords, "sense" elements with their level
// and label, grammar, citations and quotations.
#include <cctype>
#include <string>
#include <vector>

#include <unicode/uchar.h>

#include "foundation/KezText.h"
#include "source/import/uImportWriter.h"
#include "source/import/uImportXml.h"

namespace {
constexpr TElementStyle kStyles[] = {
    {u"gramGrp", isMark}, {u"gram", isMark},       {u"gen", isMark},        {u"pos", isMark},
    {u"itype", isMark},   {u"tns", isMark},        {u"mood", isMark},       {u"case", isMark},
    {u"number", isMark},  {u"per", isMark},        {u"subc", isMark},       {u"usg", isMark},
    {u"bibl", isAuthor},  {u"author", isAuthor},   {u"quote", isExample},   {u"foreign", isExample},
    {u"q", isExample},    {u"etym", isComment},    {u"note", isComment},    {u"cit", isPlain},
    {u"tr", isPlain},     {u"xr", isPlain},        {u"ref", isPlain},       {u"lbl", isPlain},
    {u"abbr", isPlain},   {u"pron", isPlain},      {u"placeName", isPlain}, {u"name", isPlain},
    {u"date", isPlain},   {u"hi", isPlain},        {u"num", isPlain},       {u"title", isPlain},
    {u"biblScope", isPlain}, {u"emph", isPlain},   {u"term", isPlain},      {u"form", isPlain},
    {u"re", isPlain},     {u"def", isPlain},       {u"trans", isPlain},     {u"lang", isPlain},
    {u"orth", isHeader},
};

bool IsLetterOrDigit(char16_t c) { return c >= 0x80 ? bool(u_isalnum(c)) : (std::isalnum(c) != 0); }

std::u16string Tidy(std::u16string_view text) {
  std::u16string result;
  for (char16_t c : text) {
    const bool blank = c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
    if (blank && (result.empty() || result.back() == u' ')) continue;
    result += blank ? u' ' : c;
  }
  while (!result.empty() && (result.back() == u' ' || result.back() == u',' || result.back() == u';' ||
                             result.back() == u':'))
    result.pop_back();
  return result;
}

class TTeiReader {
public:
  TTeiReader(std::u16string_view text, TImportWriter& writer) : FReader(text), FWriter(writer), FText(writer) {}
  void Run();

private:
  void Entry(const TXmlNode& node);
  void Walk(const TXmlNode& node);
  void WriteText(std::u16string_view text);

  TXmlReader FReader;
  TImportWriter& FWriter;
  TImportText FText;
  bool FBoundary = false;     // an element began or ended since the last text
  char16_t FLastText = 0;     // the last unit of text written on the line
  const TXmlNode* FFirstOrth = nullptr;
  std::u16string FHomonym;
};

void TTeiReader::Run() {
  std::u16string title;
  for (;;) {
    const TXmlReader::TToken& token = FReader.Next();
    if (token.Kind == TXmlReader::xkEnd) break;
    if (token.Kind != TXmlReader::xkStart) continue;
    FWriter.SetLine(token.Line);
    if (token.Name == u"title" && title.empty()) {
      title = Tidy(FReader.ReadElement().InnerText());
    } else if (token.Name == u"entryFree" || token.Name == u"entry") {
      Entry(FReader.ReadElement());
    }
  }
  FWriter.SetCaption(title);
  for (const std::u16string& entity : FReader.UnknownEntities()) FWriter.Unmapped("&" + ToUtf8(entity) + ";");
}

void TTeiReader::Entry(const TXmlNode& node) {
  FWriter.CountEntry();
  FWriter.SetLine(node.Line);
  // The key names the headword as indexed; a number at its end tells homonyms apart.
  std::u16string key(node.Attribute(u"key"));
  size_t digits = key.size();
  while (digits > 0 && key[digits - 1] >= u'0' && key[digits - 1] <= u'9') --digits;
  FHomonym.clear();
  if (digits < key.size() && key.size() - digits <= 2) {
    const int number = std::stoi(ToUtf8(key.substr(digits)));
    if (number >= 1 && number <= 26) FHomonym = std::u16string(u" (") + char16_t(u'A' + number - 1) + u")";
  }
  key.resize(digits);

  // Headwords: the orths before the first sense; a bare stem ("ξειν-") is none.
  std::vector<std::u16string> shown, keys;
  FFirstOrth = nullptr;
  for (const TXmlNode& child : node.Children) {
    if (child.Name == u"sense") break;
    if (child.Name != u"orth") continue;
    const std::u16string orth = Tidy(child.InnerText());
    if (!FFirstOrth) {
      FFirstOrth = &child;
      shown.push_back(orth);
      keys.push_back(key.empty() ? orth : key);
      continue;
    }
    if (orth.empty() || orth.back() == u'-') continue;
    shown.push_back(orth);
    keys.push_back(orth);
  }
  if (shown.empty() && !key.empty()) {  // an entry without orth: its key is shown
    shown.push_back(key);
    keys.push_back(key);
    FText.Push(isHeader);
    FText.Text(key + FHomonym);
    FText.Pop();
  }
  FBoundary = false;
  FLastText = 0;
  for (const TXmlNode& child : node.Children) Walk(child);
  FWriter.SetLine(node.Line);
  FWriter.AddEntry(shown, FText.Take(), keys);
}

void TTeiReader::WriteText(std::u16string_view text) {
  if (text.empty()) return;
  // The Perseus files lose the spaces next to elements ("ap.<bibl>Orib.",
  // "fut.,<tns>"): put one back between a word or a stop and a word.
  const char16_t first = text.front();
  const bool blankFirst = first == u' ' || first == u'\t' || first == u'\r' || first == u'\n';
  if (FBoundary && !blankFirst && FLastText != 0 && FLastText != u' ') {
    const bool before = IsLetterOrDigit(FLastText) || std::u16string_view(u",;:.!?)").find(FLastText) != std::u16string_view::npos;
    const bool after = IsLetterOrDigit(first) || first == u'(';
    if (before && after) FText.Space();
  }
  FBoundary = false;
  FText.Text(text);
  for (size_t i = text.size(); i-- > 0;) {
    const char16_t c = text[i];
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
      FLastText = u' ';
      continue;
    }
    FLastText = c;
    break;
  }
}

void TTeiReader::Walk(const TXmlNode& node) {
  if (node.IsText()) {
    // White space with a line end between elements is the file's layout.
    const bool layout = node.Text.find(u'\n') != std::u16string::npos &&
                        node.Text.find_first_not_of(u" \t\r\n") == std::u16string::npos;
    if (layout) FBoundary = true; else WriteText(node.Text);
    return;
  }
  const std::u16string& name = node.Name;
  if (name == u"pb" || name == u"milestone") return;
  if (name == u"lb") {
    FText.LineBreak();
    FLastText = 0;
    return;
  }
  if (name == u"sense") {
    const std::u16string label(node.Attribute(u"n"));
    int level = 1;
    const std::u16string_view levelText = node.Attribute(u"level");
    if (levelText.size() == 1 && levelText[0] >= u'1' && levelText[0] <= u'9') level = levelText[0] - u'0';
    if (label.empty()) FText.LineBreak(); else FText.Enumeration(level, label + u".");
    FLastText = 0;
    FBoundary = false;
    for (const TXmlNode& child : node.Children) Walk(child);
    FBoundary = true;
    return;
  }
  TImportStyle style = MappedElementStyle(kStyles, name, FWriter);
  if (name == u"orth" && &node != FFirstOrth) style = isExample;  // a form named in the text
  FBoundary = true;
  FText.Push(style);
  for (const TXmlNode& child : node.Children) Walk(child);
  FText.Pop();
  if (&node == FFirstOrth && !FHomonym.empty()) FText.Text(FHomonym);
  FBoundary = true;
}
}  // namespace

void ImportTei(std::u16string_view text, TImportWriter& writer) {
  TTeiReader reader(text, writer);
  reader.Run();
}
