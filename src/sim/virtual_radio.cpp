#include "sim/virtual_radio.hpp"

#include <algorithm>
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

void VirtualRadio::receive(std::span<const std::uint8_t> bytes, Micros at) {
  for (const std::uint8_t byte : bytes) {
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
    if (!keptFromBulk(base + i)) memory_[base + i] = bytes[i];
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
      answers_.push_back({std::move(bytes), lastByteAt_ + timing_.processingDelay});
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
      note(rest->word, true);
      apply(*rest);
      return;
    }
  }
  if (!command || (isMemoryCommand(command->kind) && !introduced)) {
    note(word, false);
    return;
  }
  note(word, true);
  apply(*command);
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
      for (std::size_t i = 0; i < command.data.size(); ++i) {
        if (command.address + i < kMemorySize) memory_[command.address + i] = command.data[i];
      }
      break;
    case CommandKind::Read:
      answer(digitsOf(command.address, command.length));
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
    default:
      // Test and alignment commands are taken and recorded; they change nothing stored.
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
}

}  // namespace rcp::sim
