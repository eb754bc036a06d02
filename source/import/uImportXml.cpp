#include "source/import/uImportXml.h"

#include <algorithm>

#include "foundation/KezText.h"

namespace {
bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsNameStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x00C0;
}
bool IsNameChar(char16_t c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0x00B7;
}
}  // namespace

std::u16string_view TXmlNode::Attribute(std::u16string_view name) const {
  for (const auto& [key, value] : Attributes)
    if (key == name) return value;
  return {};
}

void TXmlNode::AppendInnerText(std::u16string& out) const {
  if (IsText()) {
    out += Text;
    return;
  }
  for (const TXmlNode& child : Children) child.AppendInnerText(out);
}

std::u16string TXmlNode::InnerText() const {
  std::u16string text;
  AppendInnerText(text);
  return text;
}

void TXmlReader::Advance(size_t count) {
  const size_t end = std::min(FText.size(), FPosition + count);
  FLine += int32_t(std::count(FText.begin() + std::ptrdiff_t(FPosition), FText.begin() + std::ptrdiff_t(end), u'\n'));
  FPosition = end;
}

void TXmlReader::Skip(std::u16string_view until) {
  const size_t end = FText.find(until, FPosition);
  Advance(end == std::u16string_view::npos ? FText.size() - FPosition : end - FPosition + until.size());
}

const TXmlReader::TToken& TXmlReader::Next() {
  for (;;) {
    FToken.Name.clear();
    FToken.Text.clear();
    FToken.Attributes.clear();
    FToken.Empty = false;
    FToken.Line = FLine;
    if (FPosition >= FText.size()) {
      FToken.Kind = xkEnd;
      return FToken;
    }
    if (FText[FPosition] != u'<') {
      ReadText();
      return FToken;
    }
    if (At(u"<!--")) {
      Skip(u"-->");
      continue;
    }
    if (At(u"<![CDATA[")) {
      Advance(9);
      const size_t end = FText.find(u"]]>", FPosition);
      const size_t stop = end == std::u16string_view::npos ? FText.size() : end;
      FToken.Kind = xkText;
      FToken.Text = std::u16string(FText.substr(FPosition, stop - FPosition));
      Advance(stop - FPosition + 3);
      return FToken;
    }
    if (At(u"<?")) {
      Skip(u"?>");
      continue;
    }
    if (At(u"<!")) {  // the document type, with its internal subset in brackets
      int brackets = 0;
      while (FPosition < FText.size()) {
        const char16_t c = FText[FPosition];
        Advance(1);
        if (c == u'[') ++brackets;
        if (c == u']' && brackets > 0) --brackets;
        if (c == u'>' && brackets == 0) break;
      }
      continue;
    }
    const size_t after = FPosition + 1;
    const bool closing = after < FText.size() && FText[after] == u'/';
    const size_t nameAt = closing ? after + 1 : after;
    if (nameAt >= FText.size() || !IsNameStart(FText[nameAt])) {
      ReadText();  // a "<" that starts no tag
      return FToken;
    }
    ReadTag();
    return FToken;
  }
}

void TXmlReader::ReadText() {
  FToken.Kind = xkText;
  // A "<" that starts no tag is taken as text.
  if (FText[FPosition] == u'<') {
    FToken.Text += u'<';
    Advance(1);
  }
  while (FPosition < FText.size() && FText[FPosition] != u'<') {
    const char16_t c = FText[FPosition];
    if (c == u'&') {
      AppendReference(FToken.Text);
      continue;
    }
    if (c == u'\n') ++FLine;
    FToken.Text += c;
    ++FPosition;
  }
}

void TXmlReader::AppendReference(std::u16string& out) {
  // A reference is short: its end is looked for only that far.
  constexpr size_t kLongest = 12;
  const size_t end = FText.substr(0, FPosition + kLongest + 1).find(u';', FPosition);
  if (end == std::u16string_view::npos || end - FPosition > kLongest) {
    out += u'&';
    ++FPosition;
    return;
  }
  const std::u16string_view name = FText.substr(FPosition + 1, end - FPosition - 1);
  uint32_t code = 0;
  if (name == u"lt") code = u'<';
  else if (name == u"gt") code = u'>';
  else if (name == u"amp") code = u'&';
  else if (name == u"quot") code = u'"';
  else if (name == u"apos") code = u'\'';
  else if (name.size() >= 2 && name[0] == u'#') {
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const std::u16string_view digits = name.substr(hex ? 2 : 1);
    bool valid = !digits.empty();
    for (char16_t d : digits) {
      uint32_t value;
      if (d >= u'0' && d <= u'9') value = d - u'0';
      else if (hex && d >= u'a' && d <= u'f') value = d - u'a' + 10;
      else if (hex && d >= u'A' && d <= u'F') value = d - u'A' + 10;
      else {
        valid = false;
        break;
      }
      code = code * (hex ? 16 : 10) + value;
      if (code > 0x10FFFF) valid = false;
      if (!valid) break;
    }
    if (!valid || code == 0) code = 0xFFFD;
  } else {
    FUnknownEntities.emplace_back(name);
    out += FText.substr(FPosition, end - FPosition + 1);
    FPosition = end + 1;
    return;
  }
  AppendUtf16(out, code);
  FPosition = end + 1;
}

