#pragma once

#include <string>

#include "settings/program_state.hpp"

namespace rcp::app {

// The port dialog: shows the port in use and, beside each port name, the device it stands for
// (a serial device of the list, shown by product and short name, or a path; "（不存在）" after one
// that is not there); "刷新" reads the list again. Confirmation stores the port name and every
// device that changed (a listed device by its stable by-id name) in Com.ini, reopens the port and
// greets the radio again. The group "写频安全" shows and stores the write's two options
// ("写前备份", "写后校验") in the same file; "备份文件夹…" opens a backup from the backups folder;
// "批量写频…" opens the fleet dialog over it, "历史记录" the history dialog.
void bindComSetForm(settings::ProgramState& state);

}  // namespace rcp::app
