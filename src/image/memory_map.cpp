#include "image/memory_map.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "image/field_locations.hpp"
#include "settings/field_table.hpp"
#include "ui/counters.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

using settings::FieldKind;
using E = Encoding;
using G = ReadGroup;

constexpr Address kDiallingModeByte = 0x1F0;
constexpr Address kSignallingModeByte = 0x1F1;

struct MapBuilder {
  std::vector<MapRow> rows;

  MapRow& add(Address at, Encoding encoding, std::string field, ReadGroup read) {
    rows.push_back({at, encoding, std::move(field), read});
    return rows.back();
  }
  MapRow& bit(Address at, std::uint8_t mask, std::string field, ReadGroup read) {
    MapRow& row = add(at, E::Bit, std::move(field), read);
    row.mask = mask;
    return row;
  }
};

void channelPlan(MapBuilder& m) {
  m.add(0x034, E::Byte, "ChannelSpace", G::ByCode);
  const char* channels[] = {"FirstChannel", "FirstStop",    "SecondChannel",
                            "SecondStop",   "ThirdChannel", "ThirdStop"};
  for (int i = 0; i < 6; ++i)
    m.add(static_cast<Address>(0x035 + 2 * i), E::Word, channels[i], G::Channels);
  const char* frequencies[] = {"FirstRxFreq",  "FirstTxFreq", "SecondRxFreq",
                               "SecondTxFreq", "ThirdRxFreq", "ThirdTxFreq"};
  for (int i = 0; i < 6; ++i)
    m.add(static_cast<Address>(0x041 + 2 * i), E::SegmentFrequency, frequencies[i], G::Frequencies);
  m.add(0x051, E::Word, "RegCode", G::RegCode);
  m.add(0x180, E::Word, "SearchStartChannel", G::SearchRange).gate = WriteGate::RangeSearch;
  m.add(0x182, E::Word, "SearchStopChannel", G::SearchRange).gate = WriteGate::RangeSearch;
  for (int k = 1; k <= 50; ++k)
    m.add(static_cast<Address>(0x0FA + 2 * (k - 1)), E::Word, "Hunt" + ui::twoDigits(k),
          G::Hunting);
  for (int k = 1; k <= 8; ++k)
    m.add(static_cast<Address>(0x1E0 + 2 * (k - 1)), E::Word, "Simplex" + std::to_string(k),
          G::Hunting);
}

void network(MapBuilder& m) {
  m.add(0x010, E::Byte, "NetId", G::Network);
  m.add(0x011, E::LowHalf, "Category", G::Network);
  m.add(0x012, E::LowHalf, "ZoneLength", G::Network);
  m.add(0x013, E::LowHalf, "AreaLength", G::Network);
  m.add(0x014, E::LowHalf, "SilLength", G::Network);
  m.add(0x015, E::Word, "ZoneData", G::Network);
  m.add(0x017, E::Word, "AreaData", G::Network);
  m.add(0x019, E::Word, "SilData", G::Network);
  // Roaming codes: zone and area words alternate from 0x098.
  for (int k = 1; k <= 12; ++k)
    m.add(static_cast<Address>(0x098 + 4 * (k - 1)), E::Word, "ZoneData" + ui::twoDigits(k),
          G::Network);
  for (int k = 1; k <= 12; ++k)
    m.add(static_cast<Address>(0x09A + 4 * (k - 1)), E::Word, "AreaData" + ui::twoDigits(k),
          G::Network);
}

void countersAndRights(MapBuilder& m) {
  for (const ui::CounterDef& c : ui::kCounters) m.add(c.address, E::Byte, c.name, G::Counters);
  m.add(0x1FA, E::Byte, "PSTNLength", G::Counters);
  m.add(0x1FC, E::Byte, "RingCategory", G::Counters);

  m.bit(0x031, 0x80, "IncludeCall", G::Rights);
  m.bit(0x031, 0x40, "PABXCall", G::Rights);
  m.bit(0x031, 0x20, "PSTNCall", G::Rights);
  m.bit(0x033, 0x80, "RegOpen", G::Rights).gate = WriteGate::EnabledAndChecked;
  m.bit(0x033, 0x40, "DeregClose", G::Rights).gate = WriteGate::EnabledAndChecked;
  m.bit(0x033, 0x20, "Dead", G::Rights).gate = WriteGate::Visible;
  m.bit(0x032, 0x80, "NetType", G::Rights).on = "National";
  m.bit(0x032, 0x40, "DynaCode", G::Rights);
  m.bit(0x032, 0x20, "KeyGrpCall", G::Rights).gate = WriteGate::EnabledAndChecked;
  m.bit(0x032, 0x10, "MoreGrpDisp", G::Rights);
  m.bit(0x033, 0x02, "Shrink", G::Shrink).gate = WriteGate::Visible;
}

