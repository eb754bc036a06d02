#pragma once
// The icons of the main and the dictionary editor windows' actions, looked up
// by the action's object name ("actEditUndo"). They are drawn for this program
// (viewer/icons/*.svg, compiled in), so the tool bar looks the same on every
// desktop. Their lines take the palette's text colour when drawn, so they read
// on light and dark window colours alike; the few colours beside it are
// mid-tones that do too.
//
// Two actions have states of their own:
//   actEditLanguage: "greek" (input on, Greek letters), "latin" (input on,
//                    Latin letters), "off" (input off);
//   actViewOnTop:    "off", "on".
// Their icon without a state carries two of them as the icon's own Off and On
// states, so a checkable action shows the right one by itself: "off" and "on"
// for actViewOnTop, "off" and "greek" for actEditLanguage.
//
// The context help actions (actHelpOnCommands, actHelpOnEntryField,
// actHelpOnDicEntry, actHelpOnStatus, actHelpOnList) share one icon; the
// editor's actFileManager and actFileExit have the icons of the main window's
// actDictionaryManager and actExit.
#include <QIcon>
#include <QString>
#include <QStringList>

// The icon of an action; an empty icon for a name without one.
QIcon ActionIcon(const QString& actionName);
// One state of an action that has states; an empty icon for an unknown name or
// state. An action without states has the one state "".
QIcon ActionIcon(const QString& actionName, const QString& state);

// The action names that have an icon, and the states of one of them ("" alone
// for an action without states).
QStringList ActionIconNames();
QStringList ActionIconStates(const QString& actionName);

// When set, an action whose icon has a name in the desktop's icon theme
// (edit-undo, go-previous, ...) takes the theme's icon, where the theme has
// it. Not set at first: the bundled set is used throughout.
void SetPreferThemeIcons(bool prefer);
bool PreferThemeIcons();
