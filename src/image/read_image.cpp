#include "image/read_image.hpp"

#include <array>
#include <stdexcept>
#include <string>

#include "image/group_lists.hpp"
#include "image/memory_map.hpp"
#include "image/phone_book.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"
#include "image/write_image.hpp"
#include "rules/channel_plan.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

using settings::ProgramState;
using settings::Record;

constexpr const char* kRangeSearchText = "指定范围搜索";
constexpr const char* kAllChannelsText = "全信道搜索";
constexpr const char* kCurrentGroupsText = "当前有效";
constexpr const char* kAllGroupsText = "全部有效";
constexpr int kNarrowSpacing = 125;
constexpr int kWideSpacing = 250;
constexpr std::array<const char*, 5> kTalkAroundControls = {"Talk", "TalkLab1", "TalkLab2",
                                                            "TalkIndivol", "TalkGrp"};

// Where the table keeps a field.
Address addressOf(std::string_view field) {
  const MapRow* row = rowOf(field);
  if (!row) throw std::logic_error("no memory row for " + std::string(field));
  return row->address;
}

class BulkDecoder {
 public:
  BulkDecoder(ProgramState& state, const MemoryImage& image)
      : state_(state), image_(image), record_(state) {}

  void run() {
    channelPlan();
    decode(ReadGroup::Hunting);
    decode(ReadGroup::Network);
    decode(ReadGroup::Counters);
    rights();
    scheme();
    decode(ReadGroup::Signalling);
    decodeBulkRadioType(state_, image_);
    decode(ReadGroup::Modes);
    talkAround();
    groupCallMode();
    const PhoneNumbers numbers = readPhoneNumbers(state_, image_);
    decodeNumberingArea(state_, image_);
    showPhoneBook(state_, image_, numbers);
    decodeBaseband(state_, image_);
  }

 private:
  void decode(ReadGroup group, Address from = 0, Address to = MemoryImage::kSize) {
    decodeRows(state_, image_, group, context_, from, to);
  }

  // Spacing first: its click rule resets the first segment, which the next steps overwrite.
  void channelPlan() {
    const bool narrow = image_.byte(addressOf("ChannelSpace")) == kNarrowSpacing;
    record_.set("ChannelSpace", std::int64_t{narrow ? kNarrowSpacing : kWideSpacing});
    context_.channelStep = settings::channelStep(state_);
    decode(ReadGroup::Channels);
    state_.main->setText("CurrentChannelNum", record_.text("FirstChannel"));
    state_.values.highestChannel = image_.word(addressOf("FirstStop"));
    decode(ReadGroup::Frequencies);
    state_.values.baseRxFreq = static_cast<int>(
        image_.frequency(addressOf("FirstRxFreq"), FrequencyWidth::Word, context_.channelStep));
    state_.values.baseTxFreq = static_cast<int>(
        image_.frequency(addressOf("FirstTxFreq"), FrequencyWidth::Word, context_.channelStep));
    decode(ReadGroup::RegCode);
    searchRange();
  }

  void searchRange() {
    const bool range = image_.flag(addressOf("RangeSearch"));
    record_.set("SearchWay", std::string(range ? kRangeSearchText : kAllChannelsText));
    rules::SearchWayChange(state_);  // the working value and the two fields follow the mode
    if (range) decode(ReadGroup::SearchRange);
  }

  void rights() {
    decode(ReadGroup::Rights);
    // The network number was clamped to the network type shown before; now that the stored
    // type is in place it is taken again, so a regional network keeps numbers above 3.
    const Address netId = addressOf("NetId");
    decode(ReadGroup::Network, netId, static_cast<Address>(netId + 1));
  }

  void scheme() {
    const bool cpsx = image_.lowFlag(addressOf("DiallingScheme"));
    record_.set("DiallingScheme", std::string(cpsx ? "CPSX" : "MPT1343"));
    if (!cpsx) decode(ReadGroup::Shrink);
  }

  void talkAround() {
    const bool on = image_.lowFlag(addressOf("Talk"));
    record_.set("Talk", on);
    for (const char* control : kTalkAroundControls) state_.main->setVisible(control, on);
  }

  void groupCallMode() {
    const bool current = image_.flag(addressOf("GrpWayCurrent"));
    state_.values.grpWayCurrent =
        current ? settings::GroupCallMode::CurrentGroup : settings::GroupCallMode::AllGroups;
    record_.set("GrpWay", std::string(current ? kCurrentGroupsText : kAllGroupsText));
  }

  ProgramState& state_;
  const MemoryImage& image_;
  Record record_;
  RowContext context_;
};

