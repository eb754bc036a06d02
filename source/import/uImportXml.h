#pragma once
// A small, forgiving XML reader for the dictionary formats: elements,
// attributes, text with the predefined and numeric character references,
// CDATA; comments, processing instructions and the document type are
// skipped. Malformed mark-up never stops it: a "<" that starts no tag is
// text, an end tag that closes nothing open is dropped, and whatever is open
// at the end of the input is closed there.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct TXmlNode {
  std::u16string Name;  // empty for a text node
  std::u16string Text;  // a text node's text
  std::vector<std::pair<std::u16string, std::u16string>> Attributes;
  std::vector<TXmlNode> Children;
  int32_t Line = 0;

  bool IsText() const { return Name.empty(); }
  std::u16string_view Attribute(std::u16string_view name) const;
  // All the text inside, in order.
  std::u16string InnerText() const;
  void AppendInnerText(std::u16string& out) const;
};

class TXmlReader {
public:
  explicit TXmlReader(std::u16string_view text) : FText(text) {}

  enum TKind : uint8_t { xkEnd, xkStart, xkClose, xkText };
  struct TToken {
    TKind Kind = xkEnd;
    std::u16string Name;  // start and end tags
    std::u16string Text;  // text
    std::vector<std::pair<std::u16string, std::u16string>> Attributes;
    bool Empty = false;   // "<x/>"
    int32_t Line = 0;
  };
  // The next token; xkEnd at the end of the input.
  const TToken& Next();
  // The element whose start tag was the last token, with all it holds, up
  // to its end tag. Elements nest at most kMaxDepth deep; deeper tags are
  // dropped and their text kept.
  TXmlNode ReadElement();
  // Character references the reader does not know, such as "&nbsp;".
  const std::vector<std::u16string>& UnknownEntities() const { return FUnknownEntities; }

  static constexpr size_t kMaxDepth = 64;

private:
  void ReadTag();
  void ReadText();
  void AppendReference(std::u16string& out);
  void Skip(std::u16string_view until);
  bool At(std::u16string_view text) const { return FText.substr(FPosition, text.size()) == text; }
  void Advance(size_t count);

  std::u16string_view FText;
  size_t FPosition = 0;
  int32_t FLine = 1;
  TToken FToken;
  std::vector<std::u16string> FUnknownEntities;
};
