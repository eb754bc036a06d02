#include <gtest/gtest.h>

#include "DictionaryTestUtil.h"
#include "render/uPlainTextWriter.h"

TEST(PlainTextWriter, RendersArticlesForTheTerminal) {
  TLanguageFolder folder;
  folder.Add("main", SourceHeader(u"Lex", u"main", u"latin") +
                         u"#amo\r\n<h>amo</h> <m>v.</m> <n>1</n> love <e>~ te</e>\r\n<n2>a</n> x <c>note</c>\r\n");
  TOptions options;
  TDictionary d(FindLanguage("latin"), folder.Path(), &options);
  d.LoadDictionaries(true);
  d.SetCurrent(0);
  TPlainTextWriter plain(options, false);
  plain.BeginDocument();
  d.RenderArticle(plain);
  plain.EndDocument();
  EXPECT_EQ(plain.Text(), "Lex\namo v.\n1 love a. te\n  a x note\n");

  TPlainTextWriter styled(options, true);
  styled.BeginDocument();
  d.RenderArticle(styled);
  styled.EndDocument();
  EXPECT_NE(styled.Text().find("\x1b[1mamo\x1b[0m"), std::string::npos);  // header bold, then plain again
  EXPECT_NE(styled.Text().find("\x1b[3mv.\x1b[0m"), std::string::npos);   // mark italic
  EXPECT_NE(styled.Text().find("\x1b[2ma. te\x1b[0m"), std::string::npos);  // example dim
}
