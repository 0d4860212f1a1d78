#include "image/write_image.hpp"

#include <optional>
#include <stdexcept>

#include "image/group_lists.hpp"
#include "image/memory_map.hpp"
#include "image/phone_book.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"
#include "image/write_records.hpp"
#include "link/hex_text.hpp"
#include "testmode/test_state.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

MemoryRecord slice(const MemoryImage& memory, Address at, std::size_t bytes,
                   std::uint8_t lengthField = 0) {
  return {at, lengthField ? lengthField : static_cast<std::uint8_t>(bytes),
          memory.bytes(at, bytes)};
}

// The system alarm number goes out in one record, or in two when it is longer than ten bytes;
// either way its terminating 0x00 follows the text unless the text fills all twenty bytes.
std::optional<MemoryRecord> alarmPart(const MemoryImage& memory, RecordWhen part, std::size_t n) {
  const std::size_t stored = n < kSystemAlarmBytes ? n + 1 : n;
  if (part == RecordWhen::AlarmFirstPart)
    return slice(memory, kSystemAlarm, n <= kAlarmFirstPart ? stored : kAlarmFirstPart);
  if (n <= kAlarmFirstPart) return std::nullopt;
  return slice(memory, static_cast<Address>(kSystemAlarm + kAlarmFirstPart),
               stored - kAlarmFirstPart);
}

bool goesOut(settings::ProgramState& state, RecordWhen when, bool testPage) {
  switch (when) {
    case RecordWhen::TranscodeVisible:
      return state.main->at("Transcode").visible;
    case RecordWhen::TestPage:
      return testPage;
    case RecordWhen::TestPageBaud:
      return testPage && baudRateChosen(state);
    case RecordWhen::Always:
    case RecordWhen::AlarmFirstPart:
    case RecordWhen::AlarmRest:
      return true;
  }
  return false;
}

std::vector<MemoryRecord> buildRecords(settings::ProgramState& state, const WriteImage& w) {
  std::vector<MemoryRecord> records;
  const bool testPage = testmode::isTestTabActive(state);
  for (const WriteRecordDef& r : kWriteRecords) {
    if (!goesOut(state, r.when, testPage)) continue;
    if (r.when == RecordWhen::AlarmFirstPart || r.when == RecordWhen::AlarmRest) {
      if (auto part = alarmPart(w.memory, r.when, w.systemAlarmBytes))
        records.push_back(std::move(*part));
      continue;
    }
    for (int line = 0; line < r.lines; ++line)
      records.push_back(slice(w.memory, lineAddress(r, line), r.bytes, r.lengthField));
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

}  // namespace

void refresh(settings::ProgramState& state, WriteImage& w) {
  w.bulk = bulkText(w.memory);
  w.records = buildRecords(state, w);
}

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
    w.modes = {fields.record().text("SingalCode") == "Enhanced",
               state.values.diallingScheme == settings::DiallingScheme::Cpsx, scramblerOff(state)};
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
