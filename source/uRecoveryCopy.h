#pragma once
// The editor's recovery copies: while an author's changes are unsaved, the
// editor writes the dictionary now and then beside its file, so that a crash
// loses minutes of work at most. A successful save removes the copy; a copy
// found newer than its file at the next opening is work the author never
// saved, and is offered back.
#include <string>

class TSourceDictionary;

// How often the editor writes the copy while changes stay unsaved.
constexpr int kRecoveryIntervalSeconds = 120;

// "<name>.kds~" beside "<name>.kds".
std::string RecoveryCopyName(const std::string& sourceName);
// Writes the copy as safely as the file itself is saved; the dictionary, its
// file and its modified state stay as they are.
void WriteRecoveryCopy(const TSourceDictionary& dictionary);
// No error when there is none.
void RemoveRecoveryCopy(const std::string& sourceName);
// A copy lies beside the file and is newer than it (or the file is gone).
bool HasRecoveryCopy(const std::string& sourceName);
