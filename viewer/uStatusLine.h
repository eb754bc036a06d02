#pragma once
// The main window's one-line status bar: one message at a time with the icon
// of its kind; hints replace a message only when it is a hint itself or old.
#include <QElapsedTimer>
#include <QStatusBar>
#include <functional>
#include <string>

class QLabel;

enum TStatusKind { skNone = 0, skHint = 1, skInformation = 2, skWarning = 3, skError = 4, skProcessing = 5 };

class TStatusLine : public QStatusBar {
  Q_OBJECT
public:
  explicit TStatusLine(QWidget* parent = nullptr);

  void ShowMessage(TStatusKind kind, const QString& text, const std::string& helpKeyword = {});
  // A message in the interface language, made again when that changes.
  using TTextMaker = std::function<QString()>;
  void ShowMessage(TStatusKind kind, TTextMaker text, const std::string& helpKeyword = {});
  // The interface language's text of the key, or the English one.
  void ShowText(TStatusKind kind, const char* key, const char* english, const std::string& helpKeyword = {});
  // The interface language changed: the message and the name of its kind
  // are said in the new one; a hint, a part's text in the old language, goes.
  void Retranslate();
  // The hint rule: shown when there is no message, the message is a hint,
  // or it is older than the hint delay.
  void ShowHint(const QString& text);
  void ClearHint();
  void ClearMessage() { ShowMessage(skNone, QString()); }
  void SetHintDelay(int milliseconds) { FHintDelay = milliseconds; }

  TStatusKind Kind() const { return FKind; }
  QString Text() const;
  const std::string& HelpKeyword() const { return FHelpKeyword; }

private:
  void Show(TStatusKind kind, const QString& text, const std::string& helpKeyword);
  void NameKind();

  QLabel* FIcon;
  QLabel* FText;
  TStatusKind FKind = skNone;
  std::string FHelpKeyword;
  TTextMaker FMaker;  // none for a message said once
  QElapsedTimer FShownAt;
  int FHintDelay = 8000;
};
