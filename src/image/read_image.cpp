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

// The memory areas the read fetches on their own, put in reading order.
constexpr auto kSmallReads = [] {
  std::array<SmallRead, readAreaCount()> out{};
  for (const MemoryArea& a : kMemoryAreas) {
    if (a.read.order < 0) continue;
    const AreaRead& r = a.read;
    out[static_cast<std::size_t>(r.order)] = {r.step,        a.address,     r.length,
                                              r.answerChars, r.neededChars, r.pacing};
  }
  return out;
}();

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
