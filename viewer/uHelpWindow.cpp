#include "viewer/uHelpWindow.h"

#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <algorithm>

#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/help/uHelpTexts.h"
#include "viewer/uData.h"

namespace {
QPointer<THelpWindow> GWindow;
// Where the window's place is kept between runs.
constexpr const char* kPlacementKey = "HelpWindow/Position";

// The file of a help page in the interface language.
QString PageOf(const QString& name) {
  return QString::fromStdString(LocalizedHelpFile(ProgramFolder(), Options().LocaleName(), name.toStdString()));
}
}  // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      tbHelp(new QToolBar(this)),
      edPage(new QTextBrowser(this)),
      edFind(new QLineEdit(this)),
      lblFind(new QLabel(this)) {
  setObjectName("HelpWindow");
  setWindowTitle(HelpWindowTitle(QString()));
  setAccessibleName(windowTitle());

  tbHelp->setObjectName("tbHelp");
  tbHelp->setAccessibleName(Tr("HelpToolBar", "Help tool bar"));
  tbHelp->setMovable(false);
  struct {
    const char* Name;
    const char* Key;
    const char* Text;
    const char* Icon;
    QStyle::StandardPixmap Fallback;
    QKeySequence Shortcut;
  } const definitions[] = {
      {"actHelpBack", "HelpBack", "Back", "go-previous", QStyle::SP_ArrowBack, QKeySequence(QKeySequence::Back)},
      {"actHelpForward", "HelpForward", "Forward", "go-next", QStyle::SP_ArrowForward,
       QKeySequence(QKeySequence::Forward)},
      {"actHelpHome", "HelpHome", "Contents", "go-home", QStyle::SP_DirHomeIcon, QKeySequence("Alt+Home")},
      {"actFindPrevious", "HelpFindPrevious", "Find previous", "go-up", QStyle::SP_ArrowUp,
       QKeySequence(QKeySequence::FindPrevious)},
      {"actFindNext", "HelpFindNext", "Find next", "go-down", QStyle::SP_ArrowDown,
       QKeySequence(QKeySequence::FindNext)},
  };
  for (const auto& definition : definitions) {
    auto* action = new QAction(QIcon::fromTheme(definition.Icon, style()->standardIcon(definition.Fallback)),
                               Tr(definition.Key, definition.Text), this);
    action->setObjectName(definition.Name);
    action->setToolTip(action->text());
    action->setShortcut(definition.Shortcut);
    addAction(action);
  }
  for (const char* name : {"actHelpBack", "actHelpForward", "actHelpHome"}) tbHelp->addAction(Action(name));
  tbHelp->addSeparator();
  edFind->setObjectName("edFind");
  edFind->setAccessibleName(Tr("HelpFind", "Find in page"));
  edFind->setPlaceholderText(edFind->accessibleName());
  edFind->setClearButtonEnabled(true);
  edFind->setMaximumWidth(240);
  tbHelp->addWidget(edFind);
  for (const char* name : {"actFindPrevious", "actFindNext"}) tbHelp->addAction(Action(name));
  lblFind->setObjectName("lblFind");
  lblFind->setAccessibleName(Tr("HelpFindResult", "Find result"));
  lblFind->setContentsMargins(6, 0, 6, 0);
  tbHelp->addWidget(lblFind);
  for (QAction* action : tbHelp->actions())
    if (QWidget* button = tbHelp->widgetForAction(action); button && !action->objectName().isEmpty()) {
      button->setObjectName("btn" + action->objectName().mid(3));
      button->setAccessibleName(action->text());
    }
  auto* find = new QAction(this);
  find->setObjectName("actFind");
  find->setShortcut(QKeySequence::Find);
  addAction(find);

  edPage->setObjectName("edPage");
  edPage->setAccessibleName(Tr("HelpPage", "Help page"));
  edPage->setOpenExternalLinks(true);

  addToolBar(tbHelp);
  tbHelp->setWindowTitle(tbHelp->accessibleName());
  setCentralWidget(edPage);
  setContextMenuPolicy(Qt::NoContextMenu);  // the tool bar stays: no menu to hide it

  Action("actHelpBack")->setEnabled(false);
  Action("actHelpForward")->setEnabled(false);
  connect(edPage, &QTextBrowser::backwardAvailable, Action("actHelpBack"), &QAction::setEnabled);
  connect(edPage, &QTextBrowser::forwardAvailable, Action("actHelpForward"), &QAction::setEnabled);
  connect(Action("actHelpBack"), &QAction::triggered, edPage, &QTextBrowser::backward);
  connect(Action("actHelpForward"), &QAction::triggered, edPage, &QTextBrowser::forward);
  connect(Action("actHelpHome"), &QAction::triggered, this, &THelpWindow::Home);
  connect(Action("actFindNext"), &QAction::triggered, this, [this] { FindText(false); });
  connect(Action("actFindPrevious"), &QAction::triggered, this, [this] { FindText(true); });
  connect(find, &QAction::triggered, this, [this] {
    edFind->setFocus(Qt::ShortcutFocusReason);
    edFind->selectAll();
  });
  connect(edFind, &QLineEdit::returnPressed, this, [this] { FindText(false); });
  connect(edFind, &QLineEdit::textEdited, this, [this] {
    // Typing extends the text found so far: search again from its start.
    QTextCursor cursor = edPage->textCursor();
    cursor.setPosition(cursor.selectionStart());
    edPage->setTextCursor(cursor);
    FindText(false);
  });
  connect(edPage, &QTextBrowser::sourceChanged, this, &THelpWindow::PageChanged);
  resize(780, 620);
}

