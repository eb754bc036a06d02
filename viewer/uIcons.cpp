#include "viewer/uIcons.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

// The resource lives in a static library: nothing else would pull it in.
static void InitIconResource() { Q_INIT_RESOURCE(icons); }

namespace {

struct TIconEntry {
  const char* Action;
  const char* State;
  const char* File;   // under :/icons/, without ".svg"
  const char* Theme;  // the icon theme's name, or ""
};

constexpr TIconEntry kIcons[] = {
    {"actDictionaryManager", "", "dictionary-manager", "accessories-dictionary"},
    {"actEditLanguage", "off", "editlanguage-off", ""},
    {"actEditLanguage", "greek", "editlanguage-greek", ""},
    {"actEditLanguage", "latin", "editlanguage-latin", ""},
    {"actEditCharMap", "", "charmap", "accessories-character-map"},
    {"actEditUndo", "", "undo", "edit-undo"},
    {"actEditCut", "", "cut", "edit-cut"},
    {"actEditCopy", "", "copy", "edit-copy"},
    {"actEditPaste", "", "paste", "edit-paste"},
    {"actEditDelete", "", "delete", "edit-delete"},
    {"actEditSelectAll", "", "select-all", "edit-select-all"},
    {"actEditClear", "", "clear", "edit-clear"},
    {"actSearchGoto", "", "goto", "go-jump"},
    {"actSearchBack", "", "back", "go-previous"},
    {"actSearchForward", "", "forward", "go-next"},
    {"actSearchUp", "", "up", "go-up"},
    {"actSearchDown", "", "down", "go-down"},
    {"actSearchStart", "", "search", "edit-find"},
    {"actSearchStartCurrent", "", "search-current", ""},
    {"actSearchNext", "", "search-next", ""},
    {"actSearchAll", "", "search-all", ""},
    {"actSearchResults", "", "search-results", ""},
    {"actViewMeanings", "", "meanings", ""},
    {"actViewOnTop", "off", "ontop-off", ""},
    {"actViewOnTop", "on", "ontop-on", ""},
    {"actServiceEditor", "", "editor", "accessories-text-editor"},
    {"actServiceOptions", "", "options", "preferences-system"},
    {"actHelpContents", "", "help-contents", "help-contents"},
    {"actHelpHomePage", "", "home-page", "go-home"},
    {"actHelpAboutDictionary", "", "about-dictionary", ""},
    {"actHelpAbout", "", "about", "help-about"},
    {"actHelpOnError", "", "help-error", "dialog-error"},
    {"actExit", "", "exit", "application-exit"},
    {"actHelpOnCommands", "", "help", ""},
    {"actHelpOnEntryField", "", "help", ""},
    {"actHelpOnDicEntry", "", "help", ""},
    {"actHelpOnStatus", "", "help", ""},
    {"actHelpOnList", "", "help", ""},

    // The dictionary editor's window.
    {"actFileNew", "", "file-new", "document-new"},
    {"actFileOpen", "", "file-open", "document-open"},
    {"actFileSave", "", "file-save", "document-save"},
    {"actFileSaveAs", "", "file-save-as", "document-save-as"},
    {"actFileVerify", "", "file-verify", ""},
    {"actFileCompile", "", "file-compile", ""},
    {"actFileMerge", "", "file-merge", ""},
    {"actFileConvert", "", "file-convert", ""},
    {"actFileManager", "", "dictionary-manager", "accessories-dictionary"},
    {"actFileExit", "", "exit", "application-exit"},
    {"actEditNew", "", "article-new", "list-add"},
    {"actEditAccept", "", "article-accept", ""},
    {"actEditSpecialChar0301", "", "char-acute", ""},
    {"actEditSpecialChar2014", "", "char-em-dash", ""},
    {"actEditSpecialChar2026", "", "char-ellipsis", ""},
    {"actEditSpecialCharF002", "", "char-breve", ""},
    {"actEditSpecialCharF010", "", "char-circled-dot", ""},
    {"actSearchReplace", "", "search-replace", "edit-find-replace"},
    {"actViewHeader", "", "view-header", ""},
    {"actViewMarks", "", "view-marks", ""},
    {"actViewAuthors", "", "view-authors", ""},
    {"actViewPreview", "", "preview", ""},
    {"actTagKeyword", "", "tag-keyword", ""},
    {"actTagHeader", "", "tag-header", ""},
    {"actTagMark", "", "tag-mark", ""},
    {"actTagAuthor", "", "tag-author", ""},
    {"actTagEnumeration", "", "tag-enumeration", ""},
    {"actTagComment", "", "tag-comment", ""},
    {"actTagExample", "", "tag-example", ""},
    {"actTagException", "", "tag-exception", ""},
    {"actServiceFontEdit", "", "font-edit", ""},
};

// The states an action's icon carries as QIcon::Off and QIcon::On.
struct TToggleStates {
  const char* Action;
  const char* Off;
  const char* On;
};
constexpr TToggleStates kToggles[] = {
    {"actEditLanguage", "off", "greek"},
    {"actViewOnTop", "off", "on"},
};

bool gPreferTheme = false;

// The colours beside the text colour, as the drawings have them.
constexpr char kBlue[] = "#3b80d4";
constexpr char kRed[] = "#de4b3f";

const TIconEntry* FindEntry(const QString& action, const QString& state) {
  for (const TIconEntry& entry : kIcons)
    if (action == QLatin1String(entry.Action) && state == QLatin1String(entry.State)) return &entry;
  return nullptr;
}

QString FileOf(const TIconEntry& entry) {
  return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(entry.File));
}

