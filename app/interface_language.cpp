#include "app/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orvelle {

void ApplyInterfaceLanguage(QCoreApplication &app) {
  auto *translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

} // namespace orvelle
