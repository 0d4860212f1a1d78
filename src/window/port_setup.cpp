#include "window/port_setup.hpp"

#include <array>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/com_ini.hpp"
#include "link/path_text.hpp"
#include "link/port_opening.hpp"
#include "ports/port_doctor.hpp"
#include "ports/serial_devices.hpp"
#include "program/data_file_opening.hpp"
#include "program/opening_port.hpp"
#include "safety/backups.hpp"
#include "settings/radio_session.hpp"
#include "window/file_commands.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

constexpr std::array<const char*, 4> kPortNames = {"COM1", "COM2", "COM3", "COM4"};
constexpr std::array<const char*, 4> kPortButtons = {"Com1", "Com2", "Com3", "Com4"};
constexpr std::array<const char*, 4> kDeviceBoxes = {"ComDevice1", "ComDevice2", "ComDevice3",
                                                     "ComDevice4"};
// After a device that is named but not there.
constexpr std::string_view kMissingMark = "（不存在）";

// What the device boxes show: the devices listed, and for each port name the text its box was
// given and the device that text stands for.
struct DeviceChoice {
  std::vector<link::SerialDevice> devices;
  std::array<std::string, 4> shownText;
  std::array<std::string, 4> shownDevice;
};

// A listed device by its label, another device file by its path, a device that is not there (a
// link left behind included) by its path and the missing mark.
std::string deviceText(const ProgramState& state, const DeviceChoice& choice,
                       const std::string& device) {
  if (const auto* listed = link::findSerialDevice(choice.devices, device, state.system))
    return listed->label();
  std::error_code ec;
  if (std::filesystem::exists(state.system.file(device), ec)) return device;
  return device + std::string(kMissingMark);
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The device a box stands for now: as shown, a listed device chosen by its label, or a typed
// path. An emptied box keeps the device it showed.
std::string chosenDevice(const ui::Form& dialog, const DeviceChoice& choice, std::size_t i) {
  const std::string text = trimmed(dialog.text(kDeviceBoxes[i]));
  if (text.empty() || text == choice.shownText[i]) return choice.shownDevice[i];
  for (const link::SerialDevice& device : choice.devices)
    if (text == device.label()) return device.storedPath();
  if (text.ends_with(kMissingMark))
    return trimmed(text.substr(0, text.size() - kMissingMark.size()));
  return text;
}

void showDevices(ProgramState& state, DeviceChoice& choice,
                 const std::array<std::string, 4>& devices) {
  ui::Form& dialog = *state.comSet;
  choice.devices = link::listSerialDevices(state.system);
  std::vector<std::string> labels;
  for (const link::SerialDevice& device : choice.devices) labels.push_back(device.label());
  for (std::size_t i = 0; i < kDeviceBoxes.size(); ++i) {
    choice.shownDevice[i] = devices[i];
    choice.shownText[i] = deviceText(state, choice, devices[i]);
    dialog.setItems(kDeviceBoxes[i], labels);
    dialog.setText(kDeviceBoxes[i], choice.shownText[i]);
  }
}

void ComSetFormShow(ProgramState& state, DeviceChoice& choice) {
  const std::string name = link::normalisePortName(state.portName);
  for (std::size_t i = 0; i < kPortNames.size(); ++i)
    if (name == kPortNames[i]) state.comSet->setChecked(kPortButtons[i], true);
  std::array<std::string, 4> devices;
  for (std::size_t i = 0; i < kPortNames.size(); ++i)
    devices[i] = link::portDevice(state.comIni, kPortNames[i]);
  showDevices(state, choice, devices);
  const link::WriteSafety safety = link::readWriteSafety(state.comIni);
  state.comSet->setChecked("BackupBeforeWrite", safety.backupBeforeWrite);
  state.comSet->setChecked("VerifyAfterWrite", safety.verifyAfterWrite);
}

// "刷新": the list read again; each box keeps the device it stands for, shown anew.
void ComRefreshClick(ProgramState& state, DeviceChoice& choice) {
  std::array<std::string, 4> devices;
  for (std::size_t i = 0; i < kDeviceBoxes.size(); ++i)
    devices[i] = chosenDevice(*state.comSet, choice, i);
  showDevices(state, choice, devices);
}

void ComSet_OKClick(ProgramState& state, const DeviceChoice& choice) {
  ui::Form& dialog = *state.comSet;
  state.portName = kPortNames.back();
  for (std::size_t i = 0; i + 1 < kPortNames.size(); ++i) {
    if (dialog.checked(kPortButtons[i])) {
      state.portName = kPortNames[i];
      break;
    }
  }
  // An unwritable file ends the confirmation here; the new name stays in use.
  if (auto error = link::writePortName(state.comIni, state.portName))
    throw std::runtime_error(error->message());
  const link::WriteSafety safety{dialog.checked("BackupBeforeWrite"),
                                 dialog.checked("VerifyAfterWrite")};
  if (auto error = link::writeWriteSafety(state.comIni, safety))
    throw std::runtime_error(error->message());
  // A device is written only where it changed, in place like the port name.
  for (std::size_t i = 0; i < kPortNames.size(); ++i) {
    const std::string device = chosenDevice(dialog, choice, i);
    if (device == link::portDevice(state.comIni, kPortNames[i])) continue;
    if (auto error = link::writePortDevice(state.comIni, kPortNames[i], device))
      throw std::runtime_error(error->message());
  }
  if (state.port.isOpen()) state.port.close();
  openPortAndGreet(state);
  dialog.close();
}

// "备份文件夹…": the open dialog in the backups folder; a chosen backup is opened as "打开文件"
// opens a file, over the main window, so the port dialog closes first storing nothing.
void BackupFolderClick(ProgramState& state) {
  const std::filesystem::path folder =
      state.backups.empty() ? defaultBackupsFolder() : state.backups;
  // A folder that cannot be made leaves the dialog to start where it can.
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  ui::FileDialogRequest request = dataFileRequest("");
  request.initialFolder = link::textOf(folder);
  const auto chosen = state.dialogs.openFile(request);
  if (!chosen) return;
  state.comSet->close();
  openChosenDataFile(state, link::pathOf(*chosen));
}

}  // namespace

void bindComSetForm(ProgramState& state) {
  ui::Form& dialog = *state.comSet;
  auto choice = std::make_shared<DeviceChoice>();
  dialog.onShown([&state, choice] { ComSetFormShow(state, *choice); });
  dialog.on("ComRefresh", ui::Event::Click,
            [&state, choice](ui::Control&) { ComRefreshClick(state, *choice); });
  dialog.on("ComSet_OK", ui::Event::Click,
            [&state, choice](ui::Control&) { ComSet_OKClick(state, *choice); });
  dialog.on("ComSet_CANCLE", ui::Event::Click, [&dialog](ui::Control&) { dialog.close(); });
  dialog.on("BackupFolder", ui::Event::Click, [&state](ui::Control&) { BackupFolderClick(state); });
  // "批量写频…": the fleet dialog over this one, which stays as it was.
  dialog.on("FleetOpen", ui::Event::Click,
            [&state](ui::Control&) { state.dialogs.showModal(*state.fleet); });
  // "历史记录": the history dialog over this one; opening an event closes both.
  dialog.on("HistoryShow", ui::Event::Click,
            [&state](ui::Control&) { state.dialogs.showModal(*state.historyDialog); });
}

}  // namespace rcp::app
