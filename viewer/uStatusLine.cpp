#include "viewer/uStatusLine.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

TStatusLine::TStatusLine(QWidget* parent) : QStatusBar(parent), FIcon(new QLabel(this)), FText(new QLabel(this)) {
  setObjectName("StatusBar");
  setSizeGripEnabled(true);
  FIcon->setFixedWidth(18);
  FText->setTextFormat(Qt::PlainText);
  addWidget(FIcon);
  addWidget(FText, 1);
  FShownAt.start();
}

QString TStatusLine::Text() const { return FText->text(); }

void TStatusLine::ShowMessage(TStatusKind kind, const QString& text, const std::string& helpKeyword) {
  FKind = text.isEmpty() ? skNone : kind;
  FHelpKeyword = kind == skError ? helpKeyword : std::string();
  FText->setText(text);
  QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
  switch (FKind) {
    case skInformation: icon = QStyle::SP_MessageBoxInformation; break;
    case skWarning: icon = QStyle::SP_MessageBoxWarning; break;
    case skError: icon = QStyle::SP_MessageBoxCritical; break;
    case skProcessing: icon = QStyle::SP_BrowserReload; break;
    case skHint: icon = QStyle::SP_MessageBoxQuestion; break;
    default: break;
  }
  FIcon->setPixmap(icon == QStyle::SP_CustomBase ? QPixmap() : style()->standardIcon(icon).pixmap(16, 16));
  FShownAt.restart();
}

void TStatusLine::ShowHint(const QString& text) {
  if (FKind == skNone || FKind == skHint || FShownAt.elapsed() > FHintDelay) ShowMessage(skHint, text);
}

void TStatusLine::ClearHint() {
  if (FKind == skHint) ClearMessage();
}
