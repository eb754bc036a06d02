#pragma once
// The tags of article texts, by slot in the order of their letters, and the
// verifier's rule of which may not stand inside which. Writers of source
// text (the importers) follow the same rule, so that what they write verifies.
constexpr char16_t kSourceTagLetters[] = u"hmance";
enum : int { tHeader, tMark, tAuthor, tEnum, tComment, tExample, kSourceTagCount };

constexpr unsigned SourceTagBit(int tag) { return 1u << tag; }
constexpr unsigned kAllSourceTags = (1u << kSourceTagCount) - 1;
// The slots (as bits) whose open tags forbid opening the tag.
constexpr unsigned kSourceTagForbiddenInside[kSourceTagCount] = {
    kAllSourceTags,
    SourceTagBit(tMark) | SourceTagBit(tAuthor) | SourceTagBit(tEnum),
    SourceTagBit(tMark) | SourceTagBit(tAuthor) | SourceTagBit(tEnum),
    kAllSourceTags,
    SourceTagBit(tMark) | SourceTagBit(tAuthor) | SourceTagBit(tEnum) | SourceTagBit(tComment),
    kAllSourceTags,
};
