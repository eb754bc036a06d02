#include <gtest/gtest.h>

#include "SourceTestUtil.h"
#include "source/uSourceFilePosition.h"

// Verification errors are reported at the file's own line and column, though
// reading sorted the articles and dropped their extra empty lines.
TEST(SourceFilePosition, MapsEditingFormBackToTheFile) {
  const std::u16string file =
      u"<header>\r\ncaption=c\r\ncomment=c\r\nlanguage=ancientgreek\r\nkind=main\r\n</header>\r\n"
      u"<mark>\r\nz.=zeta\r\na.=al}}pha\r\n</mark>\r\n"
      u"#ω\r\n\r\n\r\nfirst\r\n\r\n\r\n\r\nsecond <e>open\r\n"
      u"#α\r\nfine\r\n";
  TSourceFixture f;
  f.Load(file);
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.Verify(); }), "SInvalidMeta");
  auto at = LocateInSourceFile(file, f.Dictionary, f.Dictionary.CurrentPart(), f.Dictionary.CurrentItem(),
                               f.Dictionary.SelectionStart());
  ASSERT_TRUE(at.Found);
  EXPECT_EQ(at.Line, 9);  // a.=al}}pha, listed after z. in the file but first in the section
  EXPECT_EQ(at.Column, 6);
  EXPECT_EQ(at.LineText, u"a.=al}}pha");

  f.Dictionary.SetPartText(u"<mark>\r\na.=alpha\r\n</mark>\r\n", spMarks, 0);
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.Verify(); }), "SAbsentFinalTag");
  at = LocateInSourceFile(file, f.Dictionary, f.Dictionary.CurrentPart(), f.Dictionary.CurrentItem(),
                          f.Dictionary.SelectionStart());
  ASSERT_TRUE(at.Found);
  EXPECT_EQ(at.Line, 18);
  EXPECT_EQ(at.Column, 8);
  EXPECT_EQ(at.LineText, u"second <e>open");
}
