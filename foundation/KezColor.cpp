#include "foundation/KezColor.h"
#include "foundation/KezText.h"

#include <atomic>

namespace {
struct TColorIdent {
  TColor Color;
  const char* Name;
};
constexpr TColorIdent kIdents[] = {
    {clBlack, "clBlack"},         {clMaroon, "clMaroon"},       {clGreen, "clGreen"},
    {clOlive, "clOlive"},         {clNavy, "clNavy"},           {clPurple, "clPurple"},
    {clTeal, "clTeal"},           {clGray, "clGray"},           {clSilver, "clSilver"},
    {clRed, "clRed"},             {clLime, "clLime"},           {clYellow, "clYellow"},
    {clBlue, "clBlue"},           {clFuchsia, "clFuchsia"},     {clAqua, "clAqua"},
    {clWhite, "clWhite"},         {clNone, "clNone"},           {clWindow, "clWindow"},
    {clWindowText, "clWindowText"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},     {clGrayText, "clGrayText"},   {clBtnText, "clBtnText"},
    {clInfoText, "clInfoText"},   {clInfoBk, "clInfoBk"},
};

uint32_t DefaultSystemColor(int32_t index) {
  switch (index) {
    case scWindow: return 0xFFFFFF;
    case scHighlight: return 0xD77800;
    case scHighlightText: return 0xFFFFFF;
    case scBtnFace: return 0xF0F0F0;
    case scGrayText: return 0x6D6D6D;
    case scInfoBk: return 0xE1FFFF;
    default: return 0x000000;  // the text colours
  }
}

std::atomic<TSystemColorHook> GSystemColorHook{nullptr};

}  // namespace

void SetSystemColorHook(TSystemColorHook hook) { GSystemColorHook = hook; }

uint32_t SystemColorRGB(int32_t index) {
  TSystemColorHook hook = GSystemColorHook;
  return (hook ? hook(index) : DefaultSystemColor(index)) & 0xFFFFFF;
}

uint32_t ColorToRGB(TColor color) {
  if (color == clNone) return SystemColorRGB(scWindowText);
  if (IsSystemColor(color)) return SystemColorRGB(color & 0xFF);
  return uint32_t(color) & 0xFFFFFF;
}

bool ColorToIdent(TColor color, std::string& ident) {
  for (const auto& entry : kIdents)
    if (entry.Color == color) {
      ident = entry.Name;
      return true;
    }
  return false;
}

bool IdentToColor(std::string_view ident, TColor& color) {
  for (const auto& entry : kIdents)
    if (SameIdent(ident, entry.Name)) {
      color = entry.Color;
      return true;
    }
  return false;
}
