#include "processes.hpp"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/temp_dir.hpp"

extern char** environ;

namespace rcp::e2e {

namespace {

void keepStateInTheTestRun() {
  setenv("XDG_STATE_HOME", testStateHome().c_str(), 1);
}

pid_t spawn(const std::string& program, const std::vector<std::string>& args, int outFd, int errFd,
            const std::vector<int>& closeFds) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  keepStateInTheTestRun();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
  if (errFd >= 0) posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  for (const int fd : closeFds) posix_spawn_file_actions_addclose(&actions, fd);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program);
  return pid;
}

int exitCodeOf(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

const std::filesystem::path& testStateHome() {
  static const test::TempDir state;
  return state.path();
}

Finished run(const std::string& program, const std::vector<std::string>& args,
             const std::function<void(pid_t)>& started) {
  int out[2];
  int err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = spawn(program, args, out[1], err[1], {out[0], err[0]});
  close(out[1]);
  close(err[1]);
  if (started) started(pid);

  Finished finished{-1, {}, {}};
  std::array<pollfd, 2> fds{{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
  int open = 2;
  // A program that would wait for ever (a radio that never goes away) is killed at the limit.
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 && !finished.killed) {
      ::kill(pid, SIGKILL);
      finished.killed = true;
      finished.err +=
          "\n[killed: still running after " +
          std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kRunLimit).count()) +
          " s]\n";
    }
    const int wait =
        finished.killed ? -1 : static_cast<int>(std::max<std::int64_t>(left.count(), 0));
    if (poll(fds.data(), fds.size(), wait) <= 0) continue;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? finished.out : finished.err).append(buffer, static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  finished.exitCode = exitCodeOf(pid);
  return finished;
}

RadioProcess::RadioProcess(const std::vector<std::string>& args) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe");
  pid_ = spawn(RCP520_RADIO, args, out[1], -1, {out[0]});
  close(out[1]);
  out_ = out[0];
  // The first line names the device; give the radio a few seconds to come up.
  while (device_.empty() || device_.back() != '\n') {
    pollfd entry{out_, POLLIN, 0};
    char c = 0;
    if (poll(&entry, 1, 5000) <= 0 || read(out_, &c, 1) != 1) {
      stop();
      throw std::runtime_error("rcp520-radio did not name its device");
    }
    device_ += c;
  }
  device_.pop_back();
}

RadioProcess::~RadioProcess() {
  stop();
}

void RadioProcess::kill() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGKILL);
  exitCodeOf(pid_);
  pid_ = -1;
  close(out_);
}

int RadioProcess::stop() {
  if (pid_ < 0) return -1;
  ::kill(pid_, SIGTERM);
  const int code = exitCodeOf(pid_);
  pid_ = -1;
  close(out_);
  return code;
}

std::string receivedByRadio(const std::filesystem::path& trace) {
  std::ifstream in(trace, std::ios::binary);
  std::istringstream lines(std::string(std::istreambuf_iterator<char>(in), {}));
  std::string line, bytes;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string at, direction, hex;
    fields >> at >> direction;
    if (direction != "<") continue;
    while (fields >> hex) bytes += static_cast<char>(std::stoi(hex, nullptr, 16));
  }
  return bytes;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void waitUntilRadioReceives(const std::filesystem::path& trace, const std::string& text,
                            std::chrono::seconds limit) {
  waitUntil([&] { return receivedByRadio(trace).find(text) != std::string::npos; }, limit);
}

}  // namespace rcp::e2e
