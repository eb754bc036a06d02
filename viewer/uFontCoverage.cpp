#include "viewer/uFontCoverage.h"

#include <QFontDatabase>
#include <QRawFont>

#include "options/uFirstRunFont.h"

bool CoversGreekExtended(const std::string& face) {
  const QString family = QString::fromStdString(face);
  if (!QFontDatabase::writingSystems(family).contains(QFontDatabase::Greek)) return false;
  const QRawFont raw = QRawFont::fromFont(QFont(family));
  if (!raw.isValid() || raw.familyName().compare(family, Qt::CaseInsensitive) != 0) return false;
  for (char16_t c = 0x1F00; c <= 0x1FFE; ++c)
    if (QChar::category(c) != QChar::Other_NotAssigned && !raw.supportsCharacter(QChar(c))) return false;
  return true;
}

std::string FirstRunFontFace(const std::string& wanted) {
  std::vector<std::string> installed;
  for (const QString& family : QFontDatabase::families()) installed.push_back(family.toStdString());
  const std::string systemDefault = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString();
  return ChooseFirstRunFont(installed, wanted, CoversGreekExtended, systemDefault);
}
