#pragma once
// Bringing our window to the front when the user asked for it from outside
// (the hot key, a later start of the program). Desktops refuse activation
// requests that look like focus stealing, so on X11 the request says it
// comes on the user's behalf.
class QWidget;

void BringToFront(QWidget& window);
