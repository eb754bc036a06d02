// kodra-cli info / dump: what a compiled dictionary holds.
#include <iostream>

#include "dictionary/uBinaryDictionary.h"
#include "dictionary/uBodyMarkers.h"
#include "foundation/KezText.h"
#include "tools/CliCommands.h"
#include "tools/CliJson.h"
#include "tools/CliOptions.h"

namespace {
bool LoadOne(const std::vector<std::string>& args, TBinaryDictionary& dictionary, bool& json) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json"}, {});
  if (parsed.Positional.size() != 1) {
    std::cerr << "kodra-cli: expected one file name\n";
    return false;
  }
  json = parsed.Has("--json");
  dictionary.LoadFromFile(parsed.Positional[0]);
  return true;
}

void WriteHeaderJson(TJsonWriter& json, const TBinaryDictionary& dictionary) {
  json.Field("file", dictionary.FileName())
      .Field("caption", std::u16string_view(dictionary.Caption()))
      .Field("comment", std::u16string_view(dictionary.Comment()))
      .Field("kind", DictionaryKindName(dictionary.Kind()))
      .Field("language", std::u16string_view(dictionary.LanguageId()))
      .Field("abbreviations", dictionary.AbbreviationCount())
      .Field("articles", dictionary.ArticleCount())
      .Field("characters", dictionary.CharCount());
}
}  // namespace

int RunInfo(const std::vector<std::string>& args) {
  TBinaryDictionary dictionary;
  bool json = false;
  if (!LoadOne(args, dictionary, json)) return 2;
  if (json) {
    TJsonWriter writer(std::cout);
    writer.BeginObject();
    WriteHeaderJson(writer, dictionary);
    writer.EndObject();
    std::cout << '\n';
    return 0;
  }
  std::cout << "Caption:       " << ToUtf8(dictionary.Caption()) << '\n'
            << "Comment:       " << ToUtf8(dictionary.Comment()) << '\n'
            << "Kind:          " << DictionaryKindName(dictionary.Kind()) << '\n'
            << "Language:      " << ToUtf8(dictionary.LanguageId()) << '\n'
            << "Abbreviations: " << dictionary.AbbreviationCount() << '\n'
            << "Articles:      " << dictionary.ArticleCount() << '\n'
            << "Characters:    " << dictionary.CharCount() << '\n';
  return 0;
}

int RunDump(const std::vector<std::string>& args) {
  TBinaryDictionary dictionary;
  bool json = false;
  if (!LoadOne(args, dictionary, json)) return 2;
  if (json) {
    TJsonWriter writer(std::cout);
    writer.BeginObject();
    WriteHeaderJson(writer, dictionary);
    writer.Key("abbreviationList").BeginArray();
    for (int32_t i = 0; i < dictionary.AbbreviationCount(); ++i)
      writer.BeginObject()
          .Field("abbreviation", std::u16string_view(dictionary.GetAbbreviation(i)))
          .Field("explanation", std::u16string_view(dictionary.GetExplanation(i)))
          .EndObject();
    writer.EndArray();
    writer.Key("articleList").BeginArray();
    for (int32_t i = 0; i < dictionary.ArticleCount(); ++i)
      writer.BeginObject()
          .Field("keyword", std::u16string_view(dictionary.GetKeyword(i)))
          .Field("body", std::u16string_view(BodyWithMarkers(dictionary.GetArticle(i))))
          .EndObject();
    writer.EndArray().EndObject();
    std::cout << '\n';
    return 0;
  }
  std::cout << "<abbreviations>\n";
  for (int32_t i = 0; i < dictionary.AbbreviationCount(); ++i)
    std::cout << ToUtf8(dictionary.GetAbbreviation(i)) << '=' << ToUtf8(dictionary.GetExplanation(i)) << '\n';
  std::cout << "</abbreviations>\n";
  for (int32_t i = 0; i < dictionary.ArticleCount(); ++i) {
    std::cout << '\n' << '#' << ToUtf8(dictionary.GetKeyword(i)) << '\n'
              << ToUtf8(BodyWithMarkers(dictionary.GetArticle(i))) << '\n';
  }
  return 0;
}
