#include "safety/history_record.hpp"

#include "history/history_database.hpp"
#include "link/identification.hpp"
#include "ports/serial_devices.hpp"
#include "link/user_folders.hpp"
#include "safety/backup_read.hpp"
#include "settings/data_file.hpp"
#include "settings/record.hpp"
#include "version.hpp"

namespace rcp::app {

namespace {

// The device as its stable by-id name where it has one (the same adaptor keeps it across plugs).
std::string stableDevice(const settings::ProgramState& state) {
  const std::string device = state.device.empty() ? state.portDevice() : state.device;
  const auto devices = link::listSerialDevices(state.system);
  if (const auto* listed = link::findSerialDevice(devices, device, state.system))
    return listed->storedPath();
  return device;
}

}  // namespace

history::Event historyEvent(const settings::ProgramState& state, history::Operation operation,
                            history::Result result, std::time_t now) {
  history::Event event;
  event.unixTime = static_cast<std::int64_t>(now);
  event.time = history::localTimeText(event.unixTime);
  event.user = link::loginName();
  event.device = stableDevice(state);
  event.identity = link::identityText(state.radioIdentity);
  event.model = std::string(link::matchModel(state.radioIdentity).model);
  event.operation = operation;
  event.result = result;
  event.version = kVersion;
  event.fleetRun = state.fleetRun;
  return event;
}

std::string recordText(settings::ProgramState& state) {
  link::IniDocument document;
  settings::saveRecord(state, document);
  return document.fileBytes();
}

std::vector<std::uint8_t> imageBytes(const image::MemoryImage& memory) {
  return {memory.data().begin(), memory.data().end()};
}

void takeReading(history::Event& event, settings::ProgramState& read,
                 const image::RadioReading& reading, const image::MenuBits& menuBits) {
  link::IniDocument document;
  settings::saveRecord(read, document);
  addBackupRead(document, reading, menuBits);
  event.dataFile = document.fileBytes();
  event.image = imageBytes(image::readBack(reading).memory);
  event.numberBefore = event.numberAfter = settings::Record(read).text("Indivol");
}

std::string notRecordedText(const std::string& why, const std::string& kept) {
  return "历史记录未写入：" + why + (kept.empty() ? "" : "数据已保存在备份文件 " + kept + "。");
}

namespace {

void warn(ui::Dialogs& dialogs, const std::string& text) {
  dialogs.message({text, "历史记录", ui::MessageIcon::Warning});
}

// A damaged file moved aside as the history was opened is told.
void tellMovedAside(const history::HistoryDatabase& database, ui::Dialogs& dialogs) {
  if (database.movedAside())
    warn(dialogs,
         "历史记录文件已损坏，已移到 " + database.movedAside()->string() + "，并新建了历史记录。");
}

}  // namespace

std::optional<std::int64_t> recordEvent(settings::ProgramState& state, history::Event event,
                                        const std::string& kept) {
  return recordEvent(state.history, state.dialogs, std::move(event), kept);
}

std::optional<std::int64_t> recordEvent(const std::filesystem::path& history, ui::Dialogs& dialogs,
                                        history::Event event, const std::string& kept) {
  if (history.empty()) return std::nullopt;
  try {
    history::HistoryDatabase database(history);
    tellMovedAside(database, dialogs);
    database.record(event);
    return event.id;
  } catch (const std::exception& e) {
    warn(dialogs, notRecordedText(e.what(), kept));
    return std::nullopt;
  }
}

std::int64_t recordFleetRun(const std::filesystem::path& history, ui::Dialogs& dialogs,
                            history::FleetRun run) {
  if (history.empty()) return 0;
  try {
    history::HistoryDatabase database(history);
    tellMovedAside(database, dialogs);
    database.recordRun(run);
    return run.id;
  } catch (const std::exception& e) {
    warn(dialogs, notRecordedText(e.what(), {}));
    return 0;
  }
}

}  // namespace rcp::app
