#pragma once
// Where the keywords of a set's smaller dictionaries stand among the largest
// one's: found once by searching the large dictionary, then remembered in
// the user's cache folder for that set of files (their identities, in
// order), so that a start does not search again. Each place is the index of
// the first keyword of the large dictionary not ordered before the small
// one's, shifted left by one, with bit 0 set when the two are equal.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The places of a cache file's bytes when they are for the identity, as
// many as expected, and each possible after the one before it in a large
// dictionary of baseCount keywords. False otherwise (the places are then
// found again).
bool ParseMergePlaces(std::string_view bytes, uint64_t identity, size_t expected, uint32_t baseCount,
                      std::vector<uint32_t>& places);
bool ReadMergePlaces(const std::string& fileName, uint64_t identity, size_t expected, uint32_t baseCount,
                     std::vector<uint32_t>& places);
// Replaces the file; a failure to write is ignored.
void WriteMergePlaces(const std::string& fileName, uint64_t identity, const std::vector<uint32_t>& places);
