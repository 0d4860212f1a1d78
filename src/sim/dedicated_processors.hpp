#pragma once

#include <cstddef>
#include <vector>

namespace rcp::sim {

// A real radio answers from its own hardware; a virtual one shares the machine with the tool
// and with whatever else runs there. These make its serving threads behave more like dedicated
// hardware, as far as the system permits; each is best effort and silent when refused.

// Up to `most` processors this process may run on, lowest first; empty when they cannot be
// told (the threads then run wherever the system puts them).
std::vector<int> servingProcessors(std::size_t most);

// Keeps the calling thread on `processor`.
void keepThreadOn(int processor);

// Puts the calling thread (and the threads it starts afterwards) into the lowest real-time
// priority, above every time-shared process; false when that is not permitted.
bool raiseToRealTime();

}  // namespace rcp::sim