void modes(MapBuilder& m) {
  // The dialling scheme and the signalling are set by mode commands, the others by records.
  m.add(kDiallingModeByte, E::LowFlag, "DiallingScheme", G::ByCode).on = "CPSX";
  m.add(kSignallingModeByte, E::LowFlag, "SingalCode", G::Signalling).on = "Enhanced";
  m.add(0x1F9, E::Flag, "AutoRoam", G::Modes);
  m.add(0x1FB, E::InvertedFlag, "StatusSave", G::Modes);
  m.add(0x1F2, E::Flag, "RangeSearch", G::ByCode);
  m.add(0x1F3, E::LowFlag, "Talk", G::ByCode);
  m.add(0x1F4, E::Flag, "GrpWayCurrent", G::ByCode);
  m.add(0x007, E::Flag, "Callback", G::ByCode);
  m.add(0x1FD, E::Flag, "PTT-code", G::ByCode).gate = WriteGate::Visible;
}

void fleets(MapBuilder& m) {
  m.add(0x04E, E::Byte, "LargeBlock", G::FleetBlocks).gate = WriteGate::Cpsx;
  m.add(0x04F, E::Byte, "MediumBlock", G::FleetBlocks).gate = WriteGate::Cpsx;
  m.add(0x050, E::Byte, "SmallBlock", G::FleetBlocks).gate = WriteGate::Cpsx;
  m.add(0x08F, E::Word, "MaxIndivol", G::FleetLimits);
  m.add(0x091, E::Word, "MaxFleet", G::FleetLimits);
  m.add(0x093, E::Word, "GroupFleet", G::FleetLimits);
}

// The list choices and sliders at the bottom of memory, each with the bound below which a read
// takes the stored position.
void smallChoices(MapBuilder& m) {
  struct Choice {
    Address at;
    const char* field;
    int bound;
  };
  const Choice choices[] = {
      {0x000, "铃声种类", 16},    {0x001, "铃声音量", 16}, {0x002, "振动选择", 2},
      {0x003, "回铃音量", 16},    {0x004, "背光选择", 2},  {0x005, "静噪电平", 17},
      {0x00A, "按键音量选择", 2}, {0x00B, "功率调节", 3},  {0x00C, "组呼振铃选择", 2},
      {0x00E, "单呼振铃选择", 2},
  };
  for (const Choice& c : choices)
    m.add(c.at, E::Position, c.field, G::SmallChoices).readBound = c.bound;
  m.add(0x2C0, E::Word, "Timelimit", G::Timelimit);
}

std::vector<MapRow> build() {
  MapBuilder m;
  channelPlan(m);
  network(m);
  countersAndRights(m);
  modes(m);
  fleets(m);
  smallChoices(m);
  for (MapRow& row : m.rows) {
    row.def = settings::findField(row.field);
    if (!row.def) throw std::logic_error("memory map names no field " + row.field);
  }
  return std::move(m.rows);
}

const char* encodingName(Encoding encoding) {
  switch (encoding) {
    case E::Byte:
      return "byte";
    case E::Word:
      return "word, high byte first";
    case E::LowHalf:
      return "low half-byte";
    case E::Flag:
      return "flag 0x01";
    case E::LowFlag:
      return "flag 0x01, read from the low half-byte";
    case E::InvertedFlag:
      return "flag 0x00 for on";
    case E::Bit:
      return "bit";
    case E::SegmentFrequency:
      return "word of channel steps";
    case E::Position:
      return "item position";
  }
  return "";
}

bool gateOpen(FieldReader& fields, const MapRow& row) {
  settings::ProgramState& state = fields.state();
  switch (row.gate) {
    case WriteGate::Always:
      return true;
    case WriteGate::Cpsx:
      return state.values.diallingScheme == settings::DiallingScheme::Cpsx;
    case WriteGate::RangeSearch:
      return state.values.rangeSearch == settings::SearchMode::Range;
    case WriteGate::EnabledAndChecked:
      return state.main->at(row.def->control).enabled;
    case WriteGate::Visible:
      return state.main->at(row.def->control).visible;
  }
  return false;
}

bool isOn(FieldReader& fields, const MapRow& row) {
  if (row.on) return fields.record().get(row.field) == settings::FieldValue{std::string(row.on)};
  return fields.flag(row.field);
}

// A combo box's text as its position in the list; a text that is no item counts as the first
// item, which is every such field's start value.
std::int64_t position(FieldReader& fields, const MapRow& row) {
  const settings::FieldDef& f = *row.def;
  if (f.kind != FieldKind::Choice) return fields.number(row.field);
  const ui::Control& box = fields.state().main->at(f.control);
  const auto it = std::find(box.items.begin(), box.items.end(), box.text);
  return it == box.items.end() ? 0 : it - box.items.begin();
}

