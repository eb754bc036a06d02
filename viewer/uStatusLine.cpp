#include "viewer/uStatusLine.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

#include "foundation/KezLocale.h"

TStatusLine::TStatusLine(QWidget* parent) : QStatusBar(parent), FIcon(new QLabel(this)), FText(new QLabel(this)) {
  setObjectName("StatusBar");
  setSizeGripEnabled(true);
  FIcon->setFixedWidth(18);
  FIcon->setObjectName("StatusKind");
  FText->setObjectName("StatusText");
  FText->setTextFormat(Qt::PlainText);
  addWidget(FIcon);
  addWidget(FText, 1);
  FShownAt.start();
}

QString TStatusLine::Text() const { return FText->text(); }

void TStatusLine::ShowMessage(TStatusKind kind, const QString& text, const std::string& helpKeyword) {
  FMaker = nullptr;
  Show(kind, text, helpKeyword);
}

void TStatusLine::ShowMessage(TStatusKind kind, TTextMaker text, const std::string& helpKeyword) {
  FMaker = std::move(text);
  Show(kind, FMaker ? FMaker() : QString(), helpKeyword);
}

void TStatusLine::ShowText(TStatusKind kind, const char* key, const char* english, const std::string& helpKeyword) {
  ShowMessage(kind, TTextMaker([key, english] { return QString::fromStdString(Locale().Text(key, english)); }),
              helpKeyword);
}

void TStatusLine::Retranslate() {
  if (FKind == skHint) {
    ClearMessage();
    return;
  }
  if (FMaker) FText->setText(FMaker());
  NameKind();
}

void TStatusLine::Show(TStatusKind kind, const QString& text, const std::string& helpKeyword) {
  FKind = text.isEmpty() ? skNone : kind;
  FHelpKeyword = kind == skError ? helpKeyword : std::string();
  FText->setText(text);
  NameKind();
  FShownAt.restart();
}

void TStatusLine::NameKind() {
  QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
  // The icon's kind is read out by screen readers before the text.
  const char* kindKey = "";
  const char* kindName = "";
  switch (FKind) {
    case skInformation: icon = QStyle::SP_MessageBoxInformation; kindKey = "SStatusInformation"; kindName = "Information"; break;
    case skWarning: icon = QStyle::SP_MessageBoxWarning; kindKey = "SStatusWarning"; kindName = "Warning"; break;
    case skError: icon = QStyle::SP_MessageBoxCritical; kindKey = "SStatusError"; kindName = "Error"; break;
    case skProcessing: icon = QStyle::SP_BrowserReload; kindKey = "SStatusProcessing"; kindName = "Processing"; break;
    case skHint: icon = QStyle::SP_MessageBoxQuestion; kindKey = "SStatusHint"; kindName = "Hint"; break;
    default: break;
  }
  FIcon->setAccessibleName(*kindKey ? QString::fromStdString(Locale().Text(kindKey, kindName)) : QString());
  FIcon->setPixmap(icon == QStyle::SP_CustomBase ? QPixmap() : style()->standardIcon(icon).pixmap(16, 16));
}

void TStatusLine::ShowHint(const QString& text) {
  if (FKind == skNone || FKind == skHint || FShownAt.elapsed() > FHintDelay) ShowMessage(skHint, text);
}

void TStatusLine::ClearHint() {
  if (FKind == skHint) ClearMessage();
}
