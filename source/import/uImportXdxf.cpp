// XDXF, both formats: the visual one, whose articles are text laid out as
// shown (line ends count), and the logical one, whose nested definitions
// are numbered senses. The list of abbreviations becomes the marks section.
#include <string>
#include <vector>

#include "foundation/KezText.h"
#include "source/import/uImportWriter.h"
#include "source/import/uImportXml.h"

namespace {
// Elements whose text stays, with the style it takes.
constexpr TElementStyle kStyles[] = {
    {u"gr", isMark},       {u"abr", isMark},        {u"abbr", isMark},      {u"ex", isExample},
    {u"co", isComment},    {u"etm", isComment},     {u"b", isExample},      {u"deftext", isPlain},
    {u"kref", isPlain},    {u"iref", isPlain},      {u"dtrn", isPlain},     {u"i", isPlain},
    {u"c", isPlain},       {u"sup", isPlain},       {u"sub", isPlain},      {u"u", isPlain},
    {u"big", isPlain},     {u"small", isPlain},     {u"tt", isPlain},       {u"opt", isPlain},
    {u"ex_orig", isPlain}, {u"ex_tran", isPlain},   {u"ex_transl", isPlain}, {u"mrkd", isPlain},
    {u"sr", isPlain},      {u"syn", isPlain},       {u"ant", isPlain},      {u"hpr", isPlain},
    {u"hpn", isPlain},     {u"par", isPlain},       {u"spv", isPlain},      {u"categ", isPlain},
    {u"tr", isPlain},      {u"nu", isPlain},        {u"su", isPlain},       {u"di", isPlain},
};

class TXdxfReader {
public:
  TXdxfReader(std::u16string_view text, TImportWriter& writer) : FReader(text), FWriter(writer), FText(writer) {}
  void Run();

private:
  void Abbreviations(const TXmlNode& node);
  void Article(const TXmlNode& node);
  void Headwords(const TXmlNode& node, std::vector<std::u16string>& shown, std::vector<std::u16string>& keys);
  void Walk(const TXmlNode& node);
  void Children(const TXmlNode& node);
  void Definition(const TXmlNode& node);
  void WriteText(std::u16string_view text);

