#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "link/low_latency.hpp"
#include "ports/port_doctor.hpp"

namespace rcp::link {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kModemManager = "ModemManager";

// A process id from a /proc entry's name; 0 when the name is no number.
long pidOf(const std::string& name) {
  if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return std::stol(name);
}

std::string commandName(const fs::path& proc, long pid) {
  std::ifstream in(proc / std::to_string(pid) / "comm");
  std::string name;
  std::getline(in, name);
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return name.empty() ? "?" : name;
}

std::vector<long> processes(const fs::path& proc) {
  std::vector<long> pids;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(proc, ec))
    if (const long pid = pidOf(entry.path().filename().string()); pid > 0) pids.push_back(pid);
  std::sort(pids.begin(), pids.end());
  return pids;
}

// The names a process's descriptor link may show for the device: as given, the file it leads
// to, and that file under /dev/ when it lies in the roots' dev folder.
std::set<std::string> namesOf(const std::string& device, const SystemRoots& roots) {
  std::set<std::string> names{device};
  std::error_code ec;
  const fs::path file = fs::canonical(roots.file(device), ec);
  if (ec) return names;
  names.insert(file.string());
  const fs::path dev = fs::canonical(roots.dev, ec);
  if (!ec) {
    const fs::path inside = file.lexically_relative(dev);
    if (!inside.empty() && *inside.begin() != "..") names.insert("/dev/" + inside.string());
  }
  return names;
}

// Processes holding a lock on the file (/proc/locks: "1: FLOCK  ADVISORY  WRITE 4711 00:19:5 0
// EOF", the file as hexadecimal major:minor of its file system and its inode); waiters ("->")
// hold nothing.
std::vector<long> lockHolders(const fs::path& file, const SystemRoots& roots) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return {};
  std::ifstream in(roots.proc / "locks");
  std::vector<long> pids;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string number, type, mode, access, pid, id;
    fields >> number >> type;
    if (type == "->") continue;
    fields >> mode >> access >> pid >> id;
    unsigned int fsMajor = 0;
    unsigned int fsMinor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(id.c_str(), "%x:%x:%llu", &fsMajor, &fsMinor, &inode) != 3) continue;
    if (fsMajor != major(info.st_dev) || fsMinor != minor(info.st_dev) || inode != info.st_ino)
      continue;
    if (const long holder = pidOf(pid); holder > 0) pids.push_back(holder);
  }
  return pids;
}

// Processes with a descriptor open on the device.
std::vector<long> openers(const std::string& device, const SystemRoots& roots) {
  const std::set<std::string> names = namesOf(device, roots);
  struct stat target {};
  const bool isDevice = stat(roots.file(device).c_str(), &target) == 0 && S_ISCHR(target.st_mode);
  std::vector<long> pids;
  for (const long pid : processes(roots.proc)) {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator(roots.proc / std::to_string(pid) / "fd", ec)) {
      std::error_code linkError;
      const std::string link = fs::read_symlink(fd.path(), linkError).string();
      if (linkError) continue;
      struct stat opened {};
      const bool same =
          names.contains(link) || (isDevice && stat(fd.path().c_str(), &opened) == 0 &&
                                   S_ISCHR(opened.st_mode) && opened.st_rdev == target.st_rdev);
      if (same) {
        pids.push_back(pid);
        break;
      }
    }
  }
  return pids;
}

std::vector<PortHolder> named(const std::vector<long>& pids, const SystemRoots& roots) {
  std::vector<PortHolder> holders;
  const long self = static_cast<long>(getpid());
  for (const long pid : pids) {
    if (pid == self) continue;
    if (std::any_of(holders.begin(), holders.end(), [&](const auto& h) { return h.pid == pid; }))
      continue;
    holders.push_back({pid, commandName(roots.proc, pid)});
  }
  return holders;
}

std::vector<PortHolder> modemManagers(const SystemRoots& roots) {
  std::vector<PortHolder> found;
  for (const long pid : processes(roots.proc))
    if (commandName(roots.proc, pid) == kModemManager)
      found.push_back({pid, std::string(kModemManager)});
  return found;
}

