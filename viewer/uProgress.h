#pragma once
// The progress window of long operations on the window thread (a large
// paste): a caption, a bar and a Cancel button. Each operation processes
// pending events, so the program stays alive while the work goes on. The
// caller hides the window when done.
#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class TFormProgress : public QWidget {
  Q_OBJECT
public:
  // Client size of the window.
  static constexpr int kWidth = 337;
  static constexpr int kHeight = 114;
  // How long Finish lets the full bar be seen.
  static constexpr int kFinishMilliseconds = 300;

  explicit TFormProgress(QWidget* parent = nullptr);

  // Translates the window's texts by component name; the application sets
  // it, and Start calls it with the prefix "Progress".
  using TLocalizer = std::function<void(QWidget& form, const char* prefix)>;
  void SetLocalizer(TLocalizer localizer) { FLocalizer = std::move(localizer); }

  // Shows the window centred on the desktop: the caption, the bar at 1 of
  // 0..100, Cancel not pressed.
  void Start(const QString& caption);
  // The bar's maximum and step; the bar back at 0.
  void SetRange(int maximum, int step);
  // Advances the bar by one step (never past the maximum); false once Cancel
  // was pressed since Start.
  bool StepIt();
  // The bar full, then kFinishMilliseconds of events before returning.
  void Finish();

  bool Cancelled() const { return FCancelled; }

private:
  void btnCancelClick() { FCancelled = true; }

  QLabel* lblCaption;
  QProgressBar* ProgressBar;
  QPushButton* btnCancel;
  TLocalizer FLocalizer;
  int FStep = 10;
  bool FCancelled = false;
};
