#pragma once
#include <cstdio>
#include <string>

#include "foundation/KezText.h"
#include "render/uRtfReader.h"

// A compact picture of a document: runs as text<attributes>, paragraphs
// separated by " | ". Attributes at their defaults are left out.
inline std::string Describe(const TRtfDocument& document) {
  std::string out;
  for (size_t p = 0; p < document.Paragraphs.size(); ++p) {
    if (p) out += " | ";
    for (const TRtfRun& run : document.Paragraphs[p].Runs) {
      const TRtfCharFormat& f = run.Format;
      std::string attributes;
      auto add = [&](const std::string& a) { attributes += (attributes.empty() ? "" : ",") + a; };
      if (!f.FaceName.empty()) add(f.FaceName);
      if (f.HalfPoints != 24) add("fs" + std::to_string(f.HalfPoints));
      if (f.Color != clRtfAuto) {
        char color[16];
        std::snprintf(color, sizeof color, "#%06X", unsigned(f.Color));
        add(color);
      }
      if (f.Bold) add("b");
      if (f.Italic) add("i");
      if (f.Underline) add("u");
      if (f.Position == vpSubscript) add("sub");
      if (f.Position == vpSuperscript) add("super");
      out += ToUtf8(run.Text) + "<" + attributes + ">";
    }
  }
  return out;
}

// The paragraph formats of a document: "fi/li/tab,tab" per paragraph,
// separated by " | ".
inline std::string DescribeLayout(const TRtfDocument& document) {
  std::string out;
  for (size_t p = 0; p < document.Paragraphs.size(); ++p) {
    const TRtfParagraph& paragraph = document.Paragraphs[p];
    if (p) out += " | ";
    out += std::to_string(paragraph.FirstIndent) + "/" + std::to_string(paragraph.LeftIndent) + "/";
    for (size_t t = 0; t < paragraph.TabStops.size(); ++t)
      out += (t ? "," : "") + std::to_string(paragraph.TabStops[t]);
  }
  return out;
}
