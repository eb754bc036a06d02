#include "options/uFirstRunFont.h"

#include <algorithm>

#include "foundation/KezText.h"

namespace {
// Faces that read well in an article and carry the whole polytonic range.
const char* const kPreferredFaces[] = {"Noto Sans",     "DejaVu Sans",   "Gentium Plus",  "Gentium Book Plus",
                                       "GFS Neohellenic", "FreeSans",    "Noto Serif",    "DejaVu Serif",
                                       "FreeSerif",     "Linux Libertine O"};

const std::string* Find(const std::vector<std::string>& installed, const std::string& face) {
  const std::string wanted = AsciiLowered(face);
  const auto found =
      std::find_if(installed.begin(), installed.end(), [&](const std::string& f) { return AsciiLowered(f) == wanted; });
  return found == installed.end() ? nullptr : &*found;
}
}  // namespace

std::string ChooseFirstRunFont(const std::vector<std::string>& installed, const std::string& wanted,
                               const std::function<bool(const std::string&)>& coversGreekExtended,
                               const std::string& systemDefault) {
  if (!wanted.empty() && Find(installed, wanted)) return wanted;
  for (const char* face : kPreferredFaces)
    if (const std::string* found = Find(installed, face); found && coversGreekExtended(*found)) return *found;
  for (const std::string& face : installed)
    if (coversGreekExtended(face)) return face;
  return systemDefault;
}
