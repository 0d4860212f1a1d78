#include "cli/ports.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/terminal_services.hpp"
#include "link/clock.hpp"
#include "link/identification.hpp"
#include "link/low_latency.hpp"
#include "ports/port_doctor.hpp"
#include "link/port_opening.hpp"
#include "link/radio_identity.hpp"
#include "ports/serial_devices.hpp"
#include "link/serial_port.hpp"
#include "program/trace_setup.hpp"

namespace rcp::app {

namespace {

constexpr std::array<const char*, 4> kPortNames = {"COM1", "COM2", "COM3", "COM4"};
constexpr const char* kNone = "-";

// One device as the table shows it.
struct Row {
  const link::SerialDevice* device = nullptr;
  link::PortDiagnosis diagnosis;  // looked at without opening the device
  bool usable = false;
  std::string answer;  // --probe: the model that answered, or why none did
};

// The columns a text takes on a terminal: East Asian wide characters take two.
std::size_t columns(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                      (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                      (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                      (code >= 0xFFE0 && code <= 0xFFE6);
    width += wide ? 2 : 1;
    i += length;
  }
  return width;
}

std::string orNone(const std::string& text) {
  return text.empty() ? kNone : printableText(text);
}

std::string accessText(const link::PortAccess& access) {
  if (!access.exists) return "不存在";
  if (!access.permitted) return "无权限（" + access.group + " 组）";
  return "可以";
}

// The port names of Com.ini that stand for the device, "COM2".
std::string portNamesOf(const link::SerialDevice& device,
                        const std::vector<link::SerialDevice>& devices,
                        const link::SystemRoots& roots, const std::filesystem::path& comIni) {
  std::string names;
  for (const char* name : kPortNames) {
    if (link::findSerialDevice(devices, link::portDevice(comIni, name), roots) != &device) continue;
    names += names.empty() ? name : std::string(" ") + name;
  }
  return names;
}

std::string probe(link::Port& port, link::Clock& clock, const std::string& device) {
  link::RadioIdentity identity{};
  const link::PortOpening opening = link::openPort(port, clock, device, identity);
  port.close();
  switch (opening) {
    case link::PortOpening::PortBusy:
      return std::string(link::kPortBusyMessage);
    case link::PortOpening::NoRadio:
      return "无应答";
    case link::PortOpening::RadioAnswered:
      break;
  }
  const auto identification = link::identify(identity, link::IdentifyPurpose::StartUp);
  return std::string(identification.model->model) + "（" +
         printableText(link::identityText(identity)) + "）";
}

void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& table) {
  std::vector<std::size_t> widths;
  for (const auto& row : table) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], columns(row[c]));
  }
  for (const auto& row : table) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - columns(row[c]) + 2, ' ');
    }
    out << line << '\n';
  }
}

std::string latencyText(std::optional<int> timer) {
  return timer ? std::to_string(*timer) + " ms" : std::string(kNone);
}

}  // namespace

std::optional<PortsOptions> portsOptions(std::span<const std::string_view> args) {
  PortsOptions options;
  for (const std::string_view arg : args) {
    if (arg != "--probe") return std::nullopt;
    options.probe = true;
  }
  return options;
}

int cliPorts(const PortsOptions& options, const CliStreams& io, const link::SystemRoots& roots,
             const std::filesystem::path& comIni) {
  link::SerialPort serial;
  link::RealClock realClock;
  TracedLink traced(serial, realClock, options.probe ? io.trace : std::string());
  if (traced.failed()) {
    TerminalLines(io.err, false).line(traced.failureMessage());
    return kExitUsageFileOrPort;
  }

  const std::vector<link::SerialDevice> devices = link::listSerialDevices(roots);
  if (devices.empty()) {
    io.out << "未找到串口设备。\n";
    return kExitNoRadioOrFailed;
  }
  std::vector<Row> rows;
  for (const link::SerialDevice& device : devices) {
    Row row;
    row.device = &device;
    row.diagnosis = link::diagnosePort(device.path, roots, false);
    row.usable = row.diagnosis.kind == link::PortProblemKind::None;
    if (options.probe)
      row.answer = row.usable ? probe(traced.port(), traced.clock(), device.path) : "未探测";
    rows.push_back(std::move(row));
  }

  std::vector<std::vector<std::string>> table;
  std::vector<std::string> header = {"设备", "产品",   "厂商",   "USB ID",   "驱动",
                                     "延迟", "序列号", "通讯口", "可否打开", "占用者"};
  if (options.probe) header.push_back("应答");
  header.push_back("固定名称");
  table.push_back(header);
  for (const Row& row : rows) {
    const link::SerialDevice& d = *row.device;
    std::vector<std::string> cells = {
        d.name,
        orNone(d.product),
        orNone(d.manufacturer),
        d.vendorId.empty() ? kNone : printableText(d.vendorId + ":" + d.productId),
        orNone(d.driver),
        latencyText(link::latencyTimer(d.name, roots)),
        orNone(d.serial),
        orNone(portNamesOf(d, devices, roots, comIni)),
        accessText(row.diagnosis.access),
        row.diagnosis.holders.empty() ? kNone
                                      : printableText(link::holdersText(row.diagnosis.holders))};
    if (options.probe) cells.push_back(row.answer);
    cells.push_back(orNone(d.byId));
    table.push_back(std::move(cells));
  }
  printTable(io.out, table);

  bool anyUsable = false;
  for (const Row& row : rows) {
    anyUsable = anyUsable || row.usable;
    // The doctor's reason names a high latency timer too; a usable device gets that alone.
    if (!row.usable) {
      io.out << printableText(link::problemText(row.diagnosis)) << '\n';
    } else if (row.diagnosis.latency) {
      io.out << printableText(*row.diagnosis.latency) << '\n';
    }
  }
  io.out << std::flush;
  return anyUsable ? kExitDone : kExitNoRadioOrFailed;
}

}  // namespace rcp::app
