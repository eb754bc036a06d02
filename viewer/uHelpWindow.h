#pragma once
// The program's help window: the pages of help/ in a browser with Back,
// Forward and Contents, and a field that finds text in the page. A topic is
// a page's name ("kodraentryfield" for help/kodraentryfield.html); when the
// interface language is Russian the page of help/ru/ is shown if there is
// one. One window serves the whole program and is brought forward with each
// topic. It opens beside the window that asked for it, and where the reader
// last left it once moved.
#include <QMainWindow>
#include <QUrl>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolBar;

class THelpWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // Shows the topic's page of the interface language; false, with a page
  // that says so, when it is not installed.
  bool OpenTopic(const QString& topic);
  // The file of the page shown.
  QString PageFile() const;
  // Finds the find field's text in the page after (or before) the selection,
  // going round the page's end; false when the page does not hold it.
  bool FindText(bool backward = false);

  QTextBrowser* Browser() const { return edPage; }
  QLineEdit* FindField() const { return edFind; }
  QAction* Action(const char* name) const;

protected:
  void hideEvent(QHideEvent* event) override;

private:
  void Home();
  void PageChanged();
  void ShowFindResult(bool found);

  QToolBar* tbHelp;
  QTextBrowser* edPage;
  QLineEdit* edFind;
  QLabel* lblFind;
  QUrl FHome;
};

// The window's title for a page's title: "<page> – Kodra Help", or just
// "Kodra Help" for the contents (whose page title may be the help's name,
// with or without the help's name after it).
QString HelpWindowTitle(const QString& pageTitle);

// Where a help window of that (frame) size goes beside its owner's frame on
// the screen's free area: to the owner's right where it fits, else to its
// left, else centred over the owner; always inside the free area as far as
// its size allows.
QPoint HelpWindowPlace(const QRect& owner, const QSize& size, const QRect& screen);

// Opens a topic in the help window, made on first use and reused after,
// belonging to the parent's window (so that it works beside a modal window
// that asks for it); raises and activates it. Returns the window.
THelpWindow* OpenHelpTopic(QWidget* parent, const QString& topic);
// The help's contents page (help/index.html).
THelpWindow* OpenHelpContents(QWidget* parent);
// The help window when there is one, else nullptr.
THelpWindow* CurrentHelpWindow();
