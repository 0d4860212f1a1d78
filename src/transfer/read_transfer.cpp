#include "transfer/read_transfer.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/read_image.hpp"
#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "rules/channel_plan.hpp"
#include "settings/radio_session.hpp"
#include "testmode/test_channel.hpp"
#include "testmode/test_state.hpp"
#include "transfer/progress.hpp"
#include "ui/conversion_error.hpp"

namespace rcp::image {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

constexpr int kBeforeWakeMs = 10;
constexpr int kBeforeRequestMs = 20;
constexpr int kSettleMs = 800;
constexpr int kOpeningProgress = 3;
// Before the small reads the bar moves on by 3 six times, each followed by its pause.
constexpr std::array<int, 6> kPacingPausesMs = {150, 150, 150, 150, 50, 10};
constexpr int kPacingProgress = 3;

class ReadTransfer {
 public:
  ReadTransfer(ProgramState& state, std::string_view activity)
      : state_(state),
        port_(state.port),
        clock_(state.clock),
        progress_(state),
        session_(state),
        activity_(activity) {}

  // After the radio answered "U": everything up to the end of the read.
  ReadResult run() {
    state_.showStatus(StatusPanel::State, kReadingText);
    progress_.open(activity_);
    progress_.step(kOpeningProgress);
    settings::showIdentity(state_);
    settings::applyIdentification(state_, link::IdentifyPurpose::Read);

    reading_.bulk = readChars(kBulkAnswerChars);
    if (reading_.bulk.size() == kBulkAnswerChars)
      decodeBulk(state_, reading_.bulk);
    else
      incomplete_ = true;

    for (const int pauseMs : kPacingPausesMs) {
      progress_.step(kPacingProgress);
      clock_.pause(pauseMs);
    }
    try {
      for (const SmallRead& read : smallReads()) smallRead(read);
    } catch (const ui::ConversionError& e) {
      // The read stops here, the window holding part of the radio and part of what it had.
      progress_.close();
      state_.showStatus(StatusPanel::State, kReadFailedText);
      state_.repaintStatusBar();
      throw ReadStopped(std::string(kReadNoNumberMessage) + e.what());
    }

    progress_.close();
    state_.showStatus(StatusPanel::State, incomplete_ ? kReadFailedText : kReadDoneText);
    state_.repaintStatusBar();
    if (incomplete_)
      state_.dialogs.message({kReadFailedMessage, kTransferCaption, ui::MessageIcon::Error});
    clock_.pause(kSettleMs);
    return {incomplete_ ? TransferOutcome::Failed : TransferOutcome::Done, session_.menuBits,
            std::move(reading_)};
  }

 private:
  std::string readChars(std::size_t count) {
    std::string answer(count, '\0');
    const std::size_t got =
        port_.read(std::span(reinterpret_cast<std::uint8_t*>(answer.data()), count));
    answer.resize(got);
    return answer;
  }

  void smallRead(const SmallRead& read) {
    const ReadPacing& pacing = read.pacing;
    if (pacing.wake) {
      clock_.pause(kBeforeWakeMs);
      port_.write(link::wakeByte());
    }
    clock_.pause(kBeforeRequestMs);
    if (pacing.purge) port_.purgeReceive();
    port_.write(link::readCommand(read.address, read.length));
    const std::string& answer = reading_.answers.emplace_back(readChars(read.answerChars));
    if (answer.size() < read.neededChars) incomplete_ = true;
    if (pacing.progressOnAnswer) progress_.step(pacing.progressOnAnswer);

    const bool complete = decodeSmallRead(session_, read.step, answer);
    if (pacing.onlyComplete && !complete) return;
    for (int i = 0; i < pacing.repeat; ++i) step(pacing.progressAfter[0]);
    step(pacing.progressAfter[1]);
  }

  void step(int n) {
    if (n) progress_.step(n);
  }

  ProgramState& state_;
  link::Port& port_;
  link::Clock& clock_;
  TransferProgress progress_;
  ReadSession session_;
  std::string activity_;
  RadioReading reading_;
  bool incomplete_ = false;  // an answer was short of what its step needs, or missing
};

// On every path: the test channel shown from the first channel and the radio back in its test
// state when the Test tab is active, then the stop-channel checks of the three segments.
void finishRead(ProgramState& state, bool testTab) {
  if (testTab) {
    testmode::showFirstChannel(state);
    const link::Bytes channel = testmode::currentChannelCommand(*state.main);
    link::returnToTestState(state.port, state.clock, state.radioIdentity,
                            link::AfterTransfer::Reading, channel);
  }
  for (int segment = 1; segment <= 3; ++segment) rules::ChannelStopNumExit(state, segment);
}

}  // namespace

ReadResult readFromRadio(ProgramState& state, std::string_view activity) {
  const bool testTab = testmode::isTestTabActive(state);
  if (testTab) state.port.write(link::modeLetter(link::ModeLetter::Leave));
  ReadResult result{TransferOutcome::NoRadio, std::nullopt};
  if (link::greet(state.port, state.clock, link::GreetingPurpose::Read, state.radioIdentity)
          .radioAnswered) {
    result = ReadTransfer(state, activity).run();
  } else {
    settings::reportNoRadio(state);
  }
  finishRead(state, testTab);
  return result;
}

}  // namespace rcp::image
