#pragma once
// Shortcuts by the key, not by the letter: Ctrl+C is the key marked C on a
// Latin keyboard whatever letter the system's layout puts on it. The
// toolkit finds Ctrl+<Cyrillic letter> a Latin shortcut only where another
// layout of the keymap is Latin; with a Russian layout alone no Ctrl+letter
// would work. A key the toolkit could not match reaches the focused widget
// as a key press; this filter sends the Latin key of the same place in its
// stead, which the toolkit matches as it would a key of a Latin layout: the
// widget's own command (copy, select all in an edit), else the action bound
// to it.
#include <QObject>
#include <cstdint>

class TKeyShortcuts : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Filters the application's key presses once; later calls do nothing.
void InstallKeyShortcuts();

// The Latin key (Qt::Key_A.., Qt::Key_0.., Qt::Key_Semicolon..) of a key
// press given by its key and its Windows virtual key (by the key's place on
// a US keyboard), when the press is a command (Ctrl, Alt or Meta held) on a
// key that gives a letter beyond Latin-1; else 0.
int LatinCommandKey(int key, Qt::KeyboardModifiers modifiers, uint16_t virtualKey);
