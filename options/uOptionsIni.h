#pragma once
// The text of "kodra3.ini": the options written property by property
// between "object TOptions" and "end", sub-object properties by their dotted
// path, and only values that differ from the declared defaults.
#include <stdexcept>
#include <string>
#include <string_view>

class TOptions;

class EOptionsReadError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Longest run of characters of a string value on one line.
constexpr size_t kOptionsStringPiece = 64;
// Longest string value kept on reading, in UTF-8 bytes: font and locale names
// are short, and a damaged or hostile file must not make a huge one (which
// would go on into every article's RTF). Longer values are cut on a
// character boundary.
constexpr size_t kOptionsStringLimit = 512;

std::string WriteOptionsText(const TOptions& options);

// Assigns every property the text names through its setter. Raises
// EOptionsReadError (naming the line) for a syntax error, an unknown property
// or a value of the wrong kind; the properties before it stay assigned.
// String values are cut to kOptionsStringLimit bytes.
void ReadOptionsText(std::string_view text, TOptions& options);
