#pragma once
// The article, list and search fonts of a first run. The built-in default
// face is missing on most systems outside Windows, and a fallback chosen by
// the system may lack polytonic Greek: the first run takes an installed face
// that covers the Greek Extended block instead.
#include <functional>
#include <string>
#include <vector>

// wanted when it is installed; else the first face of a short list of good
// polytonic faces, then of the installed ones, that covers Greek Extended;
// else the system's default face.
std::string ChooseFirstRunFont(const std::vector<std::string>& installed, const std::string& wanted,
                               const std::function<bool(const std::string&)>& coversGreekExtended,
                               const std::string& systemDefault);
