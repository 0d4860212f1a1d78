// How much processor time a read uses while it waits out its time-out on a silent line.
// Reads on a pseudo-terminal whose other side never answers, and compares the process's CPU time
// (user + system, from getrusage) with the wall time they took. Waiting should sleep in the
// kernel: the figure should stay well under 1 % of one core.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "link/serial_port.hpp"

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("posix_openpt");
    return 1;
  }
  rcp::link::SerialPort port;
  if (!port.open(ptsname(master))) {
    std::fprintf(stderr, "cannot open %s\n", ptsname(master));
    return 1;
  }

  // 50 one-byte reads (40 ms each) and 5 identity reads (380 ms each): about four seconds.
  std::vector<std::uint8_t> one(1);
  std::vector<std::uint8_t> identity(18);
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  std::size_t got = 0;
  for (int i = 0; i < 50; ++i) got += port.read(one);
  for (int i = 0; i < 5; ++i) got += port.read(identity);
  const double cpu = cpuSeconds() - cpuStart;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

  const double percent = 100.0 * cpu / wall;
  std::printf("reads: 55 (%zu bytes arrived), wall %.3f s, cpu %.4f s, %.3f %% of one core\n", got,
              wall, cpu, percent);
  close(master);
  return percent < 1.0 ? 0 : 1;
}
