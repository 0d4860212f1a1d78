#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <random>

#include "sim/virtual_radio.hpp"

namespace rcp::test {

// Where the random memories keep a few bytes in the form a read needs.
namespace memory_bytes {
constexpr std::size_t kScheme = 0x1F0;    // low half-byte nonzero: CPSX
constexpr std::size_t kTalk = 0x1F3;      // the talk-around switch
constexpr std::size_t kCallback = 0x007;  // read back as two decimal digits
constexpr std::size_t kPttCode = 0x1FD;   // the same
constexpr std::size_t kFleetBlocks = 0x04E;  // large, medium and small block
}  // namespace memory_bytes

// Random bytes, with the two bytes the radio answers in decimal kept decimal (any other answer
// ends a read by design), fleet blocks in their order (large <= medium <= small <= 10: the read's
// fleet-level rule puts blocks out of order in order) and the talk-around group on in every other
// memory.
inline void randomMemory(sim::VirtualRadio::Memory& memory, std::mt19937& rng, bool cpsx, int n) {
  using namespace memory_bytes;
  std::uniform_int_distribution<int> byte(0, 255), digit(0, 9);
  for (auto& b : memory) b = static_cast<std::uint8_t>(byte(rng));
  for (std::size_t at : {kCallback, kPttCode})
    memory[at] = static_cast<std::uint8_t>(digit(rng) * 16 + digit(rng));
  std::array<int, 3> blocks{};
  for (int& b : blocks) b = std::uniform_int_distribution<int>(0, 10)(rng);
  std::sort(blocks.begin(), blocks.end());
  for (std::size_t i = 0; i < blocks.size(); ++i)
    memory[kFleetBlocks + i] = static_cast<std::uint8_t>(blocks[i]);
  memory[kScheme] = static_cast<std::uint8_t>((memory[kScheme] & 0xF0) | (cpsx ? 1 : 0));
  if (n % 2 == 0) memory[kTalk] = 1;
}

}  // namespace rcp::test
