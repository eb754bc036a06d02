// The dictionary editor driven as an author drives it: open, edit, accept,
// verify, compile, merge, search and replace, with the questions it asks
// answered by the test.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "SettleEvents.h"

#include "editor/uEditorPrompts.h"
#include "editor/uFormKodraEditor.h"
#include "foundation/KezProgramFolder.h"
#include "dictionary/uDictionary.h"
#include "options/uOptions.h"
#include "render/uPlainTextWriter.h"
#include "source/uRecoveryCopy.h"
#include "source/uSourceDictionary.h"
#include "viewer/uCommandLine.h"
#include "viewer/uCommands.h"
#include "viewer/keyboard/uSystemKeyboard.h"
#include "viewer/uData.h"
#include "viewer/uStatusLine.h"
#include "widgets/KezListBox.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace fs = std::filesystem;

namespace {
const std::u16string kHeader =
    u"<header>\r\ncaption=Test\r\ncomment=c\r\nkind=user\r\nlanguage=ancientgreek\r\n</header>\r\n";
const std::u16string kArticles = u"#α\r\nалфа\r\n#γ\r\nгамма\r\n#ε\r\nэпсилон\r\n";

void WriteUtf16(const fs::path& path, std::u16string_view text) {
  std::ofstream out(path, std::ios::binary);
  for (char16_t c : text) out.put(char(c & 0xFF)).put(char(c >> 8));
}

std::u16string ReadUtf16(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::u16string text;
  for (int low, high; (low = in.get()) != EOF && (high = in.get()) != EOF;) text += char16_t(low | (high << 8));
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

// A program folder of its own, and the editor on a small Greek dictionary
// in it. Questions are answered from queues; an unexpected one fails.
class EditorWindowTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FHome.isValid());
    for (const char* language : {"ancientgreek", "latin"})
      fs::copy(fs::path(KODRA_BIN_DIR) / language, Home() / language, fs::copy_options::recursive);
    FPrevious = ProgramFolder();
    SetProgramFolder(FHome.path().toStdString());
    SetDefaultLanguageId("ancientgreek");
    Options().LoadFirstRunDefaults();
    Options().SetBoxOnError(false);
    Options().SetBeepOnError(false);
    Options().SetHelpOnError(false);
    TFormKodraEditor::LastDictionary().clear();
    TGlobalData::OpenSettings("Editor")->remove("LastDictionary");
    EditorPrompts().AskYesNoCancel = [this](QWidget*, const QString& question) {
      FQuestions.push_back(question);
      if (FYesNoCancel.empty()) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return int(QMessageBox::Cancel);
      }
      const int answer = FYesNoCancel.front();
      FYesNoCancel.pop_front();
      return answer;
    };
    EditorPrompts().AskYesNo = [this](QWidget*, const QString& question) {
      FQuestions.push_back(question);
      if (FYesNo.empty()) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return false;
      }
      const bool answer = FYesNo.front();
      FYesNo.pop_front();
      return answer;
    };
    EditorPrompts().ChooseFile = [this](QWidget*, bool, std::string& fileName, const std::string&, const QString&,
                                        const QString&) {
      if (FFiles.empty()) return false;
      fileName = FFiles.front();
      FFiles.pop_front();
      return true;
    };
    FSource = Home() / "test.kds";
    WriteUtf16(FSource, kHeader + kArticles);
    FEditor = std::make_unique<TFormKodraEditor>();
    FEditor->show();
    Settle();
    ASSERT_TRUE(FEditor->OpenFile(FSource.string()));
    Settle();
    ASSERT_EQ(FEditor->Dictionary().ArticleCount(), 3);
  }
  void TearDown() override {
    // Leaving without questions: whatever is unsaved is dropped.
    FYesNoCancel.assign(4, QMessageBox::No);
    FEditor.reset();
    SystemKeyboard().Report(true);
    ResetEditorPrompts();
    SetProgramFolder(FPrevious);
  }
  fs::path Home() const { return fs::path(FHome.path().toStdString()); }
  static void Settle() { SettleEvents(); }
  void Trigger(const char* action) {
    QAction* found = FEditor->Action(action);
    ASSERT_NE(found, nullptr) << action;
    FEditor->UpdateActions();
    ASSERT_TRUE(found->isEnabled()) << action;
    found->trigger();
    Settle();
  }
  TKezUnicodeRichEdit& Pane() const { return *FEditor->TextPane(); }
  // Shows the article of the keyword, as choosing it in the list does.
  void Choose(std::u16string_view keyword) {
    for (int32_t i = 0; i < FEditor->Dictionary().ArticleCount(); ++i)
      if (FEditor->Dictionary().Keyword(i) == keyword) {
        FEditor->KeywordList()->SelectIndex(i);
        QTest::keyClick(FEditor->KeywordList(), Qt::Key_Return);
        Settle();
        return;
      }
    FAIL() << "no such keyword";
  }
  // Replaces the pane's text as typing would.
  void Retype(std::u16string_view text) {
    Pane().setFocus();
    Pane().selectAll();
    Pane().ReplaceSelection(text);
    ASSERT_TRUE(Pane().Modified());
  }
  void SelectInPane(std::u16string_view text) {
    const size_t at = Pane().Text().find(text);
    ASSERT_NE(at, std::u16string::npos);
    Pane().setFocus();
    Pane().SetSelection(int32_t(at), int32_t(at + text.size()));
  }
  std::u16string Status() const { return FEditor->Status()->Text().toStdU16String(); }

  QTemporaryDir FHome;
  std::string FPrevious;
  fs::path FSource;
  std::unique_ptr<TFormKodraEditor> FEditor;
  std::deque<int> FYesNoCancel;
  std::deque<bool> FYesNo;
  std::deque<std::string> FFiles;
  std::vector<QString> FQuestions;
};
}  // namespace

