#include "gui/qt_chinese.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
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

}  // namespace rcp::gui
