#pragma once
// The small square before a keyword that tells the kind of its dictionary
// (main, form, user, other) by colour; filled when more dictionaries hold
// the keyword.
#include <cstdint>

class QPainter;
class QRect;

void DrawKindMark(QPainter& canvas, int kind, const QRect& row, bool filled);
