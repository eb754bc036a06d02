#pragma once
// The keyboard layout the system has selected, as far as typing cares:
// whether its letters are Latin. The windows' language input types a
// language on the Latin keys; while the system types another script
// (Russian, Greek) the language input steps aside and the system's layout
// types, and comes back when a Latin layout does.
#include <QObject>
#include <string_view>

class QLocale;

class TSystemKeyboard : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;

  // True until the platform says otherwise: where it cannot tell, the keys
  // are taken as Latin.
  bool Latin() const { return FLatin; }
  // What the platform's watcher found (tests stand in for it here).
  void Report(bool latin);

signals:
  void Changed(bool latin);

private:
  bool FLatin = true;
};

// The process-wide layout, its platform watch started on first use: the XKB
// group and keymap on X11, the input method's language elsewhere.
TSystemKeyboard& SystemKeyboard();

// True when most of the letters a layout types are Latin; with no letters
// at all, true.
bool IsLatinScript(std::u32string_view letters);
// True when the language of a locale is written in Latin letters.
bool IsLatinScript(const QLocale& locale);

// A window's language input as the user chose it and as the layout allows:
// off while the layout is not Latin, back to the choice with a Latin one.
class TLanguageInputState {
public:
  explicit TLanguageInputState(bool latinLayout = true) : FLatin(latinLayout), FOn(latinLayout) {}

  bool On() const { return FOn; }
  // What the input is with a Latin layout.
  bool Chosen() const { return FChosen; }
  bool LatinLayout() const { return FLatin; }

  // The user's own switch (the Language action) counts whatever the layout.
  void Choose(bool on) { FChosen = FOn = on; }
  // The window's switch (a new language, a reload, a new dictionary): on
  // only where the layout lets it be.
  void Reset(bool on) {
    FChosen = on;
    FOn = on && FLatin;
  }
  void FollowLayout(bool latin) {
    if (latin == FLatin) return;
    FLatin = latin;
    FOn = latin && FChosen;
  }

private:
  bool FLatin;
  bool FChosen = true;
  bool FOn;
};
