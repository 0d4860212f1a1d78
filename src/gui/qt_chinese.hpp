#pragma once

class QTranslator;

namespace rcp::gui {

// Qt's own texts in Chinese: the file dialogs' buttons, views and messages, the edit fields'
// context menus, standard buttons. Installs Qt's zh_CN catalogue into the application and
// returns its translator (owned by the application), or null when the catalogue is missing.
QTranslator* installQtChinese();

}  // namespace rcp::gui
