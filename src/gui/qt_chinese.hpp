#pragma once

class QTranslator;

namespace rcp::gui {

// Qt's own texts in Chinese: the file dialogs' buttons, views and messages, the edit fields'
// context menus, standard buttons. Installs Qt's zh_CN catalogue into the application and
// returns its translator (owned by the application), or null when the catalogue is missing.
QTranslator* installQtChinese();

// What Qt formats itself (sizes, file types, dates in the file dialogs) in Chinese too, whatever
// the environment's locale: Qt reads it from the environment once, so the environment is set for
// it. Call it before the application object exists. The C library keeps the user's locale where
// zh_CN is not installed.
void useChineseLocale();

}  // namespace rcp::gui