std::string groupName(gid_t gid) {
  std::vector<char> buffer(16384);
  group entry{};
  group* result = nullptr;
  if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &result) == 0 && result)
    return result->gr_name;
  return std::to_string(gid);
}

PortDiagnosis withHolders(PortDiagnosis diagnosis, std::vector<PortHolder> holders) {
  const bool modemManager = std::any_of(holders.begin(), holders.end(),
                                        [](const auto& h) { return h.name == kModemManager; });
  diagnosis.kind = modemManager ? PortProblemKind::ModemManager : PortProblemKind::Held;
  if (modemManager)
    std::erase_if(holders, [](const PortHolder& h) { return h.name != kModemManager; });
  diagnosis.holders = std::move(holders);
  return diagnosis;
}

// Opens the device once more, as the port does but without touching the line's settings, to
// learn what the system says.
PortDiagnosis probe(PortDiagnosis diagnosis, const fs::path& file, const SystemRoots& roots) {
  const int fd = ::open(file.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    switch (error) {
      case ENOENT:
      case ENXIO:
      case ENODEV:
        diagnosis.kind = PortProblemKind::Missing;
        return diagnosis;
      case EACCES:
      case EPERM:
        diagnosis.kind = PortProblemKind::Permission;
        return diagnosis;
      case EBUSY:
        if (auto managers = modemManagers(roots); !managers.empty())
          return withHolders(diagnosis, std::move(managers));
        diagnosis.kind = PortProblemKind::Busy;
        return diagnosis;
      default:
        diagnosis.kind = PortProblemKind::Failed;
        diagnosis.error = std::strerror(error);
        return diagnosis;
    }
  }
  if (!isatty(fd)) {
    diagnosis.kind = PortProblemKind::NotSerial;
  } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    diagnosis.kind = PortProblemKind::Busy;
  }
  ::close(fd);
  return diagnosis;
}

// A character device that opens and is no terminal. One that does not open here (held
// exclusively, say) is left to the closer look.
bool notATerminal(const fs::path& file) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  const int fd = ::open(file.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool terminal = isatty(fd) == 1;
  ::close(fd);
  return !terminal;
}

}  // namespace

std::vector<PortHolder> portHolders(const std::string& device, const SystemRoots& roots) {
  auto holders = named(lockHolders(roots.file(device), roots), roots);
  if (!holders.empty()) return holders;
  return named(openers(device, roots), roots);
}

PortAccess portAccess(const std::string& device, const SystemRoots& roots) {
  PortAccess access;
  const fs::path file = roots.file(device);
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return access;
  access.exists = true;
  access.permitted = ::access(file.c_str(), R_OK | W_OK) == 0;
  access.group = groupName(info.st_gid);
  access.groupMayOpen = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  return access;
}

PortDiagnosis diagnosePort(const std::string& device, const SystemRoots& roots, bool mayOpen) {
  PortDiagnosis diagnosis;
  diagnosis.device = device;
  diagnosis.latency = latencyProblem(device, roots);
  diagnosis.access = portAccess(device, roots);
  if (!diagnosis.access.exists) {
    diagnosis.kind = PortProblemKind::Missing;
    return diagnosis;
  }
  if (!diagnosis.access.permitted) {
    diagnosis.kind = PortProblemKind::Permission;
    return diagnosis;
  }
  // A file that is no terminal (/dev/null, which every process holds) is no serial port,
  // whoever has it open.
  const fs::path file = roots.file(device);
  if (mayOpen && notATerminal(file)) {
    diagnosis.kind = PortProblemKind::NotSerial;
    return diagnosis;
  }
  if (auto holders = portHolders(device, roots); !holders.empty())
    return withHolders(diagnosis, std::move(holders));
  if (!mayOpen) return diagnosis;
  struct stat info {};
  if (stat(file.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
    diagnosis.kind = PortProblemKind::NotSerial;
    return diagnosis;
  }
  return probe(diagnosis, file, roots);
}

}  // namespace rcp::link