// The drawing as stored, read once.
QByteArray Drawing(const QString& file) {
  static const bool initialised = (InitIconResource(), true);
  (void)initialised;
  static QHash<QString, QByteArray> drawings;
  auto found = drawings.constFind(file);
  if (found != drawings.constEnd()) return *found;
  QFile source(file);
  QByteArray markup = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
  drawings.insert(file, markup);
  return markup;
}

// Draws the SVG files with their "currentColor" in the palette's text colour.
class TBundledIconEngine final : public QIconEngine {
public:
  TBundledIconEngine(QString offFile, QString onFile) : FOffFile(std::move(offFile)), FOnFile(std::move(onFile)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap image = pixmap(rect.size() * scale, mode, state);
    image.setDevicePixelRatio(scale);
    painter->drawPixmap(rect, image);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    if (size.isEmpty()) return QPixmap();
    const QString& file = state == QIcon::On ? FOnFile : FOffFile;
    const QPalette palette = QGuiApplication::palette();
    const QColor ink =
        palette.color(QPalette::Active, mode == QIcon::Selected ? QPalette::HighlightedText : QPalette::WindowText);
    const QString key = QStringLiteral("kodra-icon:%1:%2x%3:%4:%5")
                            .arg(file)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(int(mode))
                            .arg(ink.name(QColor::HexArgb));
    QPixmap result;
    if (QPixmapCache::find(key, &result)) return result;

    QByteArray markup = Drawing(file);
    markup.replace("currentColor", ink.name(QColor::HexRgb).toLatin1());
    // The colours are drawn as mid-tones; on a light window (dark text) they
    // go a shade darker, on a dark one a shade lighter, to stand out more.
    const bool darkInk = ink.lightnessF() < 0.5;
    markup.replace(kBlue, darkInk ? "#2a66b8" : "#5b9ae6");
    markup.replace(kRed, darkInk ? "#bb3228" : "#ee6a5f");
    QSvgRenderer renderer(markup);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (renderer.isValid()) {
      const int side = qMin(size.width(), size.height());
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      renderer.render(&painter, QRectF((size.width() - side) / 2, (size.height() - side) / 2, side, side));
    }
    result = QPixmap::fromImage(image);
    if (mode == QIcon::Disabled && qobject_cast<QApplication*>(QCoreApplication::instance())) {
      QStyleOption option;
      option.palette = palette;
      result = QApplication::style()->generatedIconPixmap(QIcon::Disabled, result, &option);
    }
    QPixmapCache::insert(key, result);
    return result;
  }

  QIconEngine* clone() const override { return new TBundledIconEngine(FOffFile, FOnFile); }
  QString key() const override { return QStringLiteral("KodraBundled"); }
  bool isNull() override { return Drawing(FOffFile).isEmpty() || Drawing(FOnFile).isEmpty(); }

private:
  QString FOffFile;
  QString FOnFile;
};

QIcon Bundled(const QString& offFile, const QString& onFile) {
  return QIcon(new TBundledIconEngine(offFile, onFile));
}

}  // namespace

QIcon ActionIcon(const QString& actionName) {
  for (const TToggleStates& toggle : kToggles)
    if (actionName == QLatin1String(toggle.Action))
      return Bundled(FileOf(*FindEntry(actionName, QLatin1String(toggle.Off))),
                     FileOf(*FindEntry(actionName, QLatin1String(toggle.On))));
  return ActionIcon(actionName, QString());
}

QIcon ActionIcon(const QString& actionName, const QString& state) {
  const TIconEntry* entry = FindEntry(actionName, state);
  if (!entry) return QIcon();
  const QString file = FileOf(*entry);
  if (gPreferTheme && *entry->Theme) {
    const QIcon themed = QIcon::fromTheme(QLatin1String(entry->Theme));
    if (!themed.isNull()) return themed;
  }
  return Bundled(file, file);
}

QStringList ActionIconNames() {
  QStringList names;
  for (const TIconEntry& entry : kIcons)
    if (!names.contains(QLatin1String(entry.Action))) names.append(QLatin1String(entry.Action));
  return names;
}

QStringList ActionIconStates(const QString& actionName) {
  QStringList states;
  for (const TIconEntry& entry : kIcons)
    if (actionName == QLatin1String(entry.Action)) states.append(QLatin1String(entry.State));
  return states;
}

void SetPreferThemeIcons(bool prefer) { gPreferTheme = prefer; }

bool PreferThemeIcons() { return gPreferTheme; }
