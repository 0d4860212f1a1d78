#include "image/small_records.hpp"

#include <algorithm>
#include <string>

#include "image/field_locations.hpp"
#include "link/cp936.hpp"
#include "link/line_text.hpp"
#include "settings/menu_switch_table.hpp"

namespace rcp::image {

namespace {

// ---- menu bits

// The bits no switch drives that are written back as last read.
constexpr MenuBits kCarriedBits = {0x00, 0x0F, 0x03};

// ---- talk-around numbers and channel 9

constexpr std::size_t kTalkDigitBytes = 4;  // 8 digits
constexpr Address kTalkIndividualCount = 0x210;
constexpr Address kTalkIndividualDigits = 0x211;
constexpr Address kSimplex9Tx = 0x215;
constexpr Address kSimplex9Rx = 0x218;
constexpr Address kTalkGroupCount = 0x21B;
constexpr Address kTalkGroupDigits = 0x21C;

// ---- start-up text and off-network channels

constexpr std::size_t kStartUpBytes = 8;
constexpr std::uint8_t kSpace = 0x20;
constexpr int kSimplexStep = 125;
constexpr std::size_t kFrequencyBytes = 3;
constexpr int kFirstTabled = 10;  // channels 10 to 19 lie in the two tables

// The code-page bytes of a text, cut to `limit` bytes without splitting a two-byte character.
std::string codePageBytes(std::string_view text, std::size_t limit) {
  const std::string bytes = link::encodeCp936(text);
  std::size_t end = 0;
  while (end < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[end]);
    const std::size_t width = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return bytes.substr(0, end);
}

std::span<const std::uint8_t> asBytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// The text of `count` bytes up to the first 0x00 byte, from the code page; other control bytes
// show as spaces, as a field and a data file can hold them.
std::string textAt(const MemoryImage& image, Address at, std::size_t count) {
  const std::vector<std::uint8_t> bytes = image.bytes(at, count);
  const auto end = std::find(bytes.begin(), bytes.end(), 0);
  return link::lineText(link::decodeCp936(std::string(bytes.begin(), end)));
}

void storePadded(FieldReader& fields, MemoryImage& image, Address at, const char* field) {
  std::string bytes = codePageBytes(fields.text(field), kStartUpBytes);
  bytes.resize(kStartUpBytes, static_cast<char>(kSpace));
  image.setBytes(at, asBytes(bytes));
}

std::string simplexField(int channel, bool rx) {
  return "Simplex" + std::to_string(channel) + (rx ? "RxFreq" : "TxFreq");
}

void storeSimplex(FieldReader& fields, MemoryImage& image, Address at, int channel, bool rx) {
  const std::string field = simplexField(channel, rx);
  fields.fit(field, channelCount(fields.number(field), kSimplexStep), 3);
  image.setFrequency(at, FrequencyWidth::Triple, kSimplexStep, fields.number(field));
}

void showSimplex(settings::Record& record, const MemoryImage& image, Address at, int channel,
                 bool rx) {
  record.set(simplexField(channel, rx), image.frequency(at, FrequencyWidth::Triple, kSimplexStep));
}

// A talk-around number as its field holds it: the counted nibbles that are decimal digits. A
// half-byte above 9 is no digit of a number the field could show or write back.
std::string talkDigits(const MemoryImage& image, Address digits, Address count) {
  std::string text = image.nibbleDigits(digits, kTalkDigitBytes, image.byte(count));
  std::erase_if(text, [](char c) { return c < '0' || c > '9'; });
  return text;
}

Address tabledAt(Address table, int channel) {
  return static_cast<Address>(table +
                              kFrequencyBytes * static_cast<std::size_t>(channel - kFirstTabled));
}

}  // namespace

void encodeMenuBits(FieldReader& fields, MemoryImage& image, const MenuBits& lastRead) {
  MenuBits bits;
  for (std::size_t i = 0; i < bits.size(); ++i)
    bits[i] = static_cast<std::uint8_t>(lastRead[i] & kCarriedBits[i]);
  for (const settings::MenuSwitchDef& s : settings::kMenuSwitches)
    if (fields.flag(s.field)) bits[s.menuByte] |= s.mask;
  image.setBytes(kMenuBits, bits);
}

MenuBits menuBitsIn(const MemoryImage& image) {
  MenuBits bits;
  for (std::size_t i = 0; i < bits.size(); ++i)
    bits[i] = image.byte(static_cast<Address>(kMenuBits + i));
  return bits;
}

void applyMenuSwitches(settings::ProgramState& state, const MenuBits& bits) {
  settings::Record record(state);
  for (const settings::MenuSwitchDef* s : settings::menuSwitchesInBitOrder())
    record.set(s->field, (bits[s->menuByte] & s->mask) != 0);
}

void encodeTalkAround(FieldReader& fields, MemoryImage& image) {
  std::string individual = fields.digitString("TalkIndivol");
  individual.resize(std::min(individual.size(), 2 * kTalkDigitBytes));
  image.setByte(kTalkIndividualCount, static_cast<std::uint8_t>(individual.size()));
  image.setNibbleDigits(kTalkIndividualDigits, kTalkDigitBytes, individual);
  storeSimplex(fields, image, kSimplex9Tx, 9, false);
  storeSimplex(fields, image, kSimplex9Rx, 9, true);
  // Only the first eight digits of the talk-around group fit; the count still gives them all.
  const std::string group = fields.digitString("TalkGrp");
  image.setByte(kTalkGroupCount, static_cast<std::uint8_t>(fields.fit(
                                     "TalkGrp", static_cast<std::int64_t>(group.size()), 1)));
  image.setNibbleDigits(kTalkGroupDigits, kTalkDigitBytes,
                        std::string_view(group).substr(0, 2 * kTalkDigitBytes));
}

void decodeTalkAround(settings::ProgramState& state, const MemoryImage& image) {
  settings::Record record(state);
  record.set("TalkIndivol", talkDigits(image, kTalkIndividualDigits, kTalkIndividualCount));
  showSimplex(record, image, kSimplex9Tx, 9, false);
  showSimplex(record, image, kSimplex9Rx, 9, true);
  record.set("TalkGrp", talkDigits(image, kTalkGroupDigits, kTalkGroupCount));
}

void encodeStartUpText(FieldReader& fields, MemoryImage& image) {
  storePadded(fields, image, kStartUpText, "StartUp-Infomation");
  storePadded(fields, image, static_cast<Address>(kStartUpText + kStartUpBytes),
              "StartUp-Password");
}

void decodeStartUpText(settings::ProgramState& state, const MemoryImage& image) {
  settings::Record record(state);
  record.set("StartUp-Infomation", textAt(image, kStartUpText, kStartUpBytes));
  record.set("StartUp-Password",
             textAt(image, static_cast<Address>(kStartUpText + kStartUpBytes), kStartUpBytes));
}

void encodeSimplex(FieldReader& fields, MemoryImage& image) {
  for (int channel = kFirstTabled; channel <= settings::WorkingValues::lastSimplex; ++channel) {
    storeSimplex(fields, image, tabledAt(kSimplexTx, channel), channel, false);
    storeSimplex(fields, image, tabledAt(kSimplexRx, channel), channel, true);
  }
}

void decodeSimplex(settings::ProgramState& state, const MemoryImage& image) {
  settings::Record record(state);
  for (int channel = kFirstTabled; channel <= settings::WorkingValues::lastSimplex; ++channel)
    showSimplex(record, image, tabledAt(kSimplexTx, channel), channel, false);
  for (int channel = kFirstTabled; channel <= settings::WorkingValues::lastSimplex; ++channel)
    showSimplex(record, image, tabledAt(kSimplexRx, channel), channel, true);
}

std::size_t encodeSystemAlarm(FieldReader& fields, MemoryImage& image) {
  const std::string bytes = codePageBytes(fields.text("系统告警号"), kSystemAlarmBytes);
  image.setBytes(kSystemAlarm, asBytes(bytes));
  if (bytes.size() < kSystemAlarmBytes)
    image.setByte(static_cast<Address>(kSystemAlarm + bytes.size()), 0);
  return bytes.size();
}

void decodeSystemAlarm(settings::ProgramState& state, const MemoryImage& image) {
  settings::Record(state).set("系统告警号", textAt(image, kSystemAlarm, kSystemAlarmBytes));
}

void addSmallRecordLocations(Locations& out) {
  for (const settings::MenuSwitchDef& s : settings::kMenuSwitches)
    out.push_back({static_cast<Address>(kMenuBits + s.menuByte), 1, s.mask, s.field, "bit"});
  for (std::size_t i = 0; i < kCarriedBits.size(); ++i)
    for (std::uint8_t mask = 1; mask != 0; mask = static_cast<std::uint8_t>(mask << 1))
      if (kCarriedBits[i] & mask)
        out.push_back({static_cast<Address>(kMenuBits + i), 1, mask, "",
                       "carried over as the last read brought it"});
  out.push_back({static_cast<Address>(kMenuBits + 1), 1, 0x40, "", "always 0"});
  constexpr const char* kDigits = "decimal digits, two to a byte";
  constexpr const char* kSimplexFrequency = "three bytes of 12.5 kHz steps";
  out.push_back({kTalkIndividualCount, 1, 0, "TalkIndivol", "digit count"});
  out.push_back({kTalkIndividualDigits, kTalkDigitBytes, 0, "TalkIndivol", kDigits});
  out.push_back({kSimplex9Tx, kFrequencyBytes, 0, simplexField(9, false), kSimplexFrequency});
  out.push_back({kSimplex9Rx, kFrequencyBytes, 0, simplexField(9, true), kSimplexFrequency});
  out.push_back({kTalkGroupCount, 1, 0, "TalkGrp", "digit count"});
  out.push_back({kTalkGroupDigits, kTalkDigitBytes, 0, "TalkGrp", kDigits});
  out.push_back(
      {kStartUpText, kStartUpBytes, 0, "StartUp-Infomation", "code-page text padded with spaces"});
  out.push_back({static_cast<Address>(kStartUpText + kStartUpBytes), kStartUpBytes, 0,
                 "StartUp-Password", "code-page text padded with spaces"});
  for (int channel = kFirstTabled; channel <= settings::WorkingValues::lastSimplex; ++channel) {
    out.push_back({tabledAt(kSimplexTx, channel), kFrequencyBytes, 0, simplexField(channel, false),
                   kSimplexFrequency});
    out.push_back({tabledAt(kSimplexRx, channel), kFrequencyBytes, 0, simplexField(channel, true),
                   kSimplexFrequency});
  }
  out.push_back({kSystemAlarm, kSystemAlarmBytes, 0, "系统告警号",
                 "code-page text, then 0x00 when shorter than 20 bytes"});
}

}  // namespace rcp::image
