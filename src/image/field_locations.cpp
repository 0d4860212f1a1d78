#include "image/field_locations.hpp"

#include <algorithm>

#include "image/write_image.hpp"
#include "image/write_records.hpp"

namespace rcp::image {

namespace {

// The bytes of the bulk block one dialling scheme lays out and the other leaves as 0.
void addSchemeFillers(Locations& out) {
  const FieldLocation fillers[] = {
      {0x04E, 3, 0, "", "fleet blocks, written 0 under MPT1343", SchemeOnly::Mpt1343},
      {0x059, 3, 0, "", "unused under CPSX, written 0", SchemeOnly::Cpsx},
      {0x074, 21, 0, "", "unused under CPSX, written 0", SchemeOnly::Cpsx},
  };
  out.insert(out.end(), std::begin(fillers), std::end(fillers));
}

// The codec's places. A codec names every area it fills; it lays them all out at once.
void addCodecPlaces(AreaCodec codec, Locations& out) {
  switch (codec) {
    case AreaCodec::Bulk:
      return addSchemeFillers(out);
    case AreaCodec::Rows:
      return addMapLocations(out);
    case AreaCodec::NumberingArea:
      return addNumberingLocations(out);
    case AreaCodec::PhoneBook:
      return addPhoneBookLocations(out);
    case AreaCodec::DigitList:
      return addDigitListLocations(out);
    case AreaCodec::GroupList:
      return addGroupListLocations(out);
    case AreaCodec::SmallRecord:
      return addSmallRecordLocations(out);
    case AreaCodec::TestValue:
      return addTestValueLocations(out);
  }
}

// The bits of one bulk byte that no place fills under the dialling scheme.
std::uint8_t unfilledBits(const Locations& places, Address at, bool cpsx) {
  std::uint8_t filled = 0;
  for (const FieldLocation& l : places)
    if (l.covers(at) && l.forScheme(cpsx)) filled |= l.mask ? l.mask : std::uint8_t{0xFF};
  return static_cast<std::uint8_t>(~filled);
}

// The bytes and bits of the bulk block no field fills under either scheme: the write sends them
// as 0. A run of whole bytes is one place, each partly used byte one place for its free bits.
void addUnusedBulkBytes(Locations& out) {
  constexpr const char* kUnused = "unused, written 0";
  Locations unused;
  for (std::size_t i = 0; i < kBulkWriteBytes; ++i) {
    const auto at = static_cast<Address>(kBulkStart + i);
    const auto free =
        static_cast<std::uint8_t>(unfilledBits(out, at, false) & unfilledBits(out, at, true));
    if (free == 0) continue;
    if (free != 0xFF) {
      unused.push_back({at, 1, free, "", kUnused});
      continue;
    }
    FieldLocation* last = unused.empty() ? nullptr : &unused.back();
    if (last && last->mask == 0 && last->address + last->length == at)
      ++last->length;
    else
      unused.push_back({at, 1, 0, "", kUnused});
  }
  out.insert(out.end(), unused.begin(), unused.end());
}

// The memory table projected through its codecs, each once, then what no codec fills.
Locations project() {
  Locations out;
  std::set<AreaCodec> done;
  for (const MemoryArea& area : kMemoryAreas)
    if (done.insert(area.codec).second) addCodecPlaces(area.codec, out);
  addUnusedBulkBytes(out);
  std::stable_sort(out.begin(), out.end(), [](const FieldLocation& a, const FieldLocation& b) {
    // At one address a field's place comes before a filler's.
    return a.address != b.address ? a.address < b.address : !a.isFiller() && b.isFiller();
  });
  return out;
}

}  // namespace

const Locations& fieldLocations() {
  static const Locations all = project();
  return all;
}

std::set<Address> writtenAddresses() {
  std::set<Address> out;
  for (std::size_t i = 0; i < kBulkWriteBytes; ++i)
    out.insert(static_cast<Address>(kBulkStart + i));
  for (const WriteRecordDef& r : kWriteRecords) {
    const bool alarm = r.when == RecordWhen::AlarmFirstPart || r.when == RecordWhen::AlarmRest;
    const std::size_t bytes = !alarm ? r.bytes
                              : r.when == RecordWhen::AlarmFirstPart
                                  ? kAlarmFirstPart
                                  : kSystemAlarmBytes - kAlarmFirstPart;
    for (int line = 0; line < r.lines; ++line)
      for (std::size_t b = 0; b < bytes; ++b)
        out.insert(static_cast<Address>(lineAddress(r, line) + b));
  }
  return out;
}

std::vector<const FieldLocation*> locationsOf(std::string_view field) {
  std::vector<const FieldLocation*> out;
  for (const FieldLocation& l : fieldLocations())
    if (l.field == field) out.push_back(&l);
  return out;
}

std::vector<const FieldLocation*> locationsAt(Address address) {
  std::vector<const FieldLocation*> out;
  for (const FieldLocation& l : fieldLocations())
    if (l.covers(address)) out.push_back(&l);
  return out;
}

}  // namespace rcp::image
