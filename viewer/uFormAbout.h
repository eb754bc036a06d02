#pragma once
// The About box: the program's name and version, its makers, its licence and
// the data's licences, its mail and web addresses; and those facts for the
// other parts that name them (the Home page command).
#include <QDialog>
#include <QString>

// "3.0".
QString ProgramVersion();
// The program's web page.
QString HomePageAddress();
// Where its makers read their mail.
QString ContactAddress();

class TFormAbout : public QDialog {
  Q_OBJECT
public:
  explicit TFormAbout(QWidget* parent = nullptr);
};
