#pragma once
// Pop-up help texts and where the help files of the interface language lie.
//
// The pop-up texts are small UTF-8 files in the program folder's help/
// folder (popups.txt for the options, errors.txt for the error messages),
// and help/ru/ holds their Russian versions. A topic starts with a line
// ".topic NNNN" and its text is the lines that follow, up to the next topic:
//
//   .topic 1001
//   The language of menus, messages and help.
//
// Lines before the first topic are ignored, and so is a line that begins
// (after blanks) with ".topic" but names no number, together with the lines
// after it up to the next topic. So no line of a text begins with ".topic".
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// A text file of pop-up topics runs to some tens of kilobytes.
constexpr size_t kHelpTextsLimit = 1024 * 1024;

using THelpTexts = std::map<int32_t, std::u16string>;

// Topic number → text. Reads CR LF, LF and lone CR line ends and skips a
// byte-order mark; reads at most kHelpTextsLimit bytes. Each text keeps its
// lines joined by "\n", without blanks at line ends, without empty lines at
// its start and end, and with one empty line at most between paragraphs;
// control characters (but tabs), byte-order marks and invalid UTF-8 or
// surrogates (as U+FFFD) are cleaned away. A topic without text is not
// kept; of two topics with one number and a text the first stays.
THelpTexts ParseHelpTexts(std::string_view text);

// The texts of a file; false, with texts empty, when the file is missing,
// unreadable or larger than kHelpTextsLimit.
bool LoadHelpTexts(const std::string& fileName, THelpTexts& texts);

// The subfolder of help/ that holds the translation for an interface
// language (the LocaleName option: "Russian" → "ru"); empty for English and
// for languages without a translation.
std::string HelpLanguageFolder(std::string_view localeName);

// The help file of that name for the interface language: programFolder +
// "help/ru/" + name when the language is Russian and that file exists,
// otherwise programFolder + "help/" + name. programFolder ends with a path
// separator (ProgramFolder()).
std::string LocalizedHelpFile(const std::string& programFolder, std::string_view localeName, std::string_view name);

// The pop-up topic in errors.txt of a message identifier ("SCorruptFile" →
// 2023), letter case ignored; 0 for an identifier that has none.
int32_t ErrorHelpTopic(std::string_view identifier);

// The first and last topic numbers of errors.txt.
constexpr int32_t kFirstErrorTopic = 2001;
constexpr int32_t kLastErrorTopic = 2025;
