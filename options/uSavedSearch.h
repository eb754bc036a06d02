#pragma once
// "saves.dat": the search field's text of one language folder, kept between
// runs as UTF-16LE without a byte-order mark. It is a convenience: a damaged,
// huge or strange file gives an empty field, never an error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Units kept of a saved text; what the field shows is a word or a pattern.
constexpr size_t kSavedSearchMaxUnits = 4096;
// A larger file (or anything but a regular file) is not read at all.
constexpr uintmax_t kSavedSearchMaxFileSize = 64 * 1024;

// The text of the file's bytes: UTF-16LE units, an odd trailing byte
// ignored, a leading U+FEFF dropped, control units other than CR, LF and TAB
// and unpaired surrogates dropped, at most kSavedSearchMaxUnits units kept
// (a surrogate pair is kept whole or not at all).
std::u16string ParseSavedSearch(std::string_view bytes);

// The parsed file; empty for a missing, unreadable, too large or not regular file.
std::u16string ReadSavedSearch(const std::string& path);

// Writes the text (its first kSavedSearchMaxUnits units, a pair never cut)
// through a temporary file renamed over the old one. Raises ESystemError or
// std::runtime_error on failure, the old file then untouched.
void WriteSavedSearch(const std::string& path, std::u16string_view text);
