#include "viewer/uToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "foundation/KezLocale.h"

namespace {
// The standard buttons as the toolkit names them, and the keys of their
// names in the interface-language file.
struct TToolkitText {
  const char* Context;
  const char* Source;
  const char* Key;
};
constexpr TToolkitText kStandardButtons[] = {
    {"QPlatformTheme", "OK", "ButtonOk"},         {"QPlatformTheme", "Cancel", "ButtonCancel"},
    {"QPlatformTheme", "&Yes", "ButtonYes"},      {"QPlatformTheme", "&No", "ButtonNo"},
    {"QPlatformTheme", "Help", "ButtonHelp"},     {"QPlatformTheme", "Close", "ButtonClose"},
    {"QPlatformTheme", "Save", "ButtonSave"},     {"QPlatformTheme", "Open", "ButtonOpen"},
    {"QFileDialog", "&Open", "ButtonFileOpen"},   {"QFileDialog", "&Save", "ButtonFileSave"},
};

// The standard buttons' names from the interface language; nothing else.
class TStandardButtonsTranslator : public QTranslator {
public:
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (!context || !source) return {};
    for (const TToolkitText& text : kStandardButtons)
      if (qstrcmp(context, text.Context) == 0 && qstrcmp(source, text.Source) == 0) {
        std::string value;
        return Locale().Find(text.Key, value) ? QString::fromStdString(value) : QString();
      }
    return {};
  }
};

std::unique_ptr<QTranslator> GToolkit;
std::unique_ptr<QTranslator> GButtons;

void Remove(std::unique_ptr<QTranslator>& translator) {
  if (!translator) return;
  QCoreApplication::removeTranslator(translator.get());
  translator.reset();
}
}  // namespace

QString ToolkitLanguageCode(const QString& language) {
  if (language.isEmpty()) return {};
  for (int i = QLocale::AnyLanguage + 1; i <= QLocale::LastLanguage; ++i) {
    const auto known = QLocale::Language(i);
    if (QLocale::languageToString(known).compare(language, Qt::CaseInsensitive) != 0) continue;
    return known == QLocale::English ? QString() : QLocale::languageToCode(known);
  }
  return {};
}

bool ApplyToolkitTranslation(const QString& language, const QString& folder) {
  Remove(GToolkit);
  Remove(GButtons);
  const QString code = ToolkitLanguageCode(language);
  if (code.isEmpty() || !QCoreApplication::instance()) return false;
  // The buttons' own names first: the toolkit's translation, installed
  // after them, is asked before them.
  GButtons = std::make_unique<TStandardButtonsTranslator>();
  QCoreApplication::installTranslator(GButtons.get());
  auto toolkit = std::make_unique<QTranslator>();
  const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  if (!toolkit->load("qtbase_" + code, from)) return false;
  GToolkit = std::move(toolkit);
  QCoreApplication::installTranslator(GToolkit.get());
  return true;
}
