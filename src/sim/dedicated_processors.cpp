#include "sim/dedicated_processors.hpp"

#include <pthread.h>
#include <sched.h>

namespace rcp::sim {

std::vector<int> servingProcessors(std::size_t most) {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  std::vector<int> processors;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return processors;
  for (int cpu = 0; cpu < CPU_SETSIZE && processors.size() < most; ++cpu)
    if (CPU_ISSET(cpu, &allowed)) processors.push_back(cpu);
  return processors;
}

void keepThreadOn(int processor) {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(processor, &one);
  pthread_setaffinity_np(pthread_self(), sizeof one, &one);
}

bool raiseToRealTime() {
  sched_param priority{};
  priority.sched_priority = sched_get_priority_min(SCHED_FIFO);
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
}

}  // namespace rcp::sim
