#include "uilib/fonts.h"

#include <QFontDatabase>
#include <QSet>

namespace kv::ui {
namespace {

// Makes Qt use the fallback wherever it would look up `family` and the system lacks it.
void RegisterSubstitution(const QString& family) {
  static QSet<QString> known;
  if (family.isEmpty() || known.contains(family)) return;
  known.insert(family);
  if (!QFontDatabase::hasFamily(family)) QFont::insertSubstitution(family, QString::fromLatin1(kFallbackFontFamily));
}

}  // namespace

QFont MakeFont(const QString& family, int pixelSize, bool bold, bool underline, bool italic, bool strikeout) {
  const QString fallback = QString::fromLatin1(kFallbackFontFamily);
  RegisterSubstitution(family);
  QFont font;
  QStringList families;
  if (!family.isEmpty() && family != fallback) families << family;
  families << fallback;
  font.setFamilies(families);
  font.setPixelSize(pixelSize > 0 ? pixelSize : kDefaultFontSize);
  font.setBold(bold);
  font.setUnderline(underline);
  font.setItalic(italic);
  font.setStrikeOut(strikeout);
  font.setStyleStrategy(QFont::PreferAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QFont DefaultFont() { return MakeFont(QString::fromLatin1(kFallbackFontFamily), kDefaultFontSize); }

}  // namespace kv::ui
