#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "link/ini_document.hpp"
#include "program/offline_program.hpp"
#include "settings/data_file.hpp"

// Checking a configuration without a window: every field's own leaving rule runs as a user
// tabbing through the whole record would meet it, and what the rules would have shown is
// collected instead. The rules may change fields as they run (a warning often comes with a
// reset), so the check runs on an offline program of its own, never on the user's window.
namespace rcp::app {

struct CheckWarning {
  std::string field;    // the settings field the rule put the focus back on
  std::string path;     // where the window shows it: tab › group › caption
  std::string value;    // what its box held when it was left
  std::string caption;  // the title of the box that showed the warning ("系统信息", "警告")
  std::string text;     // the message as the box showed it (the range warning: "最小值为 1")

  friend bool operator==(const CheckWarning&, const CheckWarning&) = default;
};

// Leaves every field of the program's record in turn: first the fields a rule of an earlier
// field would set (the MPT1343 fleet limits, which leaving the own number resets), then the main
// window's tab pages in order and
// the boxes of each page in the order the Tab key visits them, then the fields of the
// off-network frequencies, other-groups and system-labels dialogs, each dialog shown as its
// button shows it and cancelled afterwards. A box the user cannot reach (disabled, hidden, on a
// tab that is not offered) is not left. A warning repeated for the same field and text is given
// once. What the program showed before is dropped from `offline.dialogs`. The fields stay as
// the rules left them: a record to be written is built afresh, not taken from here.
std::vector<CheckWarning> checkRecord(OfflineProgram& offline);

// The write's own check of the record (write_round_trip.hpp) as warnings: a field the write
// cannot encode, and each value the radio would give back as another, in the box the write shows
// ("读写数据"). The radio's changes on purpose go to `notes` when it is given.
std::vector<CheckWarning> writeRoundTripWarnings(settings::ProgramState& state,
                                                 std::vector<CheckWarning>* notes = nullptr);

// A CPSX fleet plan whose blocks are out of order (0 <= large <= medium <= small <= 10 fails),
// which the window's level box would not offer and a read puts in order.
std::optional<CheckWarning> fleetPlanOrderWarning(settings::ProgramState& state);

struct DataFileCheck {
  std::optional<settings::DataFileError> openError;  // the file did not open; nothing was checked
  std::vector<CheckWarning> warnings;
  std::vector<CheckWarning> notes;  // what the radio changes on purpose: told, not warned of
};

// Opens the file into a fresh offline program as "打开文件" opens it, then checks the record:
// the write's own check first, on the record as opened, then every field left in turn. What
// the open itself warned of is met again when the fields are left, and counted then.
DataFileCheck checkDataFile(const std::filesystem::path& file);
// The same for a record that is no file (a fleet member's, made from the template and its row).
DataFileCheck checkDocument(const link::IniDocument& document);

}  // namespace rcp::app
