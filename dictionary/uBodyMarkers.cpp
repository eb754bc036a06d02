#include "dictionary/uBodyMarkers.h"

#include <cstdio>

namespace {
constexpr const char16_t* kUnitMarkers[16] = {
    u"",   u"<h>", u"</h>", u"<m>", u"</m>", u"<a>", u"</a>", u"<n>",
    u"<n2>", u"<n3>", u"</n>", u"<c>", u"</c>", u"<e>", u"</e>", u"\n"};
}

std::u16string BodyWithMarkers(std::u16string_view body) {
  std::u16string out;
  out.reserve(body.size() + body.size() / 4);
  for (char16_t c : body) {
    if (c >= 1 && c <= 15) {
      out += kUnitMarkers[c];
    } else if (c >= 0xF000) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "$%04X", unsigned(c));
      out.append(hex, hex + 5);
    } else {
      out += c;
    }
  }
  return out;
}
