#pragma once
// Writes a document of formatted runs (as ReadRtf gives them) back to RTF:
// what the rich-edit control puts on the clipboard for its selection.
// ReadRtf of the result gives the same paragraphs, runs and formats; every
// character outside printable ASCII goes as a \u escape, so the RTF is
// 7-bit whatever the text. NUL units are dropped: RTF has no way to carry
// them.
#include <string>

#include "render/uRtfReader.h"

std::string WriteRtf(const TRtfDocument& document);
