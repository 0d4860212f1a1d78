#include "gui/qt_chinese.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

namespace rcp::gui {

QTranslator* installQtChinese() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  // A program shipped with its own Qt (the Windows installer and zip) keeps Qt's translations in
  // a translations folder beside it; otherwise they are where the system's Qt keeps them.
  const QString folders[] = {
      QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
      QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
  for (const QString& folder : folders) {
    if (translator->load(QStringLiteral("qtbase_zh_CN"), folder) &&
        QCoreApplication::installTranslator(translator))
      return translator;
  }
  delete translator;
  return nullptr;
}

void useChineseLocale() {
  // The C library takes the user's locale now; when the application starts, it tries again with
  // the environment below and keeps this one where that locale is not installed.
  std::setlocale(LC_ALL, "");
  for (const char* name :
       {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LC_MESSAGES", "LC_MEASUREMENT", "LC_MONETARY", "LANG"})
    qputenv(name, "zh_CN.UTF-8");
  qputenv("LANGUAGE", "zh_CN");
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

}  // namespace rcp::gui
