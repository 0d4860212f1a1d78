#include "image/write_transfer.hpp"

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>

#include "image/group_lists.hpp"
#include "image/progress.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"
#include "image/write_image.hpp"
#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "settings/radio_session.hpp"
#include "testmode/test_channel.hpp"
#include "testmode/test_state.hpp"

namespace rcp::image {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

constexpr int kPauseMs = 30;
constexpr int kLongPauseMs = 50;
constexpr int kSettleMs = 800;
constexpr std::size_t kChunkChars = 2 * link::kDumpChunkBytes;

// What goes before a small record on the line; the radio has always been given these five.
enum class Lead {
  WakePause,       // wake byte, 30 ms, receive purge
  Pause,           // 30 ms, receive purge
  Purge,           // receive purge only
  WakeLongPause,   // wake byte, 50 ms, receive purge
  PauseWakePause,  // 30 ms, then wake byte, 30 ms, receive purge
};

// One small record in sending order: its address, what goes before it and the progress after
// it. A list sends `lines` 12-byte lines from the address on, each led and counted alike. A
// record the write does not send this time (the PTT code while its switch is hidden, the second
// part of a short alarm number, the Test tab's bytes on another tab) is skipped with its lead.
struct RecordStep {
  Address address;
  Lead lead;
  int progress = 0;
  int lines = 1;
};

constexpr Address at(std::size_t address) {
  return static_cast<Address>(address);
}

// Up to the talk-around switch; the model is identified after these.
constexpr std::array<RecordStep, 14> kFirstRecords = {{
    {kMenuBits, Lead::WakePause},
    {0x000, Lead::Pause},
    {0x00A, Lead::Pause},
    {0x00E, Lead::Purge},
    {0x007, Lead::Pause},  // call-back
    {0x1F9, Lead::WakePause},
    {0x1FB, Lead::WakePause},
    {0x1FD, Lead::WakePause},  // PTT code
    {kSystemAlarm, Lead::WakeLongPause},
    {at(kSystemAlarm + 10), Lead::WakeLongPause},  // the rest of an alarm number above ten
    {kBaudRate, Lead::WakePause},
    {kRadioType, Lead::WakePause},
    {kRangeLimits, Lead::PauseWakePause},
    {0x1F3, Lead::PauseWakePause, 2},  // talk-around
}};

// From the talk-around numbers on, built after the identification.
constexpr std::array<RecordStep, 20> kLaterRecords = {{
    {kTalkAround, Lead::WakePause, 2},
    {kStartUpText, Lead::WakePause, 2},
    {kSimplexTx, Lead::WakePause, 2},
    {at(kSimplexTx + 15), Lead::WakePause, 2},
    {kSimplexRx, Lead::WakePause, 1},
    {at(kSimplexRx + 15), Lead::WakePause, 1},
    {0x1F2, Lead::WakePause},  // search mode
    {0x1F4, Lead::WakePause},  // group call mode
    {0x1FA, Lead::WakePause},  // PSTN length
    {0x1FC, Lead::Pause, 1},   // ring category
    {0x278, Lead::Pause},      // group digit counts
    {0x280, Lead::WakePause},
    {0x28A, Lead::WakePause},
    {0x294, Lead::Pause},
    {0x29E, Lead::Pause, 1},
    {kHiddenGroups, Lead::Pause},
    {at(kHiddenGroups + kListLineBytes), Lead::Pause},
    {kWaitingGroups, Lead::Pause, 1, 10},
    {kSystemLabels, Lead::Pause, 1, 10},
    {0x2C0, Lead::Pause, 1},  // time limit
}};

class WriteTransfer {
 public:
  WriteTransfer(ProgramState& state, WriteImage image)
      : state_(state),
        port_(state.port),
        clock_(state.clock),
        image_(std::move(image)),
        progress_(state) {}

  TransferOutcome run(bool testTab) {
    if (!link::greet(port_, clock_, link::GreetingPurpose::Write, state_.radioIdentity)
             .radioAnswered) {
      settings::reportNoRadio(state_);
      return TransferOutcome::NoRadio;
    }
    state_.showStatus(StatusPanel::State, kWritingText);
    state_.repaintStatusBar();
    progress_.open(kWritingText);
    progress_.step(1);
    sendModes();

    sendRecords(kFirstRecords);
    settings::applyIdentification(state_, link::IdentifyPurpose::Write);
    reencodeAfterIdentification(state_, image_);
    sendRecords(kLaterRecords);

    const bool written = sendBulk();
    if (written) {
      progress_.setActivity(kWriteDoneText);
      clock_.pause(kPauseMs);
      state_.showStatus(StatusPanel::State, kWriteDoneText);
      state_.repaintStatusBar();
    } else {
      clock_.pause(kPauseMs);
    }
    progress_.close();
    clock_.pause(kSettleMs);
    if (testTab) backToTestState();
    return written ? TransferOutcome::Done : TransferOutcome::Failed;
  }