  TXmlReader FReader;
  TImportWriter& FWriter;
  TImportText FText;
  bool FVisual = true;
  int FAbbreviation = 0;  // inside abbreviations: spaces join their words
  int FSenseLevel = 0;
};

void TXdxfReader::Run() {
  std::u16string fullName, title, description;
  for (;;) {
    const TXmlReader::TToken& token = FReader.Next();
    if (token.Kind == TXmlReader::xkEnd) break;
    if (token.Kind != TXmlReader::xkStart) continue;
    const std::u16string name = token.Name;
    FWriter.SetLine(token.Line);
    if (name == u"xdxf") {
      for (const auto& [key, value] : token.Attributes)
        if (key == u"format") FVisual = value != u"logical";
    } else if (name == u"full_name" || name == u"full_title") {
      fullName = FReader.ReadElement().InnerText();
    } else if (name == u"title") {
      title = FReader.ReadElement().InnerText();
    } else if (name == u"description") {
      description = FReader.ReadElement().InnerText();
    } else if (name == u"abbreviations") {
      Abbreviations(FReader.ReadElement());
    } else if (name == u"ar") {
      Article(FReader.ReadElement());
    }
  }
  FWriter.SetCaption(fullName.empty() ? title : fullName);
  FWriter.SetComment(description);
  for (const std::u16string& entity : FReader.UnknownEntities()) FWriter.Unmapped("&" + ToUtf8(entity) + ";");
}

void TXdxfReader::Abbreviations(const TXmlNode& node) {
  for (const TXmlNode& definition : node.Children) {
    if (definition.Name != u"abbr_def" && definition.Name != u"abr_def") continue;
    FWriter.SetLine(definition.Line);
    std::vector<std::u16string> keys;
    std::u16string value;
    for (const TXmlNode& part : definition.Children) {
      if (part.Name == u"abbr_k" || part.Name == u"k") keys.push_back(part.InnerText());
      if (part.Name == u"abbr_v" || part.Name == u"v") value = part.InnerText();
    }
    for (const std::u16string& key : keys) FWriter.AddMark(key, value);
  }
}

void TXdxfReader::Headwords(const TXmlNode& node, std::vector<std::u16string>& shown, std::vector<std::u16string>& keys) {
  for (const TXmlNode& child : node.Children) {
    if (child.Name == u"head") Headwords(child, shown, keys);
    if (child.Name != u"k") continue;
    std::u16string key;
    for (const TXmlNode& part : child.Children)
      if (part.Name != u"opt") part.AppendInnerText(key);  // optional parts are shown, not indexed
    shown.push_back(child.InnerText());
    keys.push_back(std::move(key));
  }
}

void TXdxfReader::Article(const TXmlNode& node) {
  FWriter.CountEntry();
  FWriter.SetLine(node.Line);
  std::vector<std::u16string> shown, keys;
  Headwords(node, shown, keys);
  std::u16string heading;
  for (std::u16string& headword : shown) {
    // Keep the shown form on one line, without the layout's spaces.
    std::u16string clean;
    for (char16_t c : headword) {
      const bool blank = c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
      if (blank && (clean.empty() || clean.back() == u' ')) continue;
      clean += blank ? u' ' : c;
    }
    while (!clean.empty() && clean.back() == u' ') clean.pop_back();
    headword = clean;
    if (!heading.empty()) heading += u"; ";
    heading += headword;
  }
  FText.Push(isHeader);
  FText.Text(heading);
  FText.Pop();
  FText.LineBreak();
  FSenseLevel = 0;
  FAbbreviation = 0;
  Children(node);
  FWriter.SetLine(node.Line);
  FWriter.AddEntry(shown, FText.Take(), keys);
}

void TXdxfReader::WriteText(std::u16string_view text) {
  if (!FVisual) {
    FAbbreviation ? FText.AbbreviationText(text) : FText.Text(text);
    return;
  }
  // The visual format shows its line ends.
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\n') continue;
    const std::u16string_view piece = text.substr(start, i - start);
    FAbbreviation ? FText.AbbreviationText(piece) : FText.Text(piece);
    if (i < text.size()) FText.LineBreak();
    start = i + 1;
  }
}

void TXdxfReader::Children(const TXmlNode& node) {
  for (const TXmlNode& child : node.Children) Walk(child);
}

void TXdxfReader::Definition(const TXmlNode& node) {
  int senses = 0;
  for (const TXmlNode& child : node.Children) senses += child.Name == u"def";
  int index = 0;
  for (const TXmlNode& child : node.Children) {
    if (child.Name != u"def") {
      Walk(child);
      continue;
    }
    if (senses < 2) {
      FText.LineBreak();
      Definition(child);
      continue;
    }
    ++FSenseLevel;
    FText.Enumeration(FSenseLevel, SenseLabel(index++, FSenseLevel));
    Definition(child);
    --FSenseLevel;
    FText.LineBreak();
  }
}

void TXdxfReader::Walk(const TXmlNode& node) {
  if (node.IsText()) {
    WriteText(node.Text);
    return;
  }
  const std::u16string& name = node.Name;
  if (name == u"k" || name == u"head") return;  // the heading shows them
  if (name == u"def") {
    FText.LineBreak();
    Definition(node);
    return;
  }
  if (name == u"br") {
    FText.LineBreak();
    return;
  }
  if (name == u"rref") {
    FWriter.SetLine(node.Line);
    FWriter.Skip("media <rref> \"" + ToUtf8(node.InnerText()) + "\"", "sound, pictures and video are not imported");
    return;
  }
  TImportStyle style = MappedElementStyle(kStyles, name, FWriter);
  const bool abbreviation = name == u"abr" || name == u"abbr";
  if (name == u"tr") FText.Text(u"[");
  FText.Push(style);
  FAbbreviation += abbreviation;
  Children(node);
  FAbbreviation -= abbreviation;
  FText.Pop();
  if (name == u"tr") FText.Text(u"]");
}
}  // namespace

void ImportXdxf(std::u16string_view text, TImportWriter& writer) {
  TXdxfReader reader(text, writer);
  reader.Run();
}