QAction* THelpWindow::Action(const char* name) const { return findChild<QAction*>(name); }

bool THelpWindow::OpenTopic(const QString& topic) {
  FHome = QUrl::fromLocalFile(PageOf("index.html"));
  const QString file = PageOf(topic + ".html");
  if (!QFileInfo(file).isFile()) {
    edPage->setHtml("<h1>" + topic.toHtmlEscaped() + "</h1><p>" +
                    Tr("HelpMissing", "This help page is not installed:").toHtmlEscaped() + "<br>" +
                    file.toHtmlEscaped() + "</p>");
    PageChanged();
    return false;
  }
  edPage->setSource(QUrl::fromLocalFile(file));
  return true;
}

QString THelpWindow::PageFile() const { return edPage->source().toLocalFile(); }

void THelpWindow::Home() {
  if (QFileInfo(FHome.toLocalFile()).isFile()) edPage->setSource(FHome);
}

void THelpWindow::PageChanged() {
  setWindowTitle(HelpWindowTitle(edPage->documentTitle()));
  setAccessibleName(windowTitle());
  ShowFindResult(true);
}

void THelpWindow::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  QSettings("Prask", "Kodra3").setValue(kPlacementKey, saveGeometry());
}

QString HelpWindowTitle(const QString& pageTitle) {
  const QString english = QStringLiteral("Kodra Help");
  const QString help = Tr("HelpCaption", "Kodra Help");
  QString title = pageTitle.trimmed();
  // The pages end their titles with the help's name; an English page stands
  // in where a translation is missing.
  for (const QString& name : {help, english})
    for (const QString& dash : {QStringLiteral(" \u2013 "), QStringLiteral(" - ")})
      if (title.endsWith(dash + name)) title = title.chopped(dash.size() + name.size()).trimmed();
  if (title.isEmpty() || title == help || title == english) return help;
  return title + QStringLiteral(" \u2013 ") + help;
}

QPoint HelpWindowPlace(const QRect& owner, const QSize& size, const QRect& screen) {
  constexpr int kGap = 8;
  QPoint place;
  if (owner.right() + 1 + kGap + size.width() <= screen.right() + 1)
    place = QPoint(owner.right() + 1 + kGap, owner.top());
  else if (owner.left() - kGap - size.width() >= screen.left())
    place = QPoint(owner.left() - kGap - size.width(), owner.top());
  else
    place = owner.center() - QPoint(size.width() / 2, size.height() / 2);
  // On the free area; a window larger than it keeps its top left corner there.
  place.setX(std::max(screen.left(), std::min(place.x(), screen.right() + 1 - size.width())));
  place.setY(std::max(screen.top(), std::min(place.y(), screen.bottom() + 1 - size.height())));
  return place;
}

bool THelpWindow::FindText(bool backward) {
  const QString text = edFind->text();
  if (text.isEmpty()) {
    ShowFindResult(true);
    return false;
  }
  const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  bool found = edPage->find(text, flags);
  if (!found) {  // round the page's end
    QTextCursor cursor = edPage->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    edPage->setTextCursor(cursor);
    found = edPage->find(text, flags);
  }
  ShowFindResult(found);
  return found;
}

void THelpWindow::ShowFindResult(bool found) {
  lblFind->setText(found ? QString() : Tr("HelpNotFound", "Not found"));
}

THelpWindow* OpenHelpTopic(QWidget* parent, const QString& topic) {
  QWidget* owner = parent ? parent->window() : nullptr;
  if (!GWindow) {
    GWindow = new THelpWindow(owner);
    // Where the reader left it; the first time, beside the window that asks.
    const QByteArray kept = QSettings("Prask", "Kodra3").value(kPlacementKey).toByteArray();
    if ((kept.isEmpty() || !GWindow->restoreGeometry(kept)) && owner) {
      // At most half the screen's width, so that it can stand beside the window.
      const QScreen* screen = owner->screen();
      const QRect free = screen ? screen->availableGeometry() : owner->frameGeometry();
      GWindow->resize(GWindow->size().boundedTo(QSize(free.width() / 2, free.height())));
      GWindow->move(HelpWindowPlace(owner->frameGeometry(), GWindow->size(), free));
    }
  } else if (GWindow->parentWidget() != owner) {
    GWindow->setParent(owner, GWindow->windowFlags());
  }
  GWindow->OpenTopic(topic);
  GWindow->show();
  GWindow->raise();
  GWindow->activateWindow();
  return GWindow;
}

THelpWindow* OpenHelpContents(QWidget* parent) { return OpenHelpTopic(parent, "index"); }

THelpWindow* CurrentHelpWindow() { return GWindow; }
