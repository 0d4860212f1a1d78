// Start-up time of the desktop program: from the start of the process to the first paint of the
// main window, with the whole program start (every window built, the port opened and the radio
// greeted; no radio is attached, and the message about it is answered at once).
//
//   startup [RUNS]   runs itself RUNS times (default 15) under QT_QPA_PLATFORM=offscreen and
//                    prints the minimum, median and maximum in milliseconds.
//
// Measure the Release build. Each run is timed two ways: from the parent's spawn of the process,
// and from the process start time the kernel keeps (/proc/self/stat), which leaves out the
// parent's share of starting the process but is kept in clock ticks (10 ms). The runs' own
// messages are dropped; run "startup --child" to see them.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.hpp"
#include "gui/fonts.hpp"
#include "gui/form_view.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "link/clock.hpp"
#include "link/port.hpp"

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--child";

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

// The first paint of the main window ends the run.
class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted) {
      painted = true;
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return false;
  }
  bool painted = false;
};

// The desktop's screen, watching the first window (the main one) from the moment it is built.
class WatchingScreen final : public rcp::ui::Screen {
 public:
  WatchingScreen(rcp::gui::QtScreen& screen, QObject& watcher)
      : screen_(screen), watcher_(watcher) {}
  void formCreated(rcp::ui::Form& form) override {
    const bool first = !watching_;
    screen_.formCreated(form);
    if (first) screen_.findView(form)->installEventFilter(&watcher_);
    watching_ = true;
  }
  void repaint(const rcp::ui::Form& form) override { screen_.repaint(form); }
  void setBusy(bool busy) override { screen_.setBusy(busy); }
  void setApplicationTitle(const std::string& title) override {
    screen_.setApplicationTitle(title);
  }
  void quit() override { screen_.quit(); }

 private:
  rcp::gui::QtScreen& screen_;
  QObject& watcher_;
  bool watching_ = false;
};

// One run: prints "<monotonic ms at first paint> <ms since the process started>".
int child(int argc, char** argv) {
  const double atMain = nowMs(CLOCK_MONOTONIC);
  const std::optional<double> sinceStart = msSinceProcessStart();
  QApplication app(argc, argv);
  QApplication::setFont(rcp::gui::applicationFont());
  QApplication::setQuitOnLastWindowClosed(false);
  QTemporaryDir config;

  rcp::link::RealClock clock;
  rcp::link::NoPort port;
  rcp::gui::QtScreen qtScreen;
  FirstPaint paint;
  WatchingScreen screen(qtScreen, paint);
  AnsweringDialogs dialogs(qtScreen);
  rcp::app::Program program(
      rcp::app::Services{port, clock, dialogs, screen, config.filePath("Com.ini").toStdString()});
  program.start();
  if (!paint.painted) QApplication::exec();
  const double atPaint = nowMs(CLOCK_MONOTONIC);
  std::printf("%.3f %.3f\n", atPaint, sinceStart.value_or(-1) + (atPaint - atMain));
  return paint.painted ? 0 : 1;
}

struct Run {
  double fromSpawn;
  double fromStart;
};

std::optional<Run> runOnce(const char* self) {
  int out[2];
  if (pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char* args[] = {const_cast<char*>(self), const_cast<char*>(kChildFlag), nullptr};
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
  double painted = 0;
  double fromStart = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(text.c_str(), "%lf %lf", &painted, &fromStart) != 2)
    return std::nullopt;
  return Run{painted - spawned, fromStart};
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const std::size_t n = ms.size();
  const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  std::printf("%-28s min %7.1f  median %7.1f  max %7.1f ms\n", what, ms.front(), median, ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) return child(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::vector<double> fromSpawn;
  std::vector<double> fromStart;
  for (int i = 0; i < runs; ++i) {
    const auto run = runOnce("/proc/self/exe");
    if (!run) {
      std::fprintf(stderr, "run %d failed\n", i + 1);
      return 1;
    }
    fromSpawn.push_back(run->fromSpawn);
    if (run->fromStart >= 0) fromStart.push_back(run->fromStart);
  }
  std::printf("start-up to the first paint of the main window, %d runs\n", runs);
  report("from spawn:", fromSpawn);
  if (!fromStart.empty()) report("from process start (ticks):", fromStart);
  return 0;
}