TEST_F(EditorWindowTest, AddedArticleTakesItsPlaceAndAnEmptyPaneDeletesIt) {
  Trigger("actEditNew");
  EXPECT_TRUE(Pane().Text().empty());
  Pane().ReplaceSelection(u"#β\r\nвита");
  Trigger("actEditAccept");
  ASSERT_EQ(FEditor->Dictionary().ArticleCount(), 4);
  EXPECT_EQ(FEditor->Dictionary().Keyword(1), u"β");
  EXPECT_EQ(FEditor->KeywordList()->ItemIndex(), 1);
  EXPECT_EQ(FEditor->KeywordList()->Count(), 4);
  EXPECT_FALSE(Pane().Modified());
  EXPECT_TRUE(FEditor->Dictionary().Modified());

  Choose(u"γ");
  EXPECT_EQ(Pane().Text(), u"#γ\nгамма");
  Retype(u"");
  Trigger("actEditAccept");
  EXPECT_EQ(FEditor->Dictionary().ArticleCount(), 3);
  EXPECT_EQ(FEditor->KeywordList()->Count(), 3);
  EXPECT_EQ(FEditor->Dictionary().Keyword(2), u"ε");
}

TEST_F(EditorWindowTest, ARefusedSectionStaysInThePaneModified) {
  Trigger("actViewMarks");
  EXPECT_EQ(FEditor->EditedPart(), spMarks);
  Retype(u"m.=masculinum\r\n</mark>");
  Trigger("actEditAccept");
  EXPECT_EQ(FEditor->Status()->Kind(), skError);
  EXPECT_EQ(FEditor->Status()->HelpKeyword(), "SMustStartTag");
  EXPECT_TRUE(Pane().Modified());
  EXPECT_EQ(Pane().Text(), u"m.=masculinum\n</mark>");
  // Actions that need the pane accepted do nothing more.
  Trigger("actViewHeader");
  EXPECT_FALSE(FEditor->Action("actViewHeader")->isChecked());
  EXPECT_EQ(FEditor->EditedPart(), spMarks);
  EXPECT_EQ(Pane().Text(), u"m.=masculinum\n</mark>");
}

