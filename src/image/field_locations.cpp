#include "image/field_locations.hpp"

#include <algorithm>

namespace rcp::image {

namespace {

// The bytes and bits of the bulk block no field fills: the write sends them as 0.
void addUnusedBulkBytes(Locations& out) {
  constexpr const char* kUnused = "unused, written 0";
  const FieldLocation unused[] = {
      {0x01B, 22, 0, "", kUnused},
      {0x031, 1, 0x1F, "", kUnused},
      {0x032, 1, 0x0F, "", kUnused},
      {0x033, 1, 0x1D, "", kUnused},
      {0x04D, 1, 0, "", kUnused},
      {0x04E, 3, 0, "", "fleet blocks, written 0 under MPT1343", SchemeOnly::Mpt1343},
      {0x059, 3, 0, "", "unused under CPSX, written 0", SchemeOnly::Cpsx},
      {0x074, 21, 0, "", "unused under CPSX, written 0", SchemeOnly::Cpsx},
      {0x095, 3, 0, "", kUnused},
      {0x0DB, 1, 0, "", kUnused},
      {0x0E0, 26, 0, "", kUnused},
      {0x15E, 18, 0, "", kUnused},
      {0x17A, 6, 0, "", kUnused},
      {0x184, 10, 0, "", kUnused},
      {0x1F5, 2, 0, "", kUnused},
  };
  out.insert(out.end(), std::begin(unused), std::end(unused));
}

Locations gather() {
  Locations out;
  addMapLocations(out);
  addNumberingLocations(out);
  addPhoneBookLocations(out);
  addGroupListLocations(out);
  addSmallRecordLocations(out);
  addTestValueLocations(out);
  addUnusedBulkBytes(out);
  std::stable_sort(out.begin(), out.end(), [](const FieldLocation& a, const FieldLocation& b) {
    return a.address < b.address;
  });
  return out;
}

}  // namespace

const Locations& fieldLocations() {
  static const Locations all = gather();
  return all;
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
