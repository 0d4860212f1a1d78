#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/memory_image.hpp"
#include "transfer/read_transfer.hpp"
#include "image/write_image.hpp"

// Comparing what a write sent with what a read of the same radio brings back, byte by byte,
// wherever both reach. The read fetches the bulk block 0x010-0x1FF and each small read's bytes;
// the write decides every bit of the bulk block it sends (0x010-0x1F7, but the bytes the radio
// keeps for its test state and modes, 0x0DC-0x0DF and 0x1F0-0x1F7, which it does not take from
// the bulk stream), every byte of every record it sends, and what its mode commands set: the
// dialling and signalling bytes 0x1F0 and 0x1F1 whole and the scrambler's low half of 0x0DC.
// The compander and volumes in 0x0DD-0x0DF belong to the test state and are not compared. The
// mode bytes are compared by what they mean: 0x1F0 and 0x1F1 by whether their low half is
// nonzero, the scrambler by whether its low half is above 7 (off).
namespace rcp::image {

using ByteMasks = std::array<std::uint8_t, MemoryImage::kSize>;

// The bits of each address the write decides (0xFF a whole byte, 0 none).
ByteMasks writtenBits(const WriteImage& image);

// The radio's memory as a read brought it, and which addresses it brought (complete digit
// pairs only).
struct ReadBack {
  MemoryImage memory;
  std::array<bool, MemoryImage::kSize> fetched{};
};
ReadBack readBack(const RadioReading& reading);

struct ByteDifference {
  Address address;
  std::uint8_t written;
  std::uint8_t read;
  std::uint8_t bits;  // the written bits that differ
};

struct Verification {
  std::vector<ByteDifference> differences;  // in address order
  std::size_t comparedBytes = 0;
  // Addresses the write set that the read does not fetch: not verified.
  std::vector<Address> unverified;

  bool passed() const { return differences.empty(); }
};

Verification verifyWrite(const WriteImage& written, const RadioReading& reading);

// A backup written back: every whole byte the write sets that the backup's read fetched goes out
// as that read found it (a value a box would clamp, a byte no choice shows), the mode bytes
// (sent as commands) excepted.
void keepReadBytes(settings::ProgramState& state, WriteImage& image, const ReadBack& read);

}  // namespace rcp::image