TEST_F(EditorWindowTest, CompileSavesFirstAndAVerificationErrorShowsItsRange) {
  Choose(u"γ");
  Retype(u"#γ\r\nгамма <m>ж.\r\n");
  Trigger("actFileCompile");
  // Saved before verifying: the file has the edit, the compiled file is not made.
  EXPECT_FALSE(FEditor->Dictionary().Modified());
  EXPECT_NE(ReadUtf16(FSource).find(u"гамма <m>ж."), std::u16string::npos);
  EXPECT_FALSE(fs::exists(Home() / "test.kdb"));
  EXPECT_EQ(FEditor->Status()->HelpKeyword(), "SAbsentFinalTag");
  EXPECT_EQ(FEditor->EditedPart(), spArticles);
  EXPECT_EQ(FEditor->Dictionary().Keyword(FEditor->EditedItem()), u"γ");
  int32_t start, end;
  Pane().GetSelection(start, end);
  EXPECT_EQ(Pane().TextRange(start, end), u"<m>");

  // Mended, it compiles beside its source, outside the language's folder:
  // the author hears that it is not active, and where it went.
  std::string compiled;
  FEditor->SetOnCompiled([&](const std::string& source) { compiled = source; });
  Retype(u"#γ\r\nгамма <m>ж.</m>\r\n");
  FYesNo.push_back(false);
  Trigger("actFileCompile");
  ASSERT_EQ(FQuestions.size(), 1u);
  EXPECT_TRUE(FQuestions.back().contains(QString::fromStdString((Home() / "test.kdb").string())) &&
              FQuestions.back().contains("It is not active"))
      << FQuestions.back().toStdString();
  EXPECT_TRUE(fs::exists(Home() / "test.kdb"));
  EXPECT_EQ(compiled, "");
  EXPECT_FALSE(FEditor->DictionariesChanged());
  EXPECT_EQ(FEditor->Status()->Kind(), skWarning);
  EXPECT_TRUE(FEditor->Status()->Text().endsWith("not active"));
  // Installed, it is copied into the language folder and named there; the
  // main window hears of it and reads it.
  FYesNo.push_back(true);
  Trigger("actFileCompile");
  EXPECT_EQ(compiled, FSource.string());
  auto bytes = [](const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  EXPECT_EQ(bytes(Home() / "ancientgreek" / "test.kdb"), bytes(Home() / "test.kdb"));
  std::ifstream configuration(Home() / "ancientgreek" / "dictionaries.cfg");
  const std::string names((std::istreambuf_iterator<char>(configuration)), {});
  EXPECT_NE(names.find("test\r\n"), std::string::npos) << names;
  EXPECT_TRUE(FEditor->DictionariesChanged());
  EXPECT_EQ(FEditor->Status()->Kind(), skInformation);
  // A source inside the language folder compiles where it is read: no question.
  const fs::path inside = Home() / "ancientgreek" / "inside.kds";
  WriteUtf16(inside, kHeader + kArticles);
  ASSERT_TRUE(FEditor->OpenFile(inside.string()));
  Settle();
  Trigger("actFileCompile");
  EXPECT_EQ(FQuestions.size(), 2u);
  EXPECT_EQ(compiled, inside.string());
  EXPECT_TRUE(fs::exists(Home() / "ancientgreek" / "inside.kdb"));
}

TEST_F(EditorWindowTest, MergingTheDictionaryWithItselfIsRefused) {
  std::string ownName = FSource.string();
  for (char& c : ownName) c = char(std::toupper(static_cast<unsigned char>(c)));
  for (const std::string& name : {FSource.string(), ownName}) {
    FFiles.push_back(name);
    Trigger("actFileMerge");
    EXPECT_EQ(FEditor->Status()->HelpKeyword(), "SErrMerge") << name;
    EXPECT_TRUE(FQuestions.empty());
  }
  // Another file merges once confirmed; its conflicts come as exception blocks.
  const fs::path other = Home() / "other.kds";
  WriteUtf16(other, kHeader + u"#β\r\nвита\r\n#γ\r\nгаммa\r\n");
  FFiles.push_back(other.string());
  FYesNo.push_back(true);
  Trigger("actFileMerge");
  EXPECT_EQ(FEditor->Dictionary().ArticleCount(), 4);
  EXPECT_EQ(FEditor->KeywordList()->Count(), 4);
  EXPECT_NE(FEditor->Dictionary().ArticleText(2).find(u"{{"), std::u16string_view::npos);
}

TEST_F(EditorWindowTest, TheListFollowsTypingAndTheArticleWaitsForAWholeKeyword) {
  Choose(u"α");
  const std::u16string shown = Pane().Text();
  FEditor->SearchBox()->setFocus();
  QTest::keyClick(FEditor->SearchBox(), Qt::Key_D);  // δ: between γ and ε
  Settle();
  EXPECT_EQ(FEditor->SearchBox()->Text(), u"δ");
  EXPECT_EQ(FEditor->KeywordList()->ItemIndex(), 2);
  EXPECT_EQ(Pane().Text(), shown);
  FEditor->SearchBox()->SetText(u"");
  QTest::keyClick(FEditor->SearchBox(), Qt::Key_G);
  Settle();
  EXPECT_EQ(FEditor->SearchBox()->Text(), u"γ");
  EXPECT_EQ(Pane().Text(), u"#γ\nгамма");
}

// The search box looks words up as the viewer does: a final σ typed as σ,
// no accents, and the article shows at once for a word with its keyword's
// letters; Enter goes to the same article.
TEST_F(EditorWindowTest, TheSearchBoxLooksUpAsTheViewerDoes) {
  const fs::path source = Home() / "logos.kds";
  // Keywords as sources write them: accents as the keyword normalisation leaves them.
  WriteUtf16(source, kHeader + u"#λ\u1F79γος\r\nслово\r\n#λ\u1F7Bω\r\nразвязывать\r\n#\u1F41δ\u1F79ς\r\nдорога\r\n");
  ASSERT_TRUE(FEditor->OpenFile(source.string()));
  Settle();
  TKezUnicodeRichEdit& box = *FEditor->SearchBox();
  box.setFocus();
  for (const char* key : {"l", "o", "g", "o", "s"}) QTest::keyClicks(&box, key);
  Settle();
  EXPECT_EQ(box.Text(), u"λογοσ");
  EXPECT_EQ(Pane().Text(), u"#λ\u1F79γος\nслово");
  QTest::keyClick(&box, Qt::Key_Return);
  Settle();
  EXPECT_EQ(Pane().Text(), u"#λ\u1F79γος\nслово");
}

TEST_F(EditorWindowTest, LanguageInputStepsAsideWhileTheSystemLayoutTypesAnotherScript) {
  QAction* language = FEditor->Action("actEditLanguage");
  auto expectInput = [&](bool on) {
    EXPECT_EQ(FEditor->InputOn(), on);
    EXPECT_EQ(language->isChecked(), on);
    for (TKezUnicodeRichEdit* edit : {FEditor->SearchBox(), FEditor->TextPane()})
      EXPECT_EQ(edit->LanguageInput() != nullptr, on);
  };
  ASSERT_TRUE(FEditor->InputOn());
  SystemKeyboard().Report(false);
  expectInput(false);
  FEditor->SearchBox()->setFocus();
  QTest::keyClick(FEditor->SearchBox(), Qt::Key_D);
  EXPECT_EQ(FEditor->SearchBox()->Text(), u"d");
  SystemKeyboard().Report(true);
  expectInput(true);
  // Opened again under a Russian layout, the dictionary waits for the Latin one.
  SystemKeyboard().Report(false);
  ASSERT_TRUE(FEditor->OpenFile(FSource.string()));
  Settle();
  expectInput(false);
  SystemKeyboard().Report(true);
  expectInput(true);
}

TEST_F(EditorWindowTest, InsertionsOfSpecialCharactersTagsAndKeywordLines) {
  Choose(u"α");
  const struct {
    const char* Action;
    std::u16string Inserted;
  } specials[] = {
      {"actEditSpecialChar0301", u"\u0301"},
      {"actEditSpecialChar2014", u"\u2014"},
      {"actEditSpecialChar2026", u"\u2026"},
      {"actEditSpecialCharF002", u"$F002"},
      {"actEditSpecialCharF010", u"$F010"},
  };
  for (const auto& special : specials) {
    Retype(u"#α\r\nx");
    Trigger(special.Action);
    EXPECT_EQ(Pane().Text(), u"#α\nx" + special.Inserted) << special.Action;
  }
  const struct {
    const char* Action;
    std::u16string Result;
  } tags[] = {
      {"actTagHeader", u"#α\n<h>алфа</h>"},     {"actTagMark", u"#α\n<m>алфа</m>"},
      {"actTagAuthor", u"#α\n<a>алфа</a>"},     {"actTagEnumeration", u"#α\n<n>алфа</n>"},
      {"actTagComment", u"#α\n<c>алфа</c>"},    {"actTagExample", u"#α\n<e>алфа</e>"},
      {"actTagException", u"#α\n{{алфа}}"},
  };
  for (const auto& tag : tags) {
    Retype(u"#α\r\nалфа");
    SelectInPane(u"алфа");
    Trigger(tag.Action);
    EXPECT_EQ(Pane().Text(), tag.Result) << tag.Action;
  }
  // An exception block is kept by accepting, and verification names it.
  Trigger("actEditAccept");
  Trigger("actFileVerify");
  EXPECT_EQ(FEditor->Status()->HelpKeyword(), "SException");
  // A keyword line made of a selection goes before the caret's line.
  Retype(u"#α\r\nсм. Ἄνθρωπος");
  SelectInPane(u"Ἄνθρωπος");
  Trigger("actTagKeyword");
  EXPECT_EQ(Pane().Text(), u"#α\n#Ἄνθρωποσ\nсм. Ἄνθρωπος");
}

TEST_F(EditorWindowTest, ReplaceThenNextAcceptsBeforeMovingOn) {
  FEditor->StartSearch({u"мм", u"MM", kSearchArticles, smFromBeginning, false});
  Settle();
  EXPECT_EQ(Status(), u"Successful search");
  EXPECT_EQ(FEditor->Dictionary().Keyword(FEditor->EditedItem()), u"γ");
  int32_t start, end;
  Pane().GetSelection(start, end);
  EXPECT_EQ(Pane().TextRange(start, end), u"мм");
  Trigger("actSearchReplace");
  EXPECT_EQ(Pane().Text(), u"#γ\nгаMMа");
  EXPECT_EQ(FEditor->Dictionary().ArticleText(1), u"гамма\r\n");  // not yet in the dictionary
  Trigger("actSearchNext");
  EXPECT_EQ(FEditor->Dictionary().ArticleText(1), u"гаMMа\r\n");
  EXPECT_EQ(Status(), u"String not found");
  EXPECT_FALSE(FEditor->Action("actSearchNext")->isEnabled());
}

TEST_F(EditorWindowTest, ClosingWithChangesAsksAndAFailedSaveKeepsTheText) {
  Choose(u"α");
  Retype(u"#α\r\nальфа\r\n");
  FYesNoCancel.push_back(QMessageBox::Cancel);
  EXPECT_FALSE(FEditor->close());
  EXPECT_EQ(FQuestions.size(), 1u);
  EXPECT_TRUE(FEditor->Dictionary().Modified());  // accepted, kept, not saved
  EXPECT_EQ(FEditor->Status()->Text().toStdU16String(), u"Aborted action");

  // The file cannot be replaced: the save fails, says why, and nothing is lost.
  fs::remove(FSource);
  fs::create_directory(FSource);
  FYesNoCancel.push_back(QMessageBox::Yes);
  EXPECT_FALSE(FEditor->close());
  EXPECT_EQ(FEditor->Status()->Kind(), skError);
  EXPECT_TRUE(FEditor->Dictionary().Modified());
  EXPECT_EQ(FEditor->Dictionary().ArticleText(0), u"альфа\r\n");

  fs::remove(FSource);
  FYesNoCancel.push_back(QMessageBox::Yes);
  EXPECT_TRUE(FEditor->close());
  EXPECT_NE(ReadUtf16(FSource).find(u"альфа"), std::u16string::npos);
  EXPECT_EQ(TFormKodraEditor::LastDictionary(), FSource.string());
}

TEST_F(EditorWindowTest, UnsavedWorkIsKeptBesideTheFileAndOfferedBack) {
  const fs::path copy = RecoveryCopyName(FSource.string());
  FEditor->WriteRecovery();
  EXPECT_FALSE(fs::exists(copy));  // nothing unsaved yet
  Choose(u"α");
  Retype(u"#α\r\nальфа\r\n");
  Trigger("actEditAccept");
  FEditor->WriteRecovery();
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(ReadUtf16(FSource).find(u"альфа"), std::u16string::npos);  // the file itself untouched

  // As after a crash: opening the file offers the copy, taken as unsaved changes.
  auto crashed = std::make_unique<TFormKodraEditor>();
  FYesNo.push_back(true);
  ASSERT_TRUE(crashed->OpenFile(FSource.string()));
  Settle();
  EXPECT_EQ(crashed->Dictionary().ArticleText(0), u"альфа\r\n");
  EXPECT_TRUE(crashed->Dictionary().Modified());
  EXPECT_EQ(crashed->Dictionary().FileName(), FSource.string());
  ASSERT_TRUE(crashed->Save());
  EXPECT_FALSE(fs::exists(copy));  // a save removes it
  EXPECT_NE(ReadUtf16(FSource).find(u"альфа"), std::u16string::npos);
  crashed.reset();
}

TEST_F(EditorWindowTest, ANewFileFromTheCommandLineIsWrittenOnlyWhenSaved) {
  const fs::path fresh = Home() / "fresh.kds";
  const TCommandLine command = ParseCommandLine({"kodra", "--edit", QString::fromStdString(fresh.string())});
  ASSERT_EQ(command.Action, TCommandLine::Run);
  ASSERT_EQ(command.Request.Kind, TInstanceRequestKind::EditFile);
  EXPECT_EQ(ParseCommandLine({"kodra", "--edit", "a.kds", "λόγος"}).Action, TCommandLine::Fail);

  ASSERT_TRUE(FEditor->OpenFile(QString::fromStdU16String(command.Request.Word).toStdString()));
  Settle();
  EXPECT_EQ(FEditor->Dictionary().FileName(), fresh.string());
  EXPECT_EQ(FEditor->windowTitle(), "fresh.kds - Kodra. Dictionaries editor");
  EXPECT_FALSE(fs::exists(fresh));
  Trigger("actEditNew");
  Pane().ReplaceSelection(u"#λόγος\r\nслово\r\n");
  ASSERT_TRUE(FEditor->Save());
  EXPECT_NE(ReadUtf16(fresh).find(u"#λόγος"), std::u16string::npos);
}

// A real dictionary: open, edit an article, save, compile, and read the
// edited article back from the compiled file.
// A dictionary never saved has a recovery copy too, offered when the author
// opens that name again after a crash.
TEST_F(EditorWindowTest, ANewDictionarysUnsavedWorkIsOfferedBack) {
  const fs::path fresh = Home() / "fresh.kds";
  ASSERT_TRUE(FEditor->OpenFile(fresh.string()));
  Settle();
  Trigger("actEditNew");
  Pane().ReplaceSelection(u"#λόγος\r\nслово\r\n");
  Trigger("actEditAccept");
  FEditor->WriteRecovery();
  ASSERT_TRUE(fs::exists(RecoveryCopyName(fresh.string())));
  ASSERT_FALSE(fs::exists(fresh));

  auto crashed = std::make_unique<TFormKodraEditor>();
  FYesNo.push_back(true);
  ASSERT_TRUE(crashed->OpenFile(fresh.string()));
  Settle();
  ASSERT_EQ(crashed->Dictionary().ArticleCount(), 1);
  EXPECT_EQ(crashed->Dictionary().ArticleText(0), u"слово\r\n");
  EXPECT_TRUE(crashed->Dictionary().Modified());
  EXPECT_EQ(crashed->Dictionary().FileName(), fresh.string());
  EXPECT_EQ(crashed->Status()->Text(), "Unsaved changes restored");
  ASSERT_TRUE(crashed->Save());
  EXPECT_NE(ReadUtf16(fresh.string()).find(u"#λόγος"), std::u16string::npos);
  EXPECT_FALSE(fs::exists(RecoveryCopyName(fresh.string())));
  crashed.reset();
}

TEST_F(EditorWindowTest, EditsOfARealDictionaryReachItsCompiledFile) {
  const fs::path corpus = fs::path(KODRA_SOURCE_DIR) / ".." / "shared" / "corpora" / "latin-wagner.kds";
  if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  const fs::path source = Home() / "latin" / "wagner.kds";
  fs::copy_file(corpus, source);
  ASSERT_TRUE(FEditor->OpenFile(source.string()));
  Settle();
  ASSERT_GT(FEditor->Dictionary().ArticleCount(), 500);
  EXPECT_EQ(FEditor->Language()->GetId(), "latin");
  FEditor->KeywordList()->SelectIndex(100);
  QTest::keyClick(FEditor->KeywordList(), Qt::Key_Return);
  Settle();
  ASSERT_EQ(FEditor->EditedItem(), 100);
  const std::u16string keyword(FEditor->Dictionary().Keyword(100));
  Retype(u"#" + keyword + u"\r\nдруг, приятель (правка автора)\r\n");
  Trigger("actFileCompile");
  EXPECT_EQ(FEditor->Status()->Text(), "The dictionary compiled");

  TSourceDictionary saved(FindLanguage("latin"));
  saved.SetFileName(source.string());
  saved.LoadFromFile(source.string());
  saved.Locate(keyword.c_str());
  EXPECT_EQ(saved.ArticleText(saved.CurrentItem()), u"друг, приятель (правка автора)\r\n");
  std::ofstream(Home() / "latin" / "dictionaries.cfg") << "main\nwagner\n";
  TDictionary compiled(FindLanguage("latin"), (Home() / "latin").string());
  compiled.LoadDictionaries(true);
  ASSERT_EQ(compiled.LocateKeyword(keyword), kmExact);
  TPlainTextWriter article(Options(), false);
  article.BeginDocument();
  compiled.RenderArticle(article);
  article.EndDocument();
  EXPECT_NE(article.Text().find("правка автора"), std::string::npos) << article.Text();
}

TEST_F(EditorWindowTest, PreviewShowsTheArticleAsReadersSeeIt) {
  Choose(u"γ");
  Retype(u"#γ\r\n<m>ж.</m> гамма_буква\r\n");
  Trigger("actViewPreview");  // accepts first
  EXPECT_TRUE(FEditor->InPreview());
  EXPECT_TRUE(Pane().isReadOnly());
  EXPECT_EQ(Pane().Text(), u"Test\nж. гамма\u00A0буква");
  EXPECT_EQ(Status(), u"Preview mode on");
  FEditor->UpdateActions();
  for (const char* name : {"actEditNew", "actFileSave", "actTagHeader", "actViewHeader"})
    EXPECT_FALSE(FEditor->Action(name)->isEnabled()) << name;
  Trigger("actSearchDown");  // moving on needs no accepting
  EXPECT_EQ(Pane().Text(), u"Test\nэпсилон");
  Trigger("actViewPreview");
  EXPECT_FALSE(FEditor->InPreview());
  EXPECT_FALSE(Pane().isReadOnly());
  EXPECT_EQ(Pane().Text(), u"#ε\nэпсилон");
}

TEST_F(EditorWindowTest, NoteFilesAreConvertedThroughTheProgramFoldersLibrary) {
  FEditor->UpdateActions();
  EXPECT_FALSE(FEditor->Action("actFileConvert")->isEnabled());  // no library in the folder
  for (const auto& file : fs::directory_iterator(KODRA_CONVERTER_DIR))
    fs::copy_file(file.path(), Home() / file.path().filename());
  TFormKodraEditor editor;
  editor.UpdateActions();
  ASSERT_TRUE(editor.Action("actFileConvert")->isEnabled());
  const fs::path note = Home() / "notes.not";
  std::ofstream(note) << "notes";
  FFiles.push_back(note.string());
  editor.Action("actFileConvert")->trigger();
  Settle();
  const fs::path target = Home() / "ancientgreek" / "notes.kds";
  EXPECT_EQ(editor.Dictionary().FileName(), target.string());
  ASSERT_EQ(editor.Dictionary().ArticleCount(), 1);
  EXPECT_EQ(editor.Dictionary().Keyword(0), u"amo");

  // An existing target is replaced only when the author says so.
  FFiles.push_back(note.string());
  FYesNo.push_back(false);
  editor.UpdateActions();
  editor.Action("actFileConvert")->trigger();
  Settle();
  EXPECT_EQ(editor.Status()->Text(), "Aborted action");
  // The converter's own words come first in its error.
  const fs::path bad = Home() / "bad.not";
  std::ofstream(bad) << "?";
  FFiles.push_back(bad.string());
  editor.UpdateActions();
  editor.Action("actFileConvert")->trigger();
  Settle();
  EXPECT_EQ(editor.Status()->Text(), "Unreadable note file. Can't convert specified note file");
  EXPECT_EQ(editor.Status()->HelpKeyword(), "SConvertError");
}

// The editor opens the dictionary of the last run again, as after a restart.
TEST_F(EditorWindowTest, TheLastDictionaryIsOpenedAgainAfterARestart) {
  FEditor->close();
  FEditor.reset();
  TFormKodraEditor::LastDictionary().clear();  // what a new process starts with
  FEditor = std::make_unique<TFormKodraEditor>();
  FEditor->show();
  Settle();
  EXPECT_EQ(FEditor->Dictionary().FileName(), FSource.string());
  EXPECT_EQ(FEditor->Dictionary().ArticleCount(), 3);
}

TEST_F(EditorWindowTest, AFileThatCannotBeReadIsNeverSavedOver) {
  const fs::path broken = Home() / "broken.kds";
  const std::u16string text = u"<header>\r\ncaption=x\r\n#α\r\nalpha\r\n";  // the header never ends
  WriteUtf16(broken, text);
  ASSERT_TRUE(FEditor->OpenFile(broken.string()));
  Settle();
  EXPECT_EQ(FEditor->Status()->HelpKeyword(), "SAbsentFinalSectionTag");
  EXPECT_EQ(FEditor->Dictionary().FileName(), "");
  Trigger("actEditNew");
  Pane().ReplaceSelection(u"#β\r\nbeta\r\n");
  EXPECT_FALSE(FEditor->Save());  // asks for a name; the test gives none
  EXPECT_EQ(Status(), u"Aborted action");
  EXPECT_EQ(ReadUtf16(broken), text);
}
