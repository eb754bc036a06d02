// The keyboard layout as typing sees it: which layouts are Latin, how a
// window's language input follows them, and shortcuts by the key's place.
#include <QKeySequence>
#include <QLocale>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/keyboard/uKeyShortcuts.h"
#include "viewer/keyboard/uSystemKeyboard.h"

TEST(SystemKeyboard, LayoutsAreLatinByTheLettersTheyType) {
  struct TCase {
    const char* Name;
    std::u32string Letters;
    bool Latin;
  };
  const TCase cases[] = {
      {"us", U"qwertyuiopasdfghjklzxcvbnm", true},
      {"fr", U"azertyuiopqsdfghjklmwxcvbn", true},
      {"de", U"qwertzuiopüasdfghjklöäyxcvbnm", true},
      {"ru", U"йцукенгшщзхфывапролджэячсмитьбю", false},
      {"gr", U"ςερτυθιοπασδφγηξκλζχψωβνμ", false},
      {"il", U"קראטוןםפשדגכעיחלךזסבהנמצ", false},
      // A Latin layout with a few keys of signs, a Cyrillic one with a few Latin.
      {"us with signs", U"qwertyuiop[]asdfghjkl;'", true},
      {"ru with two Latin", U"йцукенгшщзхфывапролджэqw", false},
      {"none", U"", true},
  };
  for (const TCase& c : cases) EXPECT_EQ(IsLatinScript(c.Letters), c.Latin) << c.Name;
}

TEST(SystemKeyboard, InputMethodLanguagesAreLatinByTheirScript) {
  struct TCase {
    const char* Locale;
    bool Latin;
  };
  const TCase cases[] = {{"en_US", true}, {"de_DE", true}, {"C", true},    {"ru_RU", false},
                         {"uk_UA", false}, {"el_GR", false}, {"sr_RS", false}, {"sr_Latn_RS", true}};
  for (const TCase& c : cases) EXPECT_EQ(IsLatinScript(QLocale(c.Locale)), c.Latin) << c.Locale;
}

TEST(SystemKeyboard, ReportsOnlyChanges) {
  TSystemKeyboard layout;
  std::vector<bool> told;
  QObject::connect(&layout, &TSystemKeyboard::Changed, [&](bool latin) { told.push_back(latin); });
  EXPECT_TRUE(layout.Latin());
  for (const bool latin : {true, false, false, true}) layout.Report(latin);
  EXPECT_EQ(told, (std::vector<bool>{false, true}));
}

// Steps: L Latin layout, R a Russian one, c the user's switch, 1 and 0 the
// window's switch on and off (a new language, a reload).
TEST(LanguageInputState, FollowsTheLayoutAndComesBackToTheChoice) {
  struct TCase {
    bool StartLatin;
    const char* Steps;
    std::string Expected;  // the input after each step: 1 on, 0 off
  };
  const TCase cases[] = {
      {true, "RL", "01"},      // steps aside and comes back
      {true, "cRL", "000"},    // switched off, stays off
      {true, "RcL", "011"},    // switched on under Russian: on, and on with Latin
      {true, "RccL", "0100"},  // on and off again under Russian: off after
      {true, "R1L", "001"},    // a reload under Russian waits for the Latin layout
      {true, "R0L", "000"},    // the window's off holds
      {false, "L", "1"},       // a window opened under Russian starts off and comes on
      {false, "1", "0"},
      {true, "LL", "11"},
      {true, "RR", "00"},
  };
  for (const TCase& c : cases) {
    TLanguageInputState state(c.StartLatin);
    EXPECT_EQ(state.On(), c.StartLatin) << c.Steps;
    std::string seen;
    for (const char* step = c.Steps; *step; ++step) {
      switch (*step) {
        case 'L': state.FollowLayout(true); break;
        case 'R': state.FollowLayout(false); break;
        case 'c': state.Choose(!state.On()); break;
        case '1': state.Reset(true); break;
        case '0': state.Reset(false); break;
        default: continue;
      }
      seen += state.On() ? '1' : '0';
    }
    EXPECT_EQ(seen, c.Expected) << c.Steps;
  }
}

TEST(KeyShortcuts, CommandsOnLettersOfOtherScriptsTakeTheKeysLatinLetter) {
  struct TCase {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    uint16_t VirtualKey;
    int Latin;
  };
  const TCase cases[] = {
      {0x0421, Qt::ControlModifier, 0x43, Qt::Key_C},                        // Ctrl+С on the key C
      {0x0424, Qt::ControlModifier | Qt::ShiftModifier, 0x41, Qt::Key_A},    // Ctrl+Shift+Ф on A
      {0x0414, Qt::AltModifier, 0x4C, Qt::Key_L},                            // Alt+Д on L
      {0x0416, Qt::ControlModifier, 0xBA, Qt::Key_Semicolon},                // Ctrl+Ж on ;
      {0x0425, Qt::ControlModifier, 0xDB, Qt::Key_BracketLeft},              // Ctrl+Х on [
      {0x03A3, Qt::MetaModifier, 0x53, Qt::Key_S},                           // Greek Σ on S
      {0x0421, Qt::NoModifier, 0x43, 0},                                     // typing: the letter itself
      {0x0421, Qt::ShiftModifier, 0x43, 0},
      {Qt::Key_C, Qt::ControlModifier, 0x43, 0},                             // a Latin key is matched as it is
      {0x00D6, Qt::ControlModifier, 0xBA, 0},                                // so is a Latin-1 letter (German Ö)
      {Qt::Key_F3, Qt::ControlModifier, 0x72, 0},                            // no letter at all
      {0x0421, Qt::ControlModifier, 0, 0},                                   // a key of no known place
  };
  for (const TCase& c : cases)
    EXPECT_EQ(LatinCommandKey(c.Key, c.Modifiers, c.VirtualKey), c.Latin) << std::hex << c.Key;
}
