// Why a port does not open, found through a fake /dev and /proc: a missing device, no permission,
// a process that holds it, ModemManager; and on real pseudo-terminals, what opening says.

#include "ports/port_doctor.hpp"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "link/low_latency.hpp"
#include "link/serial_port.hpp"
#include "support/fake_system.hpp"
#include "support/temp_dir.hpp"

namespace rcp::link {
namespace {

constexpr uid_t kNobody = 65534;

struct PortDoctorTest : ::testing::Test {
  test::TempDir dir;
  test::FakeSystem system{dir.path()};

  void SetUp() override {
    system.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                   "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
  }
  PortDiagnosis diagnose(const std::string& device) { return diagnosePort(device, system.roots()); }
};

TEST_F(PortDoctorTest, AMissingDeviceOrADanglingStableNameIsMissing) {
  const PortDiagnosis missing = diagnose("/dev/ttyUSB1");
  EXPECT_EQ(missing.kind, PortProblemKind::Missing);
  EXPECT_EQ(problemText(missing), "设备 /dev/ttyUSB1 不存在，请检查数据线是否插好。");

  std::filesystem::remove(system.roots().dev / "ttyUSB0");  // unplugged: the link stays behind
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  EXPECT_EQ(diagnose(byId).kind, PortProblemKind::Missing);
  EXPECT_NE(problemText(diagnose(byId)).find(byId), std::string::npos);
}

TEST_F(PortDoctorTest, AProcessWithTheDeviceOpenIsNamedWithItsProcessId) {
  system.addProcess(1, "systemd", {"/dev/null"});
  system.addProcess(4711, "minicom", {"/dev/pts/3", "/dev/ttyUSB0"});
  const PortDiagnosis held = diagnose("/dev/ttyUSB0");
  EXPECT_EQ(held.kind, PortProblemKind::Held);
  EXPECT_EQ(held.holders, (std::vector<PortHolder>{{4711, "minicom"}}));
  EXPECT_EQ(problemText(held), "/dev/ttyUSB0 正被另一个程序占用：minicom（进程号 4711）。");

  // Through its stable name the same device is found held.
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  EXPECT_EQ(diagnose(byId).holders, (std::vector<PortHolder>{{4711, "minicom"}}));
}

TEST_F(PortDoctorTest, TheLockHolderIsNamedRatherThanEveryProcessWithTheDeviceOpen) {
  const auto file = system.roots().dev / "ttyUSB0";
  system.addProcess(300, "rcp520-radio", {file.string()});
  system.addProcess(815, "rcp520-cli", {file.string()});
  system.addLock(815, file);
  EXPECT_EQ(portHolders("/dev/ttyUSB0", system.roots()),
            (std::vector<PortHolder>{{815, "rcp520-cli"}}));
  EXPECT_EQ(problemText(diagnose("/dev/ttyUSB0")),
            "/dev/ttyUSB0 正被另一个程序占用：rcp520-cli（进程号 815）。");
}

TEST_F(PortDoctorTest, ModemManagerIsNamedAsProbingTheDevice) {
  system.addProcess(812, "ModemManager", {"/dev/ttyUSB0"});
  const PortDiagnosis probing = diagnose("/dev/ttyUSB0");
  EXPECT_EQ(probing.kind, PortProblemKind::ModemManager);
  EXPECT_EQ(problemText(probing),
            "ModemManager（进程号 812）正在探测 /dev/ttyUSB0，请稍等片刻再试，或运行 sudo "
            "systemctl stop ModemManager。");
}

TEST_F(PortDoctorTest, AProcessNameCannotMoveTheCursor) {
  system.addProcess(99, "evil\x1b[2J", {"/dev/ttyUSB0"});
  EXPECT_EQ(diagnose("/dev/ttyUSB0").holders.at(0).name, "evil?[2J");
}

TEST_F(PortDoctorTest, AFileThatIsNoDeviceIsNoSerialPort) {
  const PortDiagnosis plain = diagnose("/dev/ttyUSB0");  // the fake device file is a plain file
  EXPECT_EQ(plain.kind, PortProblemKind::NotSerial);
  EXPECT_EQ(problemText(plain), "/dev/ttyUSB0 不是串口设备。");
}

// Lets everyone through the folders from `top` down to the file.
void openFoldersTo(const std::filesystem::path& file, const std::filesystem::path& top) {
  for (auto folder = file.parent_path(); folder.string().size() >= top.string().size();
       folder = folder.parent_path())
    chmod(folder.c_str(), 0755);
}

// Diagnoses `device` as an unprivileged user: as root, in a child process that drops to uid
// and gid 65534 without supplementary groups; otherwise in this process. The text, or empty when
// the child could not run.
std::string diagnoseUnprivileged(const std::string& device, const SystemRoots& roots) {
  if (geteuid() != 0) return problemText(diagnosePort(device, roots));
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(1);
    const std::string text = problemText(diagnosePort(device, roots));
    (void)!write(pipeFds[1], text.data(), text.size());
    _exit(0);
  }
  close(pipeFds[1]);
  std::string text;
  char buffer[512];
  ssize_t n = 0;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : std::string();
}

// A device file the unprivileged user may not open, owned by a group with read and write
// permission: as root, group dialout (or the user's own) for a child without it; otherwise a file
// of this user with permission for its group only.
TEST_F(PortDoctorTest, WithoutPermissionTheGroupAndTheCommandToJoinItAreNamed) {
  const auto file = system.roots().dev / "ttyUSB0";
  gid_t gid = getegid();
  std::string groupName;
  if (geteuid() == 0) {
    const group* dialout = getgrnam("dialout");
    gid = dialout ? dialout->gr_gid : 20;
    ASSERT_EQ(chown(file.c_str(), 0, gid), 0);
    ASSERT_EQ(chmod(file.c_str(), 0660), 0);
    openFoldersTo(file, dir.path());
  } else {
    ASSERT_EQ(chmod(file.c_str(), 0060), 0);
  }
  const group* owner = getgrgid(gid);
  groupName = owner ? owner->gr_name : std::to_string(gid);

  const std::string text = diagnoseUnprivileged("/dev/ttyUSB0", system.roots());
  if (text.empty()) GTEST_SKIP() << "cannot drop to uid " << kNobody << " here";
  EXPECT_EQ(text, "没有打开 /dev/ttyUSB0 的权限：该设备属于 " + groupName +
                      " 组，请运行 sudo adduser $USER " + groupName + "，然后重新登录。");
}

TEST_F(PortDoctorTest, WithoutPermissionForTheGroupEitherOnlyTheOwnerIsSaidToOpenIt) {
  const auto file = system.roots().dev / "ttyUSB0";
  ASSERT_EQ(chmod(file.c_str(), 0600), 0);
  if (geteuid() != 0)
    ASSERT_EQ(chmod(file.c_str(), 0000), 0);
  else
    openFoldersTo(file, dir.path());
  const std::string text = diagnoseUnprivileged("/dev/ttyUSB0", system.roots());
  if (text.empty()) GTEST_SKIP() << "cannot drop to uid " << kNobody << " here";
  EXPECT_NE(text.find("的权限：该设备属于 "), std::string::npos) << text;
  EXPECT_NE(text.find("只有其所有者可以读写它"), std::string::npos) << text;
}

// A USB adaptor holding received bytes back up to its latency timer makes a radio's answers late
// or lost; the doctor names a high one after whatever else it finds, by any name of the device.
TEST_F(PortDoctorTest, AHighLatencyTimerIsNamedWithWhatItCostsAndHowToLowerIt) {
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port1";
  system.addUsb({"ttyUSB1", "1-3", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                 "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port1", "16"});
  system.addUsb(
      {"ttyUSB2", "1-4", "0403", "6001", "FTDI", "FT232R USB UART", "B1", "ftdi_sio", "", "2"});
  system.addProcess(4711, "minicom", {"/dev/ttyUSB1"});
  const std::string advice =
      "ttyUSB1 的延迟计时器为 16 ms：收到的字节最多要等这么久才交给程序，电台的应答可能被当作超时。"
      "打开串口时程序会设为 1 ms；若没有权限，请以 root 执行 echo 1 > "
      "/sys/bus/usb-serial/devices/ttyUSB1/latency_timer。";
  struct Case {
    std::string device;
    std::optional<std::string> latency;
  };
  for (const Case& c : std::vector<Case>{{"/dev/ttyUSB1", advice},
                                         {byId, advice},
                                         {"/dev/ttyUSB2", std::nullopt},     // at the limit
                                         {"/dev/ttyUSB0", std::nullopt}}) {  // no timer at all
    const PortDiagnosis d = diagnose(c.device);
    EXPECT_EQ(d.latency, c.latency) << c.device;
    EXPECT_EQ(latencyProblem(c.device, system.roots()), c.latency) << c.device;
    if (c.latency) {
      EXPECT_TRUE(problemText(d).ends_with("。" + *c.latency)) << problemText(d);
    }
  }
  EXPECT_EQ(problemText(diagnose("/dev/ttyUSB1")),
            "/dev/ttyUSB1 正被另一个程序占用：minicom（进程号 4711）。" + advice);
}

// A real pseudo-terminal behind the device name, looked up with an empty fake /proc.
struct PtyDoctorTest : ::testing::Test {
  test::TempDir dir;
  SystemRoots roots{"/sys", "/dev", dir / "proc"};
  int master = -1;
  std::string slave;

