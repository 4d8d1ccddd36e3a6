#include "platform/app/qt_japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace milka::platform {

bool speakJapanese(QTranslator& translator) {
  const QString where = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                       QStringLiteral("_"), where))
    return false;
  return QCoreApplication::installTranslator(&translator);
}

}  // namespace milka::platform
