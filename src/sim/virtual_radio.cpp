#include "sim/virtual_radio.hpp"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "link/commands.hpp"
#include "link/hex_text.hpp"

namespace rcp::sim {

namespace {

constexpr std::size_t kMaxWordLength = 600;
constexpr std::size_t kChunkDigits = 2 * link::kDumpChunkBytes;
constexpr std::uint8_t kBulkAnswer = 'D';  // the answer to "D" and to every chunk

constexpr std::uint16_t kDiallingAddress = 0x1F0;
constexpr std::uint16_t kSignallingAddress = 0x1F1;
constexpr std::uint16_t kScramblerAddress = 0x0DC;
constexpr std::uint8_t kScramblerOff = 8;

// Where the test state's commands leave their values. VR1 to VR4 and the compander share the
// half-bytes of 0x0DD-0x0DF; the ten alignment values have a byte each.
struct HalfByte {
  std::string_view name;
  std::uint16_t address;
  bool high;
};
constexpr std::array<HalfByte, 4> kVolumes = {{
    {"VR1", 0x0DE, false},
    {"VR2", 0x0DE, true},
    {"VR3", 0x0DF, false},
    {"VR4", 0x0DD, false},
}};
constexpr HalfByte kCompander = {"TC", 0x0DF, true};
constexpr std::uint8_t kCompanderOn = 8;

struct ByteValue {
  std::string_view name;
  std::uint16_t address;
};
constexpr std::array<ByteValue, 10> kAlignments = {{
    {"SS", 0x2DD},
    {"PP0", 0x2DE},
    {"BF", 0x2DF},
    {"PWR", 0x2E0},
    {"PP1", 0x2E1},
    {"PP2", 0x2E2},
    {"PP3", 0x2E3},
    {"LM1", 0x2E4},
    {"LM2", 0x2E5},
    {"LM3", 0x2E6},
}};

// The field-strength calibration: two bytes for the one-bar point, two for the five-bar point.
// A calibrated point holds a nonzero mark; zeros are the default.
constexpr std::uint16_t kCalibrationAddress = 0x2C5;
constexpr std::size_t kCalibrationPointBytes = 2;

template <typename Entry, std::size_t N>
const Entry* named(const std::array<Entry, N>& table, std::string_view name) {
  const auto it =
      std::find_if(table.begin(), table.end(), [&](const Entry& e) { return e.name == name; });
  return it == table.end() ? nullptr : &*it;
}

bool isModeLetter(char c) {
  return c == 'T' || c == 'Q' || c == 'U' || c == 'D';
}

// Bytes that the bulk stream carries as zeros and the radio keeps: the scrambler and alignment
// values, and the mode bytes set by their own commands.
bool keptFromBulk(std::size_t address) {
  return (address >= 0x0DC && address <= 0x0DF) || (address >= 0x1F0 && address <= 0x1F7);
}

}  // namespace

VirtualRadio::VirtualRadio(const link::RadioIdentity& identity, RadioTiming timing)
    : identity_(identity), timing_(timing) {}

void VirtualRadio::receive(std::span<const std::uint8_t> bytes, Micros arrival) {
  for (const std::uint8_t byte : bytes) {
    Micros at = paced_ ? std::max(arrival, lastByteAt_ + timing_.byteTime) : arrival;
    // A stopped radio finds what arrived meanwhile waiting once it goes on.
    at = std::max(at, stoppedUntil_);
    paced_ = true;
    if (inBurst_ && at - lastByteAt_ >= timing_.burstGap) endBurst();
    received_.push_back({byte, at});
    inBurst_ = true;
    lastByteAt_ = at;
    take(byte);
  }
}

void VirtualRadio::advance(Micros now) {
  if (inBurst_ && now - lastByteAt_ >= timing_.burstGap) endBurst();
}

std::optional<Micros> VirtualRadio::burstEnd() const {
  if (!inBurst_) return std::nullopt;
  return lastByteAt_ + timing_.burstGap;
}

std::vector<VirtualRadio::Answer> VirtualRadio::takeAnswers() {
  return std::exchange(answers_, {});
}

void VirtualRadio::clearRecords() {
  received_.clear();
  handled_.clear();
}

void VirtualRadio::boundRecords() {
  constexpr std::size_t kRecordLimit = 100000;
  if (received_.size() > kRecordLimit) clearRecords();
}

void VirtualRadio::take(std::uint8_t byte) {
  if (state_ == State::TakingBulk) {
    if (link::isHexDigit(static_cast<char>(byte))) {
      takeChunkDigit(static_cast<char>(byte));
      return;
    }
    // Anything else ends the bulk stream early; the byte is read as usual.
    note("bulk stopped after " + std::to_string(chunkIndex_) + " chunks", false);
    state_ = State::Programming;
    chunk_.clear();
  }
  if (byte == link::kWakeByte) {
    // No command word contains the wake byte: a lone letter right before it was a mode letter,
    // however little time passed between them.
    if (word_.size() == 1 && isModeLetter(word_.front())) modeLetter(word_.front());
    word_.clear();
    introduced_ = true;
  } else if (byte == link::kCarriageReturn) {
    endWord();
  } else if (word_.size() < kMaxWordLength) {
    word_ += static_cast<char>(byte);
  }
}

void VirtualRadio::takeChunkDigit(char digit) {
  chunk_ += digit;
  if (chunk_.size() < kChunkDigits) return;
  const std::vector<std::uint8_t> bytes = link::bytesFromHex(chunk_);
  const std::size_t base = link::kBulkStart + link::kDumpChunkBytes * chunkIndex_;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!keptFromBulk(base + i)) store(base + i, bytes[i]);
  }
  note("chunk " + std::to_string(chunkIndex_), true);
  if (!faults_.ackChunks || chunkIndex_ < *faults_.ackChunks) answer({kBulkAnswer});
  chunk_.clear();
  if (++chunkIndex_ == static_cast<int>(link::kDumpChunks)) {
    state_ = State::Programming;
    ++bulkWrites_;
  }
}