void TXmlReader::ReadTag() {
  const bool closing = FText[FPosition + 1] == u'/';
  Advance(closing ? 2 : 1);
  FToken.Kind = closing ? xkClose : xkStart;
  const size_t nameStart = FPosition;
  while (FPosition < FText.size() && IsNameChar(FText[FPosition])) ++FPosition;
  FToken.Name = std::u16string(FText.substr(nameStart, FPosition - nameStart));
  // Attributes up to ">" or "/>"; anything malformed is passed over.
  while (FPosition < FText.size()) {
    const char16_t c = FText[FPosition];
    if (c == u'>') {
      ++FPosition;
      return;
    }
    if (c == u'/' && FPosition + 1 < FText.size() && FText[FPosition + 1] == u'>') {
      FToken.Empty = !closing;
      FPosition += 2;
      return;
    }
    if (c == u'<') return;  // a tag left unfinished: the next one starts here
    if (!IsNameStart(c)) {
      Advance(1);
      continue;
    }
    const size_t keyStart = FPosition;
    while (FPosition < FText.size() && IsNameChar(FText[FPosition])) ++FPosition;
    std::u16string key(FText.substr(keyStart, FPosition - keyStart));
    while (FPosition < FText.size() && IsXmlSpace(FText[FPosition])) Advance(1);
    std::u16string value;
    if (FPosition < FText.size() && FText[FPosition] == u'=') {
      Advance(1);
      while (FPosition < FText.size() && IsXmlSpace(FText[FPosition])) Advance(1);
      if (FPosition < FText.size() && (FText[FPosition] == u'"' || FText[FPosition] == u'\'')) {
        const char16_t quote = FText[FPosition++];
        while (FPosition < FText.size() && FText[FPosition] != quote) {
          if (FText[FPosition] == u'&') {
            AppendReference(value);
            continue;
          }
          if (FText[FPosition] == u'\n') ++FLine;
          value += FText[FPosition++];
        }
        if (FPosition < FText.size()) ++FPosition;
      }
    }
    if (!closing && FToken.Attributes.size() < 64) FToken.Attributes.emplace_back(std::move(key), std::move(value));
  }
}

TXmlNode TXmlReader::ReadElement() {
  TXmlNode root;
  root.Name = FToken.Name;
  root.Attributes = FToken.Attributes;
  root.Line = FToken.Line;
  if (FToken.Empty) return root;
  std::vector<TXmlNode*> open{&root};
  size_t dropped = 0;  // start tags past the depth limit still open
  while (!open.empty()) {
    const TToken& token = Next();
    switch (token.Kind) {
      case xkEnd:
        return root;
      case xkText: {
        TXmlNode& parent = *open.back();
        if (!parent.Children.empty() && parent.Children.back().IsText()) {
          parent.Children.back().Text += token.Text;
        } else {
          TXmlNode text;
          text.Text = token.Text;
          text.Line = token.Line;
          parent.Children.push_back(std::move(text));
        }
        break;
      }
      case xkStart: {
        if (open.size() >= kMaxDepth) {
          if (!token.Empty) ++dropped;
          break;
        }
        TXmlNode child;
        child.Name = token.Name;
        child.Attributes = token.Attributes;
        child.Line = token.Line;
        TXmlNode& parent = *open.back();
        parent.Children.push_back(std::move(child));
        if (!token.Empty) open.push_back(&parent.Children.back());
        break;
      }
      case xkClose: {
        if (dropped > 0) {
          --dropped;
          break;
        }
        // Close up to the innermost open element of that name; an end tag
        // of nothing open is dropped.
        for (size_t k = open.size(); k-- > 0;) {
          if (open[k]->Name != token.Name) continue;
          open.resize(k);
          break;
        }
        break;
      }
    }
  }
  return root;
}
