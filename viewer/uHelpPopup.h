#pragma once
// The help pop-up: a small borderless window on a pale yellow ground that
// shows the text of one topic of help/popups.txt (the options window's rows)
// or help/errors.txt (the error messages), in the pop-up font of the options.
// A click (on it or, as for every pop-up, anywhere else), a key or the
// program losing the focus closes it. One pop-up at a time: another text
// takes the place of the one shown.
#include <QColor>
#include <QFrame>
#include <QMargins>
#include <cstdint>
#include <string>

class QLabel;

class THelpPopup : public QFrame {
  Q_OBJECT
public:
  // The ground is pale yellow: red FF, green FF, blue B0 (#FFFFB0).
  static QColor Background() { return QColor(0xFF, 0xFF, 0xB0); }
  // Between the frame and the text: left 8, top 4, right 8, bottom 6 pixels.
  static QMargins TextMargins() { return QMargins(8, 4, 8, 6); }

  THelpPopup(const QString& text, const QFont& font, QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text, const QFont& font);
  // Shows the pop-up with its top edge centred on the screen position, moved
  // as far as needed to lie whole on that screen.
  void ShowAt(const QPoint& position);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QLabel* lblText;
};

// Shows text in the pop-up at a screen position; returns the pop-up, which
// deletes itself when closed and belongs to the active modal window, or else
// to the active window. Nothing for an empty text (nullptr).
THelpPopup* ShowHelpPopup(const QString& text, const QPoint& position, const QFont& font);
// The pop-up on the screen, or nullptr.
THelpPopup* CurrentHelpPopup();

// The font of the pop-ups: the PopupHelpFont option (its face, or the
// default font's, and its size).
QFont PopupHelpFont();
// The text of a topic of help/popups.txt, or of help/errors.txt, in the
// interface language (the Russian file when the language is Russian and the
// file exists); empty when the topic has none.
QString HelpPopupText(int32_t topic);
QString ErrorPopupText(int32_t topic);

// The pop-up of an options row's topic at the mouse position (F1 on a row).
THelpPopup* ShowHelpTopicPopup(int32_t topic);
// The pop-up of an error message identifier ("SCorruptFile") over a window:
// at the middle of its width and two thirds of its height. Nothing for an
// identifier without a topic.
THelpPopup* ShowErrorPopup(QWidget* window, const std::string& identifier);
