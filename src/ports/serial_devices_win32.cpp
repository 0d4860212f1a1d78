#include "ports/serial_devices.hpp"
#include "ports/windows_ports.hpp"

namespace rcp::link {

std::vector<SerialDevice> listSerialDevices(const SystemRoots&) {
  return windowsSerialDevices(setupApiPorts()->ports());
}

}  // namespace rcp::link
