#pragma once
// The toolkit's own texts (the standard buttons of message boxes and
// dialogs, the file dialogs) follow the interface language: the toolkit's
// translation of that language is loaded where it is installed, and the
// standard buttons are named from the interface-language file where it is
// not.
#include <QString>

// The toolkit's code of an interface language ("Russian" → "ru"); empty for
// English, which the toolkit speaks itself, and for a name it does not know.
QString ToolkitLanguageCode(const QString& language);

// Puts the toolkit's texts into the language (an interface language's name)
// and takes away those of the language before: qtbase_<code> from the folder
// (the toolkit's own translations when none is given). True when that
// translation was found; false for English and when it is missing, where
// only the standard buttons follow the language.
bool ApplyToolkitTranslation(const QString& language, const QString& folder = {});
