#include "image/write_image.hpp"

#include <array>
#include <stdexcept>

#include "image/group_lists.hpp"
#include "image/memory_map.hpp"
#include "image/phone_book.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"
#include "link/hex_text.hpp"
#include "testmode/test_state.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

// When a record goes out.
enum class When { Always, TranscodeVisible, TestPage, TestPageBaud, SystemAlarm };

struct RecordDef {
  Address address;
  std::uint8_t bytes;
  When when = When::Always;
  std::uint8_t lengthField = 0;  // 0: the data length
};

// The small records in the order the write sends them. The range limits and the simplex
// tables carry a length field of 0x10 whatever their data length.
std::vector<RecordDef> recordOrder() {
  std::vector<RecordDef> order = {
      {kMenuBits, 3},
      {0x000, 6},
      {0x00A, 3},
      {0x00E, 1},
      {0x007, 1},
      {0x1F9, 1},
      {0x1FB, 1},
      {0x1FD, 1, When::TranscodeVisible},
      {kSystemAlarm, 0, When::SystemAlarm},
      {kBaudRate, 1, When::TestPageBaud},
      {kRadioType, 1, When::TestPage},
      {kRangeLimits, kRangeLimitBytes, When::Always, 0x10},
      {0x1F3, 1},
      {kTalkAround, 16},
      {kStartUpText, 16},
      {kSimplexTx, 15, When::Always, 0x10},
      {static_cast<Address>(kSimplexTx + 15), 15, When::Always, 0x10},
      {kSimplexRx, 15, When::Always, 0x10},
      {static_cast<Address>(kSimplexRx + 15), 15, When::Always, 0x10},
      {0x1F2, 1},
      {0x1F4, 1},
      {0x1FA, 1},
      {0x1FC, 1},
      {0x278, 8},
      {0x280, 10},
      {0x28A, 10},
      {0x294, 10},
      {0x29E, 10},
      {kHiddenGroups, kListLineBytes},
      {static_cast<Address>(kHiddenGroups + kListLineBytes), kListLineBytes},
  };
  for (Address list : {kWaitingGroups, kSystemLabels})
    for (std::size_t m = 0; m < 10; ++m)
      order.push_back({static_cast<Address>(list + kListLineBytes * m), kListLineBytes});
  order.push_back({0x2C0, 2});
  return order;
}

constexpr std::size_t kAlarmFirstPart = 10;

MemoryRecord slice(const MemoryImage& memory, Address at, std::size_t bytes,
                   std::uint8_t lengthField = 0) {
  return {at, lengthField ? lengthField : static_cast<std::uint8_t>(bytes),
          memory.bytes(at, bytes)};
}

// The system alarm number goes out in one record, or in two when it is longer than ten bytes;
// either way its terminating 0x00 follows the text unless the text fills all twenty bytes.
void addSystemAlarm(std::vector<MemoryRecord>& records, const MemoryImage& memory, std::size_t n) {
  const std::size_t stored = n < kSystemAlarmBytes ? n + 1 : n;
  if (n <= kAlarmFirstPart) {
    records.push_back(slice(memory, kSystemAlarm, stored));
    return;
  }
  records.push_back(slice(memory, kSystemAlarm, kAlarmFirstPart));
  records.push_back(slice(memory, static_cast<Address>(kSystemAlarm + kAlarmFirstPart),
                          stored - kAlarmFirstPart));
}

std::vector<MemoryRecord> buildRecords(settings::ProgramState& state, const WriteImage& w) {
  std::vector<MemoryRecord> records;
  const bool testPage = testmode::isTestTabActive(state);
  for (const RecordDef& r : recordOrder()) {
    switch (r.when) {
      case When::Always:
        break;
      case When::TranscodeVisible:
        if (!state.main->at("Transcode").visible) continue;
        break;
      case When::TestPage:
        if (!testPage) continue;
        break;
      case When::TestPageBaud:
        if (!testPage || !baudRateChosen(state)) continue;
        break;
      case When::SystemAlarm:
        addSystemAlarm(records, w.memory, w.systemAlarmBytes);
        continue;
    }
    records.push_back(slice(w.memory, r.address, r.bytes, r.lengthField));
  }
  return records;
}

// The bulk block as written: the scrambler and volume bytes and the mode bytes are set by their
// own commands and go out as zeros.
std::string bulkText(const MemoryImage& memory) {
  MemoryImage bulk = memory;
  bulk.clear(0x0DC, 4);
  bulk.clear(0x1F0, 8);
  return bulk.hex(kBulkStart, kBulkWriteBytes);
}

// The three code lengths hold at most 15; the write puts 15 into a longer one on the form.
void limitCodeLengths(settings::ProgramState& state) {
  settings::Record record(state);
  for (const char* field : {"ZoneLength", "AreaLength", "SilLength"}) {
    const auto value = ui::parseInt32(record.text(field));
    if (value && *value > 15) record.set(field, std::string("15"));
  }
}

void refresh(settings::ProgramState& state, WriteImage& w) {
  w.bulk = bulkText(w.memory);
  w.records = buildRecords(state, w);
}

}  // namespace

std::string MemoryRecord::hex() const {
  return link::hexDigits(data);
}

const MemoryRecord* WriteImage::record(Address address) const {
  for (const MemoryRecord& r : records)
    if (r.address == address) return &r;
  return nullptr;
}

WriteEncoding encodeWrite(settings::ProgramState& state, const MenuBits& menuBits) {
  limitCodeLengths(state);
  try {
    WriteImage w;
    MemoryImage& m = w.memory;
    FieldReader fields(state);
    encodeRows(fields, m, {settings::channelStep(state)});
    encodeNumberingArea(fields, m);
    encodeRangeLimits(fields, m);
    encodeGroupDigits(fields, m);
    encodePhoneBook(fields, m, schemeForm(state));
    encodeGroupLists(fields, m);
    encodeMenuBits(fields, m, menuBits);
    encodeTalkAround(fields, m);
    encodeStartUpText(fields, m);
    encodeSimplex(fields, m);
    w.systemAlarmBytes = encodeSystemAlarm(fields, m);
    encodeTestValues(fields, m);
    w.modes = {fields.record().text("SingalCode") == "Enhanced", state.values.cpsxScheme != 0,
               scramblerOff(state)};
    refresh(state, w);
    return w;
  } catch (const FieldError& e) {
    return e.error();
  }
}

void reencodeAfterIdentification(settings::ProgramState& state, WriteImage& w) {
  FieldReader fields(state);
  try {
    if (state.values.phoneBookModel) encodePhoneBook(fields, w.memory, PhoneBookForm::Packed);
    encodeTalkAround(fields, w.memory);
    encodeSimplex(fields, w.memory);
  } catch (const FieldError& e) {
    // Every field here passed encodeWrite, and identification presets only valid channels.
    throw std::logic_error("re-encoding failed on " + e.field() + ": " + e.what());
  }
  refresh(state, w);
}

}  // namespace rcp::image
