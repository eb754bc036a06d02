#pragma once
// A language folder of compiled dictionaries made from source texts, and the
// text that the article view really shows for the current keyword.
#include <string>

#include "MemoryRichEdit.h"
#include "SourceTestUtil.h"
#include "dictionary/uDictionary.h"
#include "render/uRichEditWriter.h"
#include "render/uRtfReader.h"

inline std::u16string SourceHeader(std::u16string_view caption, std::u16string_view kind, std::u16string_view language) {
  return u"<header>\r\ncaption=" + std::u16string(caption) + u"\r\ncomment=c\r\nkind=" + std::u16string(kind) +
         u"\r\nlanguage=" + std::u16string(language) + u"\r\n</header>\r\n";
}

class TLanguageFolder {
public:
  // Compiles the source text into <folder>/<name>.kdb.
  void Add(const std::string& name, std::u16string_view source) {
    TSourceDictionary dictionary(FindLanguage("ancientgreek"));
    const std::string path = FDir.Write(name + ".kds", Utf16Bytes(source));
    dictionary.LoadFromFile(path);
    dictionary.Verify();
    dictionary.Compile(FDir.Path(name + ".kdb"));
  }
  void Configure(const std::string& text) { FDir.Write("dictionaries.cfg", text); }
  std::string Configuration() const {
    const auto bytes = ReadBytes(FDir.Path("dictionaries.cfg"));
    return std::string(bytes.begin(), bytes.end());
  }
  std::string Path() const { return FDir.Root().string(); }
  const TTempDir& Dir() const { return FDir; }

private:
  TTempDir FDir;
};

// The current article as the article view shows it: rendered to RTF and read back.
inline std::u16string ShownText(TDictionary& dictionary, const TOptions& options = Options()) {
  TMemoryRichEdit edit;
  TRtfRichEditWriter writer(edit, dictionary.Language(), options);
  writer.BeginDocument();
  dictionary.RenderArticle(writer);
  writer.EndDocument();
  return ReadRtf(writer.Document()).PlainText();
}
