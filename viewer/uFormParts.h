#pragma once
// What the program's windows build alike: their actions from a table, menus
// and tool bars from lists of action names, the parts' own pop-up menus, and
// fonts from the options.
#include <QFont>
#include <functional>
#include <memory>
#include <initializer_list>
#include <span>

class QMenu;
class QObject;
class QWidget;
class TOptionsFont;

struct TActionDefinition {
  const char* Name;      // the object name, as localisation and the icons know it
  const char* Caption;
  const char* Hint;
  const char* Shortcut;  // as QKeySequence reads it, or ""
};

// Adds an action per definition to the window, with its icon.
void CreateActions(QWidget& form, std::span<const TActionDefinition> definitions);

// Adds the window's actions of these names to a menu or tool bar; "" stands
// for a separator.
void AddActions(QWidget& target, const QWidget& form, std::initializer_list<const char*> names);

// A pop-up menu of the window's actions, shown when the part is
// right-clicked, in place of the toolkit's own.
QMenu* AttachPopupMenu(QWidget& form, const char* name, QWidget& part, std::initializer_list<const char*> names);

// Keeps the window's actions enabled as their conditions are now, not as
// they were at the last idle update: update runs when the window's focus
// or text changes and just before a key of the window is matched against
// the shortcuts, so a shortcut pressed right after typing is never lost. The
// window holds what is returned as its last member, so that it goes first.
std::unique_ptr<QObject> KeepActionsCurrent(QWidget& window, std::function<void()> update);

// The font an option names.
QFont OptionFont(const TOptionsFont& font);

// The program's about box.
void ShowAboutBox(QWidget* parent);