using S = ReadStep;
constexpr std::array<SmallRead, 26> kSmallReads = {{
    {S::RadioType, 0x1F7, 0x02, 4, 4},
    {S::Vrsq, 0x2DD, 0x01, 2, 2},
    {S::Vrpp0, 0x2DE, 0x01, 2, 2},
    {S::Vrpp, 0x2E1, 0x01, 2, 2},
    {S::Vrpp2, 0x2E2, 0x01, 2, 2},
    {S::Vrpp3, 0x2E3, 0x01, 2, 2},
    {S::VrSen1, 0x2E4, 0x01, 2, 2},
    {S::VrSen2, 0x2E5, 0x01, 2, 2},
    {S::VrSen3, 0x2E6, 0x01, 2, 2},
    {S::Vrbf, 0x2DF, 0x01, 2, 2},
    {S::Vrpwr, 0x2E0, 0x01, 2, 2},
    // The radio answers two characters; the read waits for sixteen.
    {S::Callback, 0x007, 0x01, 16, 2},
    {S::PttCode, 0x1FD, 0x01, 16, 2},
    {S::RangeLimits, 0x270, 0x10, 16, 16},
    {S::MenuBits, 0x2C2, 0x03, 6, 6},
    {S::SmallChoices, 0x000, 0x06, 12, 12},
    {S::KeyAndPower, 0x00A, 0x03, 6, 6},
    {S::InRing, 0x00E, 0x01, 2, 2},
    {S::HiddenGroups, 0x2A8, 0x18, 48, 48},
    {S::Timelimit, 0x2C0, 0x02, 4, 4},
    {S::WaitingGroups, 0x310, 0x78, 240, 240},
    {S::SystemLabels, 0x388, 0x78, 240, 240},
    {S::TalkAround, 0x210, 0x10, 32, 32},
    {S::StartUpText, 0x220, 0x10, 32, 32},
    {S::Simplex, 0x230, 0x40, 128, 128},
    {S::SystemAlarm, 0x2C9, 0x28, 40, 40},
}};

// A call-back or PTT-code answer: its first two characters as a decimal number, nonzero is on.
void decodeDecimalFlag(ProgramState& state, const char* field, std::string_view answer) {
  Record(state).set(field, ui::toInt32(answer.substr(0, 2)) != 0);
}

void decodeRowsIn(ProgramState& state, const MemoryImage& image, ReadGroup group,
                  const SmallRead& read) {
  decodeRows(state, image, group, {}, read.address,
             static_cast<Address>(read.address + read.neededChars / 2));
}

}  // namespace

bool decodeBulk(ProgramState& state, std::string_view answer) {
  if (answer.size() < kBulkAnswerChars) return false;
  MemoryImage image;
  image.loadHex(kBulkStart, answer.substr(0, kBulkAnswerChars));
  BulkDecoder(state, image).run();
  return true;
}

std::span<const SmallRead> smallReads() {
  return kSmallReads;
}

const SmallRead& smallRead(ReadStep step) {
  for (const SmallRead& r : kSmallReads)
    if (r.step == step) return r;
  throw std::out_of_range("no small read for that step");
}

bool decodeSmallRead(ReadSession& session, ReadStep step, std::string_view answer) {
  ProgramState& state = session.state;
  const SmallRead& read = smallRead(step);
  const bool complete = answer.size() >= read.neededChars;
  if (step == S::InRing && session.menuBits) {
    // The switches come from the earlier MenuBits answer, after the ring choice.
    if (complete) {
      MemoryImage image;
      image.loadHex(read.address, answer.substr(0, read.neededChars));
      decodeRowsIn(state, image, ReadGroup::SmallChoices, read);
    }
    applyMenuSwitches(state, *session.menuBits);
    return complete;
  }
  if (!complete) return false;

  MemoryImage image;
  image.loadHex(read.address, answer.substr(0, read.neededChars));
  switch (step) {
    case S::RadioType:
      decodeRadioType(state, image);
      break;
    case S::Vrsq:
    case S::Vrpp0:
    case S::Vrpp:
    case S::Vrpp2:
    case S::Vrpp3:
    case S::VrSen1:
    case S::VrSen2:
    case S::VrSen3:
    case S::Vrbf:
    case S::Vrpwr:
      decodeAlignment(state, image, read.address);
      break;
    case S::Callback:
      decodeDecimalFlag(state, "Callback", answer);
      break;
    case S::PttCode:
      decodeDecimalFlag(state, "PTT-code", answer);
      break;
    case S::RangeLimits:
      decodeRangeLimits(state, image);
      break;
    case S::MenuBits:
      session.menuBits = menuBitsIn(image);
      break;
    case S::SmallChoices:
    case S::KeyAndPower:
    case S::InRing:
      decodeRowsIn(state, image, ReadGroup::SmallChoices, read);
      break;
    case S::HiddenGroups:
      decodeHiddenGroups(state, image);
      break;
    case S::Timelimit:
      decodeRowsIn(state, image, ReadGroup::Timelimit, read);
      break;
    case S::WaitingGroups:
      decodeWaitingGroups(state, image);
      break;
    case S::SystemLabels:
      decodeSystemLabels(state, image);
      break;
    case S::TalkAround:
      decodeTalkAround(state, image);
      break;
    case S::StartUpText:
      decodeStartUpText(state, image);
      break;
    case S::Simplex:
      decodeSimplex(state, image);
      break;
    case S::SystemAlarm:
      decodeSystemAlarm(state, image);
      break;
  }
  return true;
}

MenuBits decodeMemory(ProgramState& state, const MemoryImage& memory) {
  decodeBulk(state, memory.hex(kBulkStart, kBulkAnswerChars / 2));
  ReadSession session(state);
  for (const SmallRead& r : smallReads())
    decodeSmallRead(session, r.step, memory.hex(r.address, r.neededChars / 2));
  return *session.menuBits;
}

}  // namespace rcp::image
