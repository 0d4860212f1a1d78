// Start-up time and resident size of the desktop program beside a bare Qt window, in one run.
//
// The tool: from the start of the process to the first paint of the main window, with the whole
// program start as rcp520 does it (the application prepared as runDesktop prepares it, every
// window created, the port of Com.ini opened and the radio greeted). A virtual radio
// (rcp520-radio, beside this program) is connected, as a technician's would be; "--no-radio"
// leaves it out (the message about the missing radio is answered at once).
// The bare window: a Qt 6 application showing one label in the same CJK font, to its first paint.
//
//   startup [RUNS] [--no-radio]   runs each RUNS times (default 15), one after the other, and
//                                 prints the minimum, median and maximum in milliseconds, the
//                                 resident size at the first paint, and the ratios of the medians.
//
// With DISPLAY set the windows are real ones on that display (run it under Xvfb: "xvfb-run -a
// startup"); without, QT_QPA_PLATFORM=offscreen. Measure the Release build. Each run is timed two
// ways: from the parent's spawn of the process, and from the process start time the kernel keeps
// (/proc/self/stat), which leaves out the parent's share of starting the process but is kept in
// clock ticks (10 ms). The runs' own messages are dropped; run "startup --child" or "startup
// --bare" to see them.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "gui/desktop.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "gui/start_up_port.hpp"
#include "link/clock.hpp"
#include "link/serial_port.hpp"
#include "program/program.hpp"
#include "window/bind.hpp"

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--child";
constexpr const char* kBareFlag = "--bare";
// The family applicationFont() finds where scripts/setup installed the fonts.
constexpr const char* kBareFamily = "WenQuanYi Micro Hei";

double nowMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// How long this process has been running, from the kernel's record of its start.
std::optional<double> msSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  if (!std::getline(stat, line)) return std::nullopt;
  // The command name may hold spaces; the fields after it are plain numbers.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i)
    if (i == 22) {
      const double ticks = std::strtod(field.c_str(), nullptr);
      return nowMs(CLOCK_BOOTTIME) - ticks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
  return std::nullopt;
}

// The resident size of this process now, in MiB.
double residentMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
  return -1;
}

// Answers every message at once; windows are shown as usual.
class AnsweringDialogs final : public rcp::ui::Dialogs {
 public:
  explicit AnsweringDialogs(rcp::gui::QtScreen& screen) : shown_(screen) {}
  rcp::ui::MessageResult message(const rcp::ui::Message&) override {
    return rcp::ui::MessageResult::Ok;
  }
  void showModal(rcp::ui::Form& form) override { shown_.showModal(form); }
  std::optional<std::string> openFile(const rcp::ui::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFile(const rcp::ui::FileDialogRequest&) override {
    return std::nullopt;
  }

 private:
  rcp::gui::QtDialogs shown_;
};

// The first paint of the main window (the window of the form Main_Form, or for the bare run the
// label) ends the run. It watches the whole application, so that it makes no window be built
// earlier than the program builds it.
class FirstPaint final : public QObject {
 public:
  explicit FirstPaint(QString window) : window_(std::move(window)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow() && watched->objectName() == window_) {
      painted = true;
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return false;
  }
  bool painted = false;

