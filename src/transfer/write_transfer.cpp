#include "transfer/write_transfer.hpp"

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>

#include "image/group_lists.hpp"
#include "transfer/progress.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"
#include "image/write_image.hpp"
#include "image/write_records.hpp"
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

class WriteTransfer {
 public:
  WriteTransfer(ProgramState& state, WriteImage image, FailureMessage failure,
                const std::optional<ReadBack>& restoring)
      : state_(state),
        port_(state.port),
        clock_(state.clock),
        image_(std::move(image)),
        progress_(state),
        failure_(failure),
        restoring_(restoring) {}

  WriteImage takeImage() { return std::move(image_); }

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

    sendRecords(RecordStage::BeforeIdentification);
    settings::applyIdentification(state_, link::IdentifyPurpose::Write);
    reencodeAfterIdentification(state_, image_);
    if (restoring_) keepReadBytes(state_, image_, *restoring_);
    sendRecords(RecordStage::AfterIdentification);

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

  void lead(RecordLead lead) {
    switch (lead) {
      case RecordLead::PauseWakePause:
        clock_.pause(kPauseMs);
        [[fallthrough]];
      case RecordLead::WakePause:
        send(link::wakeByte());
        pauseAndPurge(kPauseMs);
        break;
      case RecordLead::Pause:
        pauseAndPurge(kPauseMs);
        break;
      case RecordLead::Purge:
        port_.purgeReceive();
        break;
      case RecordLead::WakeLongPause:
        send(link::wakeByte());
        pauseAndPurge(kLongPauseMs);
        break;
    }
  }

  // A record the write does not send this time (the PTT code while its switch is hidden, the
  // second part of a short alarm number, the Test tab's bytes on another tab) is skipped with its
  // lead.
  void sendRecords(RecordStage stage) {
    for (const WriteRecordDef& row : kWriteRecords) {
      if (row.stage != stage) continue;
      for (int line = 0; line < row.lines; ++line) {
        const MemoryRecord* record = image_.record(lineAddress(row, line));
        if (!record) continue;
        lead(row.lead);
        send(link::writeCommand(record->address, record->lengthField, record->data));
        if (row.progress) progress_.step(row.progress);
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
        if (failure_ == FailureMessage::Shown)
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
  FailureMessage failure_;
  const std::optional<ReadBack>& restoring_;
};

}  // namespace

TransferOutcome writeToRadio(ProgramState& state, const MenuBits& menuBits) {
  return writeImageToRadio(state, menuBits, FailureMessage::Shown).outcome;
}

WriteResult writeImageToRadio(ProgramState& state, const MenuBits& menuBits, FailureMessage failure,
                              const std::optional<ReadBack>& restoring) {
  const bool testTab = testmode::isTestTabActive(state);
  if (testTab) state.port.write(link::modeLetter(link::ModeLetter::Leave));
  WriteEncoding encoded = encodeWrite(state, menuBits);
  if (const auto* error = std::get_if<EncodeError>(&encoded))
    throw FieldError(error->field, error->message);
  WriteImage image = std::move(std::get<WriteImage>(encoded));
  if (restoring) keepReadBytes(state, image, *restoring);
  WriteTransfer transfer(state, std::move(image), failure, restoring);
  const TransferOutcome outcome = transfer.run(testTab);
  return {outcome, transfer.takeImage()};
}

}  // namespace rcp::image
