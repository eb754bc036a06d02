#include "viewer/uKindMark.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

void DrawKindMark(QPainter& canvas, int kind, const QRect& row, bool filled) {
  static const QColor kKindColors[] = {QColor(0x2E, 0x6F, 0xB5), QColor(0x3A, 0x9A, 0x4A),
                                       QColor(0xC0, 0x7A, 0x20), QColor(0x80, 0x80, 0x80)};
  const QColor color = kKindColors[std::clamp(kind, 0, 3)];
  const QRect mark(row.x() + 4, row.y() + (row.height() - 8) / 2, 8, 8);
  canvas.save();
  canvas.setPen(color);
  if (filled) canvas.setBrush(color);
  canvas.drawRect(mark.adjusted(0, 0, -1, -1));
  canvas.restore();
}