void VirtualRadio::endBurst() {
  inBurst_ = false;
  if (word_.size() == 1 && isModeLetter(word_.front())) {
    const char letter = word_.front();
    word_.clear();
    introduced_ = false;
    modeLetter(letter);
  }
  for (auto& bytes : burstAnswers_) {
    if (!faults_.silent)
      answers_.push_back(
          {std::move(bytes), std::max(lastByteAt_ + timing_.processingDelay, stoppedUntil_)});
  }
  burstAnswers_.clear();
}

void VirtualRadio::endWord() {
  const std::string word = std::exchange(word_, {});
  const bool introduced = std::exchange(introduced_, false);
  if (!word.empty()) execute(word, introduced);
}

void VirtualRadio::execute(const std::string& word, bool introduced) {
  auto command = parseCommand(word);
  if (!command && word.size() > 1 && isModeLetter(word.front())) {
    // A mode letter run together with the command that followed it.
    const auto rest = parseCommand(std::string_view(word).substr(1));
    if (rest && !isMemoryCommand(rest->kind)) {
      modeLetter(word.front());
      obey(*rest);
      return;
    }
  }
  if (!command || (isMemoryCommand(command->kind) && !introduced)) {
    note(word, false);
    return;
  }
  obey(*command);
}

void VirtualRadio::obey(const RadioCommand& command) {
  if (isTestCommand(command.kind) && state_ != State::Test) {
    note(command.word, false);
    return;
  }
  note(command.word, true);
  apply(command);
}

void VirtualRadio::store(std::size_t address, std::uint8_t byte) {
  const auto& corrupt = faults_.corruptAddresses;
  const bool inverted = std::find(corrupt.begin(), corrupt.end(), address) != corrupt.end();
  memory_[address] = inverted ? static_cast<std::uint8_t>(~byte) : byte;
}

void VirtualRadio::setHalfByte(std::uint16_t address, bool high, int value) {
  const auto half = static_cast<std::uint8_t>(std::clamp(value, 0, 15));
  std::uint8_t& byte = memory_[address];
  byte = high ? static_cast<std::uint8_t>((byte & 0x0F) | (half << 4))
              : static_cast<std::uint8_t>((byte & 0xF0) | half);
}

