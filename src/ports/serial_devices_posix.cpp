#include "ports/serial_devices.hpp"

namespace rcp::link {

std::vector<SerialDevice> listSerialDevices(const SystemRoots& roots) {
  return listSysfsSerialDevices(roots);
}

}  // namespace rcp::link
