// The command line says why a port does not open: a port held by a second rcp520-cli names that
// process, a device this user may not open names its group. And `ports --probe` greets a device.

#include "ports/port_doctor.hpp"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "cli/ports.hpp"
#include "processes.hpp"
#include "support/fake_system.hpp"
#include "support/temp_dir.hpp"

namespace rcp::e2e {
namespace {

using Millis = std::chrono::milliseconds;
constexpr uid_t kNobody = 65534;

// Waits until the process holds the device (its lock shows in /proc/locks).
bool heldBy(const std::string& device, pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    for (const auto& holder : link::portHolders(device))
      if (holder.pid == pid) return true;
    std::this_thread::sleep_for(Millis(5));
  }
  return false;
}

TEST(PortDoctor, APortHeldByASecondCommandLineToolNamesThatProcess) {
  test::TempDir dir;
  RadioProcess radio({"--model", "HX77"});
  Finished busy{-1, {}, {}};
  pid_t reader = -1;
  // The first tool reads the radio (about 2.4 s); meanwhile the second asks for it.
  const Finished read = run(
      RCP520_CLI, {"read", "--port", radio.device(), (dir / "read.ini").string()}, [&](pid_t pid) {
        reader = pid;
        if (heldBy(radio.device(), pid)) busy = run(RCP520_CLI, {"info", "--port", radio.device()});
      });
  EXPECT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(busy.exitCode, 2);
  EXPECT_EQ(busy.err, "通讯口被占用\n" + radio.device() +
                          " 正被另一个程序占用：rcp520-cli（进程号 " + std::to_string(reader) +
                          "）。\n");
}

// Runs rcp520-cli as an unprivileged user: as root in a child that drops to uid and gid 65534
// without supplementary groups, otherwise as this user. Exit code 127: it could not be run so.
Finished runUnprivileged(const std::vector<std::string>& args) {
  if (geteuid() != 0) return run(RCP520_CLI, args);
  int err[2];
  if (pipe(err) != 0) return {-1, {}, {}};
  const pid_t child = fork();
  if (child == 0) {
    close(err[0]);
    dup2(err[1], STDERR_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(127);
    std::vector<char*> argv{const_cast<char*>(RCP520_CLI)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(RCP520_CLI, argv.data());
    _exit(127);
  }
  close(err[1]);
  Finished finished{-1, {}, {}};
  char buffer[512];
  ssize_t n = 0;
  while ((n = read(err[0], buffer, sizeof buffer)) > 0)
    finished.err.append(buffer, static_cast<std::size_t>(n));
  close(err[0]);
  int status = 0;
  waitpid(child, &status, 0);
  finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return finished;
}

// The radio's pseudo-terminal made one the user may not open: as root, given to group dialout
// (read and write for the group); otherwise this user's own terminal with permission for its
// group (tty) only.
TEST(PortDoctor, ADeviceTheUserMayNotOpenNamesItsGroupAndTheCommandToJoinIt) {
  RadioProcess radio({"--model", "HX77"});
  const std::string& device = radio.device();
  std::string groupName;
  if (geteuid() == 0) {
    const group* dialout = getgrnam("dialout");
    ASSERT_NE(dialout, nullptr) << "Debian has a dialout group";
    ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    groupName = "dialout";
  } else {
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    ASSERT_EQ(chmod(device.c_str(), 0060), 0);
    const group* owner = getgrgid(info.st_gid);
    groupName = owner ? owner->gr_name : std::to_string(info.st_gid);
  }
  const Finished denied = runUnprivileged({"info", "--port", device});
  if (denied.exitCode == 127) GTEST_SKIP() << "rcp520-cli cannot be run as uid " << kNobody;
  EXPECT_EQ(denied.exitCode, 2);
  EXPECT_EQ(denied.err, "通讯口被占用\n没有打开 " + device + " 的权限：该设备属于 " + groupName +
                            " 组，请运行 sudo adduser $USER " + groupName + "，然后重新登录。\n");
}

// `ports --probe` on a machine whose only device is an adaptor behind which the virtual radio
// answers, and one held by another program.
TEST(PortsProbe, GreetsEachFreeDeviceAndShowsTheModelThatAnswers) {
  test::TempDir dir;
  test::FakeSystem system(dir.path());
  RadioProcess radio({"--model", "HX77"});
  RadioProcess held({"--model", "MX541"});
  system.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                 "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
                radio.device());
  system.addUsb({"ttyUSB1", "1-3", "1a86", "7523", "", "USB Serial", "", "ch341", ""},
                held.device());
  system.addProcess(4711, "minicom", {held.device()});
  std::ostringstream out;
  std::ostringstream err;
  const auto trace = dir / "probe-trace.txt";
  const int code = app::cliPorts(app::PortsOptions{true}, {out, err, false, trace.string()},
                                 system.roots(), dir / "Com.ini");
  EXPECT_EQ(code, 0) << out.str() << err.str();
  EXPECT_NE(out.str().find("HX77（RCP77D HX77  V2.10）"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("未探测"), std::string::npos) << "the held device is left alone";
  EXPECT_EQ(out.str().find("MX541"), std::string::npos);
  std::ifstream in(trace);
  const std::string traced((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(traced.find("open " + (system.roots().dev / "ttyUSB0").string()), std::string::npos)
      << traced;
  EXPECT_NE(traced.find("|RCP77D HX77  V2.10|  18 of 18 bytes"), std::string::npos) << traced;
}

TEST(PortsCommand, RunsOnThisMachineAndRefusesOtherOptions) {
  const Finished ports = run(RCP520_CLI, {"ports"});
  EXPECT_TRUE(ports.exitCode == 0 || ports.exitCode == 1) << ports.err;
  EXPECT_TRUE(ports.out.starts_with("设备") || ports.out == "未找到串口设备。\n") << ports.out;
  EXPECT_EQ(run(RCP520_CLI, {"ports", "--port", "/dev/ttyS0"}).exitCode, 2);
}

}  // namespace
}  // namespace rcp::e2e
