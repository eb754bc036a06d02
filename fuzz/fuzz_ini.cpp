// Text in, read as kodra3.ini; whatever reads must write back to text that
// reads to the same options.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "options/uOptions.h"
#include "options/uOptionsIni.h"

namespace {
// Two values are not written and so come back as the constructor's: a black
// tag colour (black is the declared default, a new tag holds clNone) and an
// empty default font name (strings are written only when non-empty).
bool LostOnWriting(const TOptions& o) {
  if (o.DefFontName().empty()) return true;
  for (const TOptionsTag* tag : {&o.CaptionTag(), &o.HeaderTag(), &o.MarkTag(), &o.AuthorTag(), &o.EnumTag(),
                                 &o.CommentTag(), &o.ExampleTag()})
    if (tag->Color() == clBlack) return true;
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TOptions options;
  try {
    ReadOptionsText(std::string_view(reinterpret_cast<const char*>(data), size), options);
  } catch (const EOptionsReadError&) {
    return 0;
  }
  const std::string text = WriteOptionsText(options);
  TOptions back;
  ReadOptionsText(text, back);  // a failure here escapes and is reported
  if (!LostOnWriting(options) && WriteOptionsText(back) != text) std::abort();
  return 0;
}
