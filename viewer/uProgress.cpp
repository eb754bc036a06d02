#include "viewer/uProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

TFormProgress::TFormProgress(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblCaption(new QLabel(this)),
      ProgressBar(new QProgressBar(this)),
      btnCancel(new QPushButton("Cancel", this)) {
  setObjectName("FormProgress");
  setWindowTitle("Progress");
  setAccessibleName("Progress");
  setFixedSize(kWidth, kHeight);

  lblCaption->setObjectName("lblCaption");
  lblCaption->setTextFormat(Qt::PlainText);
  QFont bold = lblCaption->font();
  bold.setBold(true);
  lblCaption->setFont(bold);

  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setAccessibleName("Progress");
  ProgressBar->setTextVisible(false);

  btnCancel->setObjectName("btnCancel");
  btnCancel->setAccessibleName("Cancel");
  connect(btnCancel, &QPushButton::clicked, this, &TFormProgress::btnCancelClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblCaption);
  layout->addWidget(ProgressBar);
  layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
}

void TFormProgress::Start(const QString& caption) {
  // Localised before the caption is set: the label's key is also the
  // window caption's, and the label must show this operation.
  if (FLocalizer) FLocalizer(*this, "Progress");
  lblCaption->setText(caption);
  lblCaption->setAccessibleName(caption);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(1);
  FCancelled = false;
  show();
  // Centred once shown, when the frame around the client is known.
  if (const QScreen* desktop = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(desktop->availableGeometry().center());
    move(frame.topLeft());
  }
  raise();
  QCoreApplication::processEvents();
}

void TFormProgress::SetRange(int maximum, int step) {
  ProgressBar->setMaximum(maximum);
  FStep = step;
  ProgressBar->setValue(0);
  QCoreApplication::processEvents();
}

bool TFormProgress::StepIt() {
  ProgressBar->setValue(std::min(ProgressBar->value() + FStep, ProgressBar->maximum()));
  QCoreApplication::processEvents();
  return !FCancelled;
}

void TFormProgress::Finish() {
  ProgressBar->setValue(ProgressBar->maximum());
  QCoreApplication::processEvents();
  // A pause that keeps painting and answering, unlike a sleep.
  QEventLoop pause;
  QTimer::singleShot(kFinishMilliseconds, &pause, &QEventLoop::quit);
  pause.exec();
}