void VirtualRadio::apply(const RadioCommand& command) {
  switch (command.kind) {
    case CommandKind::Prog: {
      state_ = State::Programming;
      const std::size_t count =
          std::min(identity_.size(), faults_.identityBytes.value_or(identity_.size()));
      answer(std::vector<std::uint8_t>(identity_.begin(), identity_.begin() + count));
      break;
    }
    case CommandKind::Write:
      if (faults_.silentAfterWrites && ++writes_ >= *faults_.silentAfterWrites)
        faults_.silent = true;
      for (std::size_t i = 0; i < command.data.size(); ++i) {
        if (command.address + i < kMemorySize) store(command.address + i, command.data[i]);
      }
      break;
    case CommandKind::Read:
      ++reads_;
      if (faults_.silentAfterReads && reads_ > *faults_.silentAfterReads) faults_.silent = true;
      if (reads_ != faults_.skippedRead) {
        std::vector<std::uint8_t> digits = digitsOf(command.address, command.length);
        if (reads_ == faults_.shortRead && !digits.empty()) digits.pop_back();
        answer(std::move(digits));
      }
      break;
    case CommandKind::Signalling:
      memory_[kSignallingAddress] = static_cast<std::uint8_t>(command.value);
      break;
    case CommandKind::Dialling:
      memory_[kDiallingAddress] = static_cast<std::uint8_t>(command.value);
      break;
    case CommandKind::Scrambler: {
      const std::uint8_t low = command.value == 1 ? kScramblerOff : 0;
      memory_[kScramblerAddress] =
          static_cast<std::uint8_t>((memory_[kScramblerAddress] & 0xF0) | low);
      break;
    }
    case CommandKind::Compander:
      setHalfByte(kCompander.address, kCompander.high, command.value == 1 ? kCompanderOn : 0);
      break;
    case CommandKind::Volume:
      if (const HalfByte* v = named(kVolumes, command.name))
        setHalfByte(v->address, v->high, command.value);
      break;
    case CommandKind::Alignment:
      if (const ByteValue* a = named(kAlignments, command.name))
        memory_[a->address] = static_cast<std::uint8_t>(std::min(command.value, 255));
      break;
    case CommandKind::Calibration: {
      const std::size_t from =
          kCalibrationAddress + (command.value == 1 ? 0 : kCalibrationPointBytes);
      std::fill_n(memory_.begin() + static_cast<std::ptrdiff_t>(from), kCalibrationPointBytes,
                  static_cast<std::uint8_t>(command.value));
      break;
    }
    default:
      // The tests and the channel are taken and recorded; they change nothing stored.
      break;
  }
}

void VirtualRadio::modeLetter(char letter) {
  note(std::string(1, letter), true);
  const auto echo = [&] { return faults_.wrongLetter.value_or(static_cast<std::uint8_t>(letter)); };
  switch (letter) {
    case 'T':
      state_ = State::Test;
      answer({echo()});
      break;
    case 'Q':
      state_ = State::Idle;
      break;
    case 'U': {
      std::vector<std::uint8_t> bytes{echo()};
      const auto digits = digitsOf(link::kBulkStart, link::kBulkAnswerBytes);
      bytes.insert(bytes.end(), digits.begin(), digits.end());
      answer(std::move(bytes));
      break;
    }
    case 'D':
      state_ = State::TakingBulk;
      chunkIndex_ = 0;
      chunk_.clear();
      answer({kBulkAnswer});
      break;
    default:
      break;
  }
}

void VirtualRadio::answer(std::vector<std::uint8_t> bytes) {
  if (!bytes.empty()) burstAnswers_.push_back(std::move(bytes));
}

std::vector<std::uint8_t> VirtualRadio::digitsOf(std::size_t from, std::size_t count) const {
  const std::size_t end = std::min(kMemorySize, from + count);
  std::string digits =
      from < end ? link::hexDigits(std::span(memory_).subspan(from, end - from)) : std::string();
  if (faults_.answerDigits && digits.size() > *faults_.answerDigits) {
    digits.resize(*faults_.answerDigits);
  }
  if (faults_.garbageDigits) std::fill(digits.begin(), digits.end(), 'Z');
  return {digits.begin(), digits.end()};
}

void VirtualRadio::note(std::string text, bool accepted) {
  handled_.push_back({lastByteAt_, std::move(text), accepted});
  ++requests_;
  if (faults_.pause && requests_ == faults_.pause->atRequest)
    stoppedUntil_ = lastByteAt_ + faults_.pause->duration;
}

}  // namespace rcp::sim
