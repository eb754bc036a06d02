#pragma once
// Colours as 32-bit values laid out 0x00BBGGRR. Values with the top byte
// 0xFF name a system colour by index and are resolved to RGB only when a
// document is written, so they follow the desktop's theme.
#include <cstdint>
#include <string>
#include <string_view>

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
// No colour of its own: the element uses the default text colour.
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clSystemColor = TColor(0xFF000000u);
enum TSystemColorIndex : int32_t {
  scWindow = 5,
  scWindowText = 8,
  scHighlight = 13,
  scHighlightText = 14,
  scBtnFace = 15,
  scGrayText = 17,
  scBtnText = 18,
  scInfoText = 23,
  scInfoBk = 24,
};
constexpr TColor clWindow = clSystemColor | scWindow;
constexpr TColor clWindowText = clSystemColor | scWindowText;
constexpr TColor clHighlight = clSystemColor | scHighlight;
constexpr TColor clHighlightText = clSystemColor | scHighlightText;
constexpr TColor clBtnFace = clSystemColor | scBtnFace;
constexpr TColor clGrayText = clSystemColor | scGrayText;
constexpr TColor clBtnText = clSystemColor | scBtnText;
constexpr TColor clInfoText = clSystemColor | scInfoText;
constexpr TColor clInfoBk = clSystemColor | scInfoBk;

constexpr bool IsSystemColor(TColor color) { return (uint32_t(color) & 0xFF000000u) == 0xFF000000u; }

// The platform supplies the RGB value (0x00BBGGRR) of a system colour index.
// Without a hook the light defaults of a common desktop theme are used.
using TSystemColorHook = uint32_t (*)(int32_t index);
void SetSystemColorHook(TSystemColorHook hook);
uint32_t SystemColorRGB(int32_t index);

// The RGB value of any colour; clNone resolves to the window-text colour,
// which is what an element without a colour of its own is shown in.
uint32_t ColorToRGB(TColor color);

// Standard identifiers: the sixteen basic colours, clNone and the system
// colours named above. Comparison of identifiers ignores case.
bool ColorToIdent(TColor color, std::string& ident);
bool IdentToColor(std::string_view ident, TColor& color);
