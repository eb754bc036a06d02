#include <gtest/gtest.h>

#include <string>

#include "foundation/KezText.h"
#include "viewer/instance/uInstanceMessage.h"

namespace {
using enum TInstanceRequestKind;
using enum TInstanceMessageState;
using namespace std::string_literals;

const char* StateName(TInstanceMessageState state) {
  return state == Complete ? "Complete" : state == Incomplete ? "Incomplete" : "Invalid";
}
}  // namespace

TEST(InstanceMessage, RequestsGoAsOneHeaderLineAndTheWordInUtf8) {
  const std::string longWord(kInstanceWordMaxBytes, 'a');
  struct {
    const char* name;
    TInstanceRequest request;
    std::string bytes;
    std::u16string received;  // the word the running program gets
  } cases[] = {
      {"come forward", {ComeForward, {}}, "kodra-instance 1 forward 0\n", u""},
      {"selection", {LookUpSelection, {}}, "kodra-instance 1 selection 0\n", u""},
      {"a word only with its kind", {ComeForward, u"amo"}, "kodra-instance 1 forward 0\n", u""},
      {"Greek word", {LookUpWord, u"ἄνθρωπος"}, "kodra-instance 1 word 17\nἄνθρωπος", u"ἄνθρωπος"},
      {"words with a space", {LookUpWord, u"amo te"}, "kodra-instance 1 word 6\namo te", u"amo te"},
      {"a file to edit", {EditFile, u"/home/λ/main.kds"}, "kodra-instance 1 edit 17\n/home/λ/main.kds",
       u"/home/λ/main.kds"},
      {"empty word", {LookUpWord, u""}, "kodra-instance 1 word 0\n", u""},
      {"lone surrogate", {LookUpWord, u"a\xD800"}, "kodra-instance 1 word 4\na\xEF\xBF\xBD", u"a\uFFFD"},
      {"at the limit", {LookUpWord, FromUtf8(longWord)}, "kodra-instance 1 word 4096\n" + longWord,
       FromUtf8(longWord)},
      {"past the limit: cut", {LookUpWord, FromUtf8(longWord + "b")}, "kodra-instance 1 word 4096\n" + longWord,
       FromUtf8(longWord)},
      {"a character across the limit: left out whole", {LookUpWord, FromUtf8(longWord.substr(1) + "λ")},
       "kodra-instance 1 word 4095\n" + longWord.substr(1), FromUtf8(longWord.substr(1))},
  };
  for (const auto& c : cases) {
    const std::string bytes = EncodeInstanceRequest(c.request);
    EXPECT_EQ(bytes, c.bytes) << c.name;
    EXPECT_EQ(InstanceMessageState(bytes), Complete) << c.name;
    const auto decoded = DecodeInstanceRequest(bytes);
    ASSERT_TRUE(decoded) << c.name;
    EXPECT_EQ(decoded->Kind, c.request.Kind) << c.name;
    EXPECT_EQ(decoded->Word, c.received) << c.name;
  }
}

TEST(InstanceMessage, ReadersWaitForTheRestAndRefuseWhatCannotBecomeAMessage) {
  struct {
    const char* name;
    std::string bytes;
    TInstanceMessageState state;
  } cases[] = {
      {"nothing yet", "", Incomplete},
      {"the header begun", "kodra-inst", Incomplete},
      {"header without its end", "kodra-instance 1 word 3", Incomplete},
      {"the word begun", "kodra-instance 1 word 3\nab", Incomplete},
      {"whole", "kodra-instance 1 word 3\nabc", Complete},
      {"a NUL is a character", "kodra-instance 1 word 1\n\0"s, Complete},
      {"bytes after the word", "kodra-instance 1 word 3\nabcd", Invalid},
      {"two messages", "kodra-instance 1 forward 0\nkodra-instance 1 forward 0\n", Invalid},
      {"foreign first bytes", "GET / HTTP/1.1\r\n", Invalid},
      {"foreign at once", "x", Invalid},
      {"another version", "kodra-instance 2 word 3\nabc", Invalid},
      {"unknown kind", "kodra-instance 1 shout 0\n", Invalid},
      {"no length", "kodra-instance 1 word\n", Invalid},
      {"length with a leading zero", "kodra-instance 1 word 03\nabc", Invalid},
      {"length with a sign", "kodra-instance 1 word +3\nabc", Invalid},
      {"two spaces", "kodra-instance 1 word  3\nabc", Invalid},
      {"CR LF", "kodra-instance 1 word 3\r\nabc", Invalid},
      {"bytes after forward", "kodra-instance 1 forward 1\nx", Invalid},
      {"bytes after selection", "kodra-instance 1 selection 1\nx", Invalid},
      {"word past the limit", "kodra-instance 1 word 4097\n", Invalid},
      {"length of six digits", "kodra-instance 1 word 100000\n", Invalid},
      {"a header that runs on", "kodra-instance 1 word " + std::string(60, '1'), Invalid},
      {"overlong UTF-8", "kodra-instance 1 word 2\n\xC0\xAF", Invalid},
      {"surrogate in UTF-8", "kodra-instance 1 word 3\n\xED\xA0\x80", Invalid},
      {"Latin-1", "kodra-instance 1 word 3\nam\xF3", Invalid},
      {"more than any reader keeps", "kodra-instance 1 word 3\n" + std::string(kInstanceMessageMaxBytes, 'a'),
       Invalid},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(StateName(InstanceMessageState(c.bytes)), StateName(c.state)) << c.name;
    EXPECT_EQ(DecodeInstanceRequest(c.bytes).has_value(), c.state == Complete) << c.name;
  }
}

TEST(InstanceMessage, EveryBeginningOfAMessageWaitsAndNothingAfterItIsTaken) {
  const std::string message = EncodeInstanceRequest({LookUpWord, u"λόγος"});
  for (size_t size = 0; size < message.size(); ++size)
    EXPECT_EQ(InstanceMessageState(message.substr(0, size)), Incomplete) << size;
  EXPECT_EQ(InstanceMessageState(message), Complete);
  for (const std::string& tail : {"\n"s, "\0"s, "kodra-instance 1 forward 0\n"s})
    EXPECT_EQ(InstanceMessageState(message + tail), Invalid);
}
