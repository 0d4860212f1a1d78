#include "gui/qt_chinese.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

namespace rcp::gui {

QTranslator* installQtChinese() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
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
