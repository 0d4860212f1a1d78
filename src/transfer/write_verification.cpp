#include "transfer/write_verification.hpp"

#include <algorithm>

#include "image/read_image.hpp"

namespace rcp::image {

namespace {

struct ModeByte {
  Address address;
  std::uint8_t bits;
};
// What the mode commands leave in memory (see WriteImage::memory).
constexpr std::array<ModeByte, 3> kModeBytes = {{{0x1F0, 0xFF}, {0x1F1, 0xFF}, {0x0DC, 0x0F}}};

// What a mode byte's written bits mean, compared instead of the bits: the dialling and signalling
// bytes say their mode by a nonzero low half, the scrambler is off above 7.
bool meaning(const ModeByte& mode, std::uint8_t value) {
  const int low = value & 0x0F;
  return mode.address == 0x0DC ? low > 7 : low != 0;
}

const ModeByte* modeAt(std::size_t address, std::uint8_t bits) {
  for (const ModeByte& mode : kModeBytes)
    if (mode.address == address && mode.bits == bits) return &mode;
  return nullptr;
}

// The bytes of the bulk block the radio keeps for its test state and modes.
bool keptFromBulk(std::size_t address) {
  return (address >= 0x0DC && address <= 0x0DF) || (address >= 0x1F0 && address <= 0x1F7);
}

void take(ReadBack& back, Address at, std::string_view digits, std::size_t bytes) {
  const std::size_t complete = std::min(bytes, digits.size() / 2);
  back.memory.loadHex(at, digits.substr(0, 2 * complete));
  for (std::size_t i = 0; i < complete && at + i < MemoryImage::kSize; ++i)
    back.fetched[at + i] = true;
}

}  // namespace

ByteMasks writtenBits(const WriteImage& image) {
  ByteMasks bits{};
  for (std::size_t at = kBulkStart; at < kBulkStart + kBulkWriteBytes; ++at)
    if (!keptFromBulk(at)) bits[at] = 0xFF;
  for (const ModeByte& mode : kModeBytes) bits[mode.address] |= mode.bits;
  for (const MemoryRecord& record : image.records)
    for (std::size_t i = 0; i < record.data.size() && record.address + i < bits.size(); ++i)
      bits[record.address + i] = 0xFF;
  return bits;
}

ReadBack readBack(const RadioReading& reading) {
  ReadBack back;
  take(back, kBulkStart, reading.bulk, kBulkAnswerChars / 2);
  const auto reads = smallReads();
  for (std::size_t i = 0; i < reads.size() && i < reading.answers.size(); ++i) {
    const SmallRead& read = reads[i];
    take(back, read.address, reading.answers[i],
         std::min<std::size_t>(read.length, read.answerChars / 2));
  }
  return back;
}

Verification verifyWrite(const WriteImage& written, const RadioReading& reading) {
  const ByteMasks bits = writtenBits(written);
  const ReadBack back = readBack(reading);
  Verification result;
  for (std::size_t at = 0; at < bits.size(); ++at) {
    if (!bits[at]) continue;
    const auto address = static_cast<Address>(at);
    if (!back.fetched[at]) {
      result.unverified.push_back(address);
      continue;
    }
    ++result.comparedBytes;
    const std::uint8_t sent = written.memory.byte(address);
    const std::uint8_t got = back.memory.byte(address);
    if (const ModeByte* mode = modeAt(at, bits[at])) {
      if (meaning(*mode, sent) != meaning(*mode, got))
        result.differences.push_back({address, sent, got, static_cast<std::uint8_t>(0x0F)});
      continue;
    }
    if (const auto differ = static_cast<std::uint8_t>((sent ^ got) & bits[at]))
      result.differences.push_back({address, sent, got, differ});
  }
  return result;
}

void keepReadBytes(settings::ProgramState& state, WriteImage& image, const ReadBack& read) {
  const ByteMasks bits = writtenBits(image);
  for (std::size_t at = 0; at < bits.size(); ++at) {
    const bool mode = std::any_of(kModeBytes.begin(), kModeBytes.end(),
                                  [at](const ModeByte& m) { return m.address == at; });
    if (bits[at] == 0xFF && read.fetched[at] && !mode)
      image.memory.setByte(static_cast<Address>(at), read.memory.byte(static_cast<Address>(at)));
  }
  refresh(state, image);
}

}  // namespace rcp::image