  void SetUp() override {
    std::filesystem::create_directories(roots.proc);
    master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    slave = ptsname(master);
  }
  void TearDown() override { close(master); }
};

TEST_F(PtyDoctorTest, AFreeTerminalOpensNow) {
  const PortDiagnosis free = diagnosePort(slave, roots);
  EXPECT_EQ(free.kind, PortProblemKind::None);
  EXPECT_EQ(problemText(free), slave + " 现在可以打开，请再试一次。");
}

TEST_F(PtyDoctorTest, ATerminalLockedByAProcessThatCannotBeSeenIsBusy) {
  SerialPort holder;  // this process holds it, and the doctor never names this process
  ASSERT_TRUE(holder.open(slave));
  const PortDiagnosis busy = diagnosePort(slave, roots);
  EXPECT_EQ(busy.kind, PortProblemKind::Busy);
  EXPECT_EQ(problemText(busy), slave + " 正被另一个程序独占使用（无法查明是哪个程序）。");
}

TEST_F(PtyDoctorTest, ADeviceThatIsNoTerminalIsNoSerialPort) {
  EXPECT_EQ(diagnosePort("/dev/null", roots).kind, PortProblemKind::NotSerial);
  EXPECT_EQ(diagnosePort("/etc/hostname", roots).kind, PortProblemKind::NotSerial);
}

TEST_F(PtyDoctorTest, LookingWithoutOpeningFindsNothingWrongWithAFreeTerminal) {
  SerialPort holder;
  ASSERT_TRUE(holder.open(slave));
  EXPECT_EQ(diagnosePort(slave, roots, false).kind, PortProblemKind::None)
      << "only the open tells a lock nobody can be seen holding";
}

}  // namespace
}  // namespace rcp::link
