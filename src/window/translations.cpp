#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zk {

bool LoadQtTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  // "qtbase" holds the standard buttons; "qt" is the older bundle of every module.
  for (const char* name : {"qtbase", "qt"}) {
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), name, "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      return QCoreApplication::installTranslator(translator);
    }
  }
  delete translator;
  return false;
}

}  // namespace zk
