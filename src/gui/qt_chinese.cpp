#include "gui/qt_chinese.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
  for (const char* name :
       {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LC_MESSAGES", "LC_MEASUREMENT", "LC_MONETARY", "LANG"})
    qputenv(name, "zh_CN.UTF-8");
  qputenv("LANGUAGE", "zh_CN");
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  // Qt reads the environment again on this notice.
  QEvent changed(QEvent::LocaleChange);
  QCoreApplication::sendEvent(QCoreApplication::instance(), &changed);
}

}  // namespace rcp::gui
