#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/system_roots.hpp"

// Why a serial device does not open, in words a technician can act on.
namespace rcp::link {

// A process that has the device open.
struct PortHolder {
  long pid = 0;
  std::string name;  // its command name (/proc/<pid>/comm), control characters as '?'

  bool operator==(const PortHolder&) const = default;
};

// Who holds the device now: the processes holding a lock on it (/proc/locks, which every user may
// read) when there are any, else every other process that has it open (/proc/<pid>/fd: all of
// them for root, only the user's own otherwise). This process is never named.
std::vector<PortHolder> portHolders(const std::string& device, const SystemRoots& roots = {});

// Whether this user may open the device for reading and writing, and the group that owns it.
struct PortAccess {
  bool exists = false;
  bool permitted = false;
  std::string group;          // the owning group's name, or its number when it has none
  bool groupMayOpen = false;  // the group has read and write permission
};
PortAccess portAccess(const std::string& device, const SystemRoots& roots = {});

enum class PortProblemKind {
  None,          // nothing found: the device opens now
  Missing,       // no such device (unplugged, a dangling by-id link, a mistyped name)
  NotSerial,     // a file or device that is no terminal
  Permission,    // this user may not open it
  Held,          // another program has it open
  ModemManager,  // ModemManager is probing it
  Busy,          // opened exclusively by a program this user cannot see
  Failed,        // any other error of the system
};

struct PortDiagnosis {
  PortProblemKind kind = PortProblemKind::None;
  std::string device;
  PortAccess access;                // Permission: the group
  std::vector<PortHolder> holders;  // Held, ModemManager
  std::string error;                // Failed: the system's words
  // Windows: the cable doctor's whole advice (ports/windows_ports.hpp), said instead of the
  // kind's own sentence.
  std::string advice;
  // Whatever the kind: a USB adaptor's high latency timer named (see latencyProblem).
  std::optional<std::string> latency;
};

// Looks for the reason in this order: the device is missing; this user may not open it; a
// process holds it (ModemManager named as such). Only when `mayOpen` allows, then: it is no
// character device; opening it once more without changing anything on the line finds it no
// terminal, held exclusively (by ModemManager when it runs) or the system's error. Device paths
// under /dev/ are looked up under the roots' dev folder. A high latency timer is noted in any case.
PortDiagnosis diagnosePort(const std::string& device, const SystemRoots& roots = {},
                           bool mayOpen = true);

// The reason as one line in Chinese, a high latency timer named after it, e.g.
// "没有打开/dev/ttyUSB0的权限：该设备属于dialout组。请运行 sudo adduser $USER
// dialout，然后重新登录。"
std::string problemText(const PortDiagnosis& diagnosis);

// The holders as "rcp520-cli（进程号 4711）、minicom（进程号 815）".
std::string holdersText(const std::vector<PortHolder>& holders);

}  // namespace rcp::link