 private:
  void send(std::span<const std::uint8_t> bytes) { port_.write(bytes); }
  void pauseAndPurge(int ms) {
    clock_.pause(ms);
    port_.purgeReceive();
  }

  // Signalling, dialling scheme and scrambling, in that order, then out of the test state.
  void sendModes() {
    const WriteModes& modes = image_.modes;
    send(link::settingCommand(modes.enhancedSignalling ? "STANDARD1" : "STANDARD0"));
    pauseAndPurge(kPauseMs);
    send(link::settingCommand(modes.cpsxDialling ? "MODE1" : "MODE0"));
    clock_.pause(kPauseMs);
    progress_.step(1);
    port_.purgeReceive();
    send(link::settingCommand(modes.scramblerOff ? "PN1" : "PN0"));
    send(link::modeLetter(link::ModeLetter::Leave));
    port_.purgeReceive();
    clock_.pause(kPauseMs);
    progress_.step(2);
  }

  void lead(Lead lead) {
    switch (lead) {
      case Lead::PauseWakePause:
        clock_.pause(kPauseMs);
        [[fallthrough]];
      case Lead::WakePause:
        send(link::wakeByte());
        pauseAndPurge(kPauseMs);
        break;
      case Lead::Pause:
        pauseAndPurge(kPauseMs);
        break;
      case Lead::Purge:
        port_.purgeReceive();
        break;
      case Lead::WakeLongPause:
        send(link::wakeByte());
        pauseAndPurge(kLongPauseMs);
        break;
    }
  }

  template <std::size_t N>
  void sendRecords(const std::array<RecordStep, N>& steps) {
    for (const RecordStep& step : steps) {
      for (int line = 0; line < step.lines; ++line) {
        const MemoryRecord* record =
            image_.record(at(step.address + kListLineBytes * static_cast<std::size_t>(line)));
        if (!record) continue;
        lead(step.lead);
        send(link::writeCommand(record->address, record->lengthField, record->data));
        if (step.progress) progress_.step(step.progress);
      }
    }
  }

  // The bulk greeting, then the chunks, each acknowledged by one byte; the first chunk without
  // its acknowledgement ends the bulk block.
  bool sendBulk() {
    link::greetBeforeBulkChunks(port_, clock_, state_.radioIdentity,
                                [this] { settings::showIdentity(state_); });
    state_.showStatus(StatusPanel::State, kWritingText);
    state_.repaintStatusBar();
    const std::string_view bulk = image_.bulk;
    for (std::size_t i = 0; i < link::kDumpChunks; ++i) {
      send(link::textBytes(bulk.substr(kChunkChars * i, kChunkChars)));
      port_.purgeReceive();
      clock_.pause(kPauseMs);
      std::uint8_t ack = 0;
      if (port_.read(std::span(&ack, 1)) != 1) {
        state_.screen.setBusy(false);
        state_.dialogs.message({kWriteFailedText, kTransferCaption, ui::MessageIcon::Error});
        state_.showStatus(StatusPanel::State, kWriteFailedText);
        state_.repaintStatusBar();
        return false;
      }
      progress_.step(1);
    }
    return true;
  }

  void backToTestState() {
    const link::Bytes channel = testmode::currentChannelCommand(*state_.main);
    link::returnToTestState(port_, clock_, state_.radioIdentity, link::AfterTransfer::Writing,
                            channel);
  }

  ProgramState& state_;
  link::Port& port_;
  link::Clock& clock_;
  WriteImage image_;
  TransferProgress progress_;
};

// Every record the encoding made has its place in the sending order.
template <std::size_t N>
bool placed(Address address, const std::array<RecordStep, N>& steps) {
  for (const RecordStep& step : steps)
    for (int line = 0; line < step.lines; ++line)
      if (address == at(step.address + kListLineBytes * static_cast<std::size_t>(line)))
        return true;
  return false;
}

void checkPlaces(const WriteImage& image) {
  for (const MemoryRecord& record : image.records)
    if (!placed(record.address, kFirstRecords) && !placed(record.address, kLaterRecords))
      throw std::logic_error("the write has no place for its record at " +
                             std::to_string(record.address));
}

}  // namespace

TransferOutcome writeToRadio(ProgramState& state, const MenuBits& menuBits) {
  const bool testTab = testmode::isTestTabActive(state);
  if (testTab) state.port.write(link::modeLetter(link::ModeLetter::Leave));
  WriteEncoding encoded = encodeWrite(state, menuBits);
  if (const auto* error = std::get_if<EncodeError>(&encoded))
    throw FieldError(error->field, error->message);
  WriteImage& image = std::get<WriteImage>(encoded);
  checkPlaces(image);
  return WriteTransfer(state, std::move(image)).run(testTab);
}

}  // namespace rcp::image