 private:
  QString window_;
};

// The end of one run: prints "<monotonic ms at first paint> <ms since the process started>
// <resident MiB>".
int painted(bool done, double atMain, std::optional<double> sinceStart) {
  const double atPaint = nowMs(CLOCK_MONOTONIC);
  const double resident = residentMiB();
  std::printf("%.3f %.3f %.2f\n", atPaint, sinceStart.value_or(-1) + (atPaint - atMain), resident);
  return done ? 0 : 1;
}

// One run of the tool, on the port its Com.ini names (the parent makes one for the radio).
int child(int argc, char** argv) {
  const double atMain = nowMs(CLOCK_MONOTONIC);
  const std::optional<double> sinceStart = msSinceProcessStart();
  QApplication app(argc, argv);
  rcp::gui::prepareApplication();

  FirstPaint paint(QStringLiteral("Main_Form"));
  app.installEventFilter(&paint);

  // As runDesktop has them.
  rcp::link::RealClock clock;
  rcp::link::SerialPort serial;
  rcp::gui::QtScreen screen;
  rcp::gui::StartUpPort port(serial, [&screen] { screen.buildMainWindow(); });
  AnsweringDialogs dialogs(screen);
  rcp::app::Program program(rcp::app::Services{port, clock, dialogs, screen});
  rcp::app::startWithWindow(program);
  if (!paint.painted) QApplication::exec();
  return painted(paint.painted, atMain, sinceStart);
}

// One run of the bare window: a label in the CJK font.
int bare(int argc, char** argv) {
  const double atMain = nowMs(CLOCK_MONOTONIC);
  const std::optional<double> sinceStart = msSinceProcessStart();
  QApplication app(argc, argv);
  QApplication::setFont(QFont(QString::fromUtf8(kBareFamily), 9));
  QLabel label(QStringLiteral("RCP520 写频软件"));
  label.setObjectName(QStringLiteral("Bare"));
  FirstPaint paint(label.objectName());
  app.installEventFilter(&paint);
  label.show();
  QApplication::exec();
  return painted(paint.painted, atMain, sinceStart);
}

struct Run {
  double fromSpawn;
  double fromStart;
  double residentMiB;
};

std::optional<Run> runOnce(const char* self, const char* flag) {
  int out[2];
  if (pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char* args[] = {const_cast<char*>(self), const_cast<char*>(flag), nullptr};
  pid_t pid = 0;
  const double spawned = nowMs(CLOCK_MONOTONIC);
  const int failed = posix_spawn(&pid, self, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (failed) {
    close(out[0]);
    return std::nullopt;
  }
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  double paintedAt = 0;
  double fromStart = 0;
  double resident = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(text.c_str(), "%lf %lf %lf", &paintedAt, &fromStart, &resident) != 3)
    return std::nullopt;
  return Run{paintedAt - spawned, fromStart, resident};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Prints one line and returns the median.
double report(const char* what, std::vector<double> values, const char* unit) {
  const double middle = median(values);
  std::printf("  %-30s min %7.1f  median %7.1f  max %7.1f %s\n", what,
              *std::min_element(values.begin(), values.end()), middle,
              *std::max_element(values.begin(), values.end()), unit);
  return middle;
}

struct Runs {
  std::vector<double> fromSpawn;
  std::vector<double> fromStart;
  std::vector<double> residentMiB;

  void add(const Run& run) {
    fromSpawn.push_back(run.fromSpawn);
    if (run.fromStart >= 0) fromStart.push_back(run.fromStart);
    residentMiB.push_back(run.residentMiB);
  }
};

struct Medians {
  double fromSpawn;
  double residentMiB;
};

Medians reportRuns(const char* title, const Runs& runs) {
  std::printf("%s\n", title);
  const double fromSpawn = report("from spawn to first paint:", runs.fromSpawn, "ms");
  if (!runs.fromStart.empty()) report("from process start (ticks):", runs.fromStart, "ms");
  const double resident = report("resident at first paint:", runs.residentMiB, "MiB");
  return {fromSpawn, resident};
}

// The virtual radio for the tool's runs: rcp520-radio beside this program, linked into a private
// configuration folder whose Com.ini names it, so every run greets a radio.
class VirtualRadio {
 public:
  bool start(const std::string& folder) {
    std::string self(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), self.size());
    if (n <= 0) return false;
    self.resize(static_cast<std::size_t>(n));
    const std::string program = self.substr(0, self.rfind('/') + 1) + "rcp520-radio";
    const std::string link = folder + "/radio";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* args[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--model"),
                    const_cast<char*>("HX77"),          const_cast<char*>("--link"),
                    const_cast<char*>(link.c_str()),    nullptr};
    const int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return false;
    for (int i = 0; i < 100 && access(link.c_str(), F_OK) != 0; ++i) usleep(20000);
    std::filesystem::create_directories(folder + "/rcp520");
    std::ofstream(folder + "/rcp520/Com.ini", std::ios::binary)
        << "[ComStatus]\r\nComport=COM2\r\n[ComDevices]\r\nCOM2=" << link << "\r\n";
    return access(link.c_str(), F_OK) == 0;
  }
  ~VirtualRadio() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) return child(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], kBareFlag) == 0) return bare(argc, argv);
  int count = 15;
  bool radio = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-radio") == 0)
      radio = false;
    else
      count = std::max(1, std::atoi(argv[i]));
  }
  const bool display =
      std::getenv("DISPLAY") != nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr;
  if (!display) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  // A private configuration folder: the user's own Com.ini is never read.
  char folderTemplate[] = "/tmp/rcp520-startup-XXXXXX";
  const char* folder = mkdtemp(folderTemplate);
  if (!folder) return 1;
  setenv("XDG_CONFIG_HOME", folder, 1);
  VirtualRadio virtualRadio;
  if (radio && !virtualRadio.start(folder)) {
    std::fprintf(stderr, "the virtual radio (rcp520-radio beside this program) did not start\n");
    return 1;
  }

  Runs tool;
  Runs bareRuns;
  for (int i = 0; i < count; ++i) {
    // In turns, so that both see the same machine.
    const auto bareRun = runOnce("/proc/self/exe", kBareFlag);
    const auto toolRun = runOnce("/proc/self/exe", kChildFlag);
    if (!bareRun || !toolRun) {
      std::fprintf(stderr, "run %d failed\n", i + 1);
      std::filesystem::remove_all(folder);
      return 1;
    }
    bareRuns.add(*bareRun);
    tool.add(*toolRun);
  }
  std::filesystem::remove_all(folder);

  std::printf("start-up to the first paint, %d runs each, %s, %s\n", count,
              display ? "on the display" : "offscreen",
              radio ? "a virtual radio connected" : "no radio");
  const Medians t = reportRuns("the tool (rcp520's start, main window):", tool);
  const Medians b = reportRuns("a bare Qt window (one label, the same CJK font):", bareRuns);
  std::printf("ratio of the medians, tool / bare window: %.2f x start-up, %.2f x resident\n",
              t.fromSpawn / b.fromSpawn, t.residentMiB / b.residentMiB);
  return 0;
}
