#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "history/history_event.hpp"
#include "safety/safe_write.hpp"
#include "settings/program_state.hpp"

// The window's face of the service history, "历史记录" (Alt+H, and the button in the port dialog's
// group "写频安全"): the events newest first with the command line's filters (number, model, date
// range, result); a radio's timeline (its number's events only); "打开" an event's configuration
// into the window as a data file opens; "比较" two events, or one and the window's configuration,
// field by field as the diff command prints it; "写回电台" an event through the window's safe
// write (the restore); "关闭". A history that cannot be opened is said in the dialog, which stays
// usable and empty.
namespace rcp::app {

// The most events one listing shows; the hint asks for a narrower filter beyond it.
inline constexpr std::size_t kHistoryRowsShown = 1000;

// A row of the events' table: 编号, 时间, 操作, 型号, 个人号, 结果, 设备, 用户.
std::string historyRow(const history::Event& event);

// `memory` is what the window's own transfers share (bindTransferCommands).
void bindHistoryForm(settings::ProgramState& state, std::shared_ptr<TransferMemory> memory);

}  // namespace rcp::app