void encodeRow(FieldReader& fields, MemoryImage& image, const MapRow& row, const RowContext& c) {
  if (!gateOpen(fields, row)) return;
  const Address at = row.address;
  switch (row.encoding) {
    case E::Byte:
    case E::LowHalf:
      image.setByte(at,
                    static_cast<std::uint8_t>(fields.fit(row.field, fields.number(row.field), 1)));
      return;
    case E::Word:
      image.setWord(at,
                    static_cast<std::uint16_t>(fields.fit(row.field, fields.number(row.field), 2)));
      return;
    case E::Flag:
    case E::LowFlag:
      image.setFlag(at, isOn(fields, row));
      return;
    case E::InvertedFlag:
      image.setInvertedFlag(at, isOn(fields, row));
      return;
    case E::Bit:
      image.setBit(at, row.mask, isOn(fields, row));
      return;
    case E::SegmentFrequency: {
      const std::int64_t count = channelCount(fields.number(row.field), c.channelStep);
      image.setWord(at, static_cast<std::uint16_t>(fields.fit(row.field, count, 2)));
      return;
    }
    case E::Position:
      image.setByte(at, static_cast<std::uint8_t>(fields.fit(row.field, position(fields, row), 1)));
      return;
  }
}

std::int64_t storedValue(const MemoryImage& image, const MapRow& row, const RowContext& c) {
  const Address at = row.address;
  switch (row.encoding) {
    case E::Byte:
    case E::Position:
      return image.byte(at);
    case E::Word:
      return image.word(at);
    case E::LowHalf:
      return image.lowHalf(at);
    case E::Flag:
      return image.flag(at) ? 1 : 0;
    case E::LowFlag:
      return image.lowFlag(at) ? 1 : 0;
    case E::InvertedFlag:
      return image.invertedFlag(at) ? 1 : 0;
    case E::Bit:
      return image.bit(at, row.mask) ? row.mask : 0;
    case E::SegmentFrequency:
      return image.frequency(at, FrequencyWidth::Word, c.channelStep);
  }
  return 0;
}

void decodeRow(settings::ProgramState& state, settings::Record& record, const MemoryImage& image,
               const MapRow& row, const RowContext& c) {
  const std::int64_t value = storedValue(image, row, c);
  const settings::FieldDef& f = *row.def;
  if (row.encoding == E::Position) {
    if (value >= row.readBound) return;
    if (f.kind == FieldKind::Choice) {
      const ui::Control& box = state.main->at(f.control);
      if (static_cast<std::size_t>(value) < box.items.size())
        record.set(row.field, box.items[static_cast<std::size_t>(value)]);
      return;
    }
  }
  if (row.on) {
    // A radio choice of two: the stored flag picks the row's choice or the other one.
    for (const auto& option : f.options) {
      const bool isRowChoice = option.value == settings::FieldValue{std::string(row.on)};
      if (isRowChoice == (value != 0)) return record.set(row.field, option.value);
    }
    return;
  }
  setNumber(record, f, value);
}

}  // namespace

const std::vector<MapRow>& memoryMap() {
  static const std::vector<MapRow> rows = build();
  return rows;
}

const MapRow* rowOf(std::string_view field) {
  for (const MapRow& row : memoryMap())
    if (field == row.field) return &row;
  return nullptr;
}

void encodeRows(FieldReader& fields, MemoryImage& image, const RowContext& context) {
  for (const MapRow& row : memoryMap()) encodeRow(fields, image, row, context);
}

void decodeRows(settings::ProgramState& state, const MemoryImage& image, ReadGroup group,
                const RowContext& context, Address from, Address to) {
  settings::Record record(state);
  for (const MapRow& row : memoryMap())
    if (row.read == group && row.address >= from && row.address < to)
      decodeRow(state, record, image, row, context);
}

void addMapLocations(Locations& out) {
  for (const MapRow& row : memoryMap()) {
    FieldLocation l{row.address, 1, row.mask, row.field, encodingName(row.encoding)};
    if (row.encoding == E::Word || row.encoding == E::SegmentFrequency) l.length = 2;
    if (row.gate == WriteGate::Cpsx) l.scheme = SchemeOnly::Cpsx;
    // The bulk block carries 0 in the mode bytes; their mode commands set them.
    if (row.address == kDiallingModeByte || row.address == kSignallingModeByte)
      l.encoding += " (set by its mode command)";
    out.push_back(std::move(l));
  }
}

}  // namespace rcp::image
