#include "viewer/uHelpPopup.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/help/uHelpTexts.h"

namespace {
QPointer<THelpPopup> GPopup;

// Lines of text are wrapped at this many average characters at most.
constexpr int kMaxLineCharacters = 70;

QString TopicText(const char* fileName, int32_t topic) {
  THelpTexts texts;
  LoadHelpTexts(LocalizedHelpFile(ProgramFolder(), Options().LocaleName(), fileName), texts);
  const auto found = texts.find(topic);
  return found == texts.end() ? QString() : QString::fromStdU16String(found->second);
}

QScreen* ScreenAt(const QPoint& position) {
  QScreen* screen = QGuiApplication::screenAt(position);
  return screen ? screen : QGuiApplication::primaryScreen();
}
}  // namespace

THelpPopup::THelpPopup(const QString& text, const QFont& font, QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint), lblText(new QLabel(this)) {
  setObjectName("HelpPopup");
  setAccessibleName(tr("Help"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, Background());
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);

  lblText->setObjectName("lblText");
  lblText->setAccessibleName(tr("Help text"));
  lblText->setTextFormat(Qt::PlainText);
  lblText->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(TextMargins());
  layout->addWidget(lblText);
  SetText(text, font);
}

void THelpPopup::SetText(const QString& text, const QFont& font) {
  lblText->setFont(font);
  lblText->setText(text);
  setAccessibleDescription(text);
}

QString THelpPopup::Text() const { return lblText->text(); }

void THelpPopup::ShowAt(const QPoint& position) {
  const QRect area = ScreenAt(position)->availableGeometry();
  // As wide as the widest line, up to a comfortable line length.
  const QFontMetrics metrics(lblText->font());
  int widest = 0;
  for (const QString& line : lblText->text().split(u'\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int frame = 2 * frameWidth() + TextMargins().left() + TextMargins().right();
  const int limit = std::max(1, std::min(metrics.averageCharWidth() * kMaxLineCharacters, area.width() / 2 - frame));
  lblText->setFixedWidth(std::min(widest + 1, limit));
  adjustSize();
  QRect bounds(QPoint(position.x() - width() / 2, position.y()), size());
  bounds.moveRight(std::min(bounds.right(), area.right()));
  bounds.moveBottom(std::min(bounds.bottom(), area.bottom()));
  bounds.moveLeft(std::max(bounds.left(), area.left()));
  bounds.moveTop(std::max(bounds.top(), area.top()));
  move(bounds.topLeft());
  show();
  setFocus(Qt::PopupFocusReason);
}

void THelpPopup::mousePressEvent(QMouseEvent* event) {
  event->accept();
  close();
}

void THelpPopup::keyPressEvent(QKeyEvent* event) {
  event->accept();
  close();
}

THelpPopup* ShowHelpPopup(const QString& text, const QPoint& position, const QFont& font) {
  if (text.trimmed().isEmpty()) {
    if (GPopup) GPopup->close();
    return nullptr;
  }
  // Owned by the modal window that asks (the options window, a message box),
  // so that nothing stands between the reader and the pop-up.
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  while (qobject_cast<THelpPopup*>(owner)) owner = owner->parentWidget();
  // A pop-up on the screen takes the new text: closing it would hand the
  // focus back and forth between windows for nothing.
  if (GPopup && (!GPopup->isVisible() || GPopup->parentWidget() != owner)) GPopup->close();
  if (!GPopup || !GPopup->isVisible()) GPopup = new THelpPopup(text, font, owner);
  else GPopup->SetText(text, font);
  GPopup->ShowAt(position);
  return GPopup;
}

THelpPopup* CurrentHelpPopup() { return GPopup; }

QFont PopupHelpFont() {
  const TFontChoice choice = Options().FontChoice(Options().PopupHelpFont());
  QFont font(QString::fromStdString(choice.FaceName));
  if (choice.Size > 0) font.setPointSize(choice.Size);
  return font;
}

QString HelpPopupText(int32_t topic) { return TopicText("popups.txt", topic); }
QString ErrorPopupText(int32_t topic) { return TopicText("errors.txt", topic); }

THelpPopup* ShowHelpTopicPopup(int32_t topic) {
  return ShowHelpPopup(HelpPopupText(topic), QCursor::pos(), PopupHelpFont());
}

THelpPopup* ShowErrorPopup(QWidget* window, const std::string& identifier) {
  const int32_t topic = ErrorHelpTopic(identifier);
  if (!window || topic == 0) return nullptr;
  const QRect frame = window->isWindow() ? window->frameGeometry()
                                          : QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
  const QPoint position(frame.left() + frame.width() / 2, frame.top() + frame.height() * 2 / 3);
  return ShowHelpPopup(ErrorPopupText(topic), position, PopupHelpFont());
}
