#pragma once
// Which installed font faces can show polytonic Greek.
#include <string>
#include <vector>

// Whether the face itself (not a fallback) has a glyph for every assigned
// character of the Greek Extended block.
bool CoversGreekExtended(const std::string& face);
// The face for the article, list and search fonts of a first run.
std::string FirstRunFontFace(const std::string& wanted);
