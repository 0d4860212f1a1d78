#include <windows.h>

#include "link/windows_text.hpp"
#include "ports/port_doctor.hpp"
#include "ports/windows_ports.hpp"

// Windows does not say which program holds a port; what it does say, the adaptors SetupAPI
// describes and their problem codes, the Windows doctor turns into advice.
namespace rcp::link {

namespace {

// Opens the port once without changing the line; the error when it does not open (0: it did).
DWORD openError(const std::string& device) {
  const HANDLE handle = CreateFileW(deviceFileOf(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(handle);
  return 0;
}

bool missing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_UNIT;
}

}  // namespace

std::vector<PortHolder> portHolders(const std::string&, const SystemRoots&) {
  return {};
}

PortAccess portAccess(const std::string& device, const SystemRoots&) {
  const DWORD error = openError(device);
  PortAccess access;
  access.exists = !missing(error);
  access.permitted = access.exists;
  return access;
}

PortDiagnosis diagnosePort(const std::string& device, const SystemRoots&, bool mayOpen) {
  PortDiagnosis diagnosis;
  diagnosis.device = device;
  if (!mayOpen) return diagnosis;
  const DWORD error = openError(device);
  diagnosis.access.exists = !missing(error);
  diagnosis.access.permitted = diagnosis.access.exists;
  if (error == 0) return diagnosis;
  if (missing(error)) {
    diagnosis.kind = PortProblemKind::Missing;
  } else if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
    // A COM port opens once at a time: refused access is another program holding it.
    diagnosis.kind = PortProblemKind::Busy;
  } else {
    diagnosis.kind = PortProblemKind::Failed;
    diagnosis.error = windowsErrorText(error);
  }
  const WindowsOpenError opened{error == ERROR_SHARING_VIOLATION ? kWindowsAccessDenied : error,
                                windowsErrorText(error)};
  diagnosis.advice =
      windowsProblemText(diagnoseWindowsPort(device, setupApiPorts()->ports(), opened));
  return diagnosis;
}

}  // namespace rcp::link
