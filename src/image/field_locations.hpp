#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "image/memory_image.hpp"

// Where a write puts every field of the settings record: one place per run of bytes (or bit),
// projected once from the memory table (kMemoryAreas) through the codec each of its areas names,
// with the bytes no field fills named as fillers. A lookup from an address to its field and from a
// field to its addresses is one call.
namespace rcp::image {

// The numbering area and the phone book are laid out by the dialling scheme.
enum class SchemeOnly { Both, Mpt1343, Cpsx };

struct FieldLocation {
  Address address = 0;
  std::size_t length = 1;
  std::uint8_t mask = 0;  // a bit of a shared byte; 0 for whole bytes
  std::string field;      // the settings field; empty for a filler
  std::string encoding;   // how the bytes hold the value, or what a filler is
  SchemeOnly scheme = SchemeOnly::Both;

  bool covers(Address at) const { return at >= address && at < address + length; }
  bool isFiller() const { return field.empty(); }
  // Whether the place is laid out this way under the dialling scheme.
  bool forScheme(bool cpsx) const {
    return scheme == SchemeOnly::Both || (scheme == SchemeOnly::Cpsx) == cpsx;
  }
};

using Locations = std::vector<FieldLocation>;

// Every place the write fills, in address order.
const Locations& fieldLocations();
// Every address the write can send: the bulk block and every line of every small record (some
// only when their condition holds).
std::set<Address> writtenAddresses();
// The places of one field (empty for a field the write does not store).
std::vector<const FieldLocation*> locationsOf(std::string_view field);
// The places covering one address: one per scheme that lays it out differently, one per bit of
// a shared byte.
std::vector<const FieldLocation*> locationsAt(Address address);

// Each codec of the memory table lays out its own places.
void addMapLocations(Locations& out);          // regular rows: memory_map.cpp
void addNumberingLocations(Locations& out);    // subscriber_numbers.cpp
void addDigitListLocations(Locations& out);    // subscriber_numbers.cpp
void addPhoneBookLocations(Locations& out);    // phone_book.cpp
void addGroupListLocations(Locations& out);    // group_lists.cpp
void addSmallRecordLocations(Locations& out);  // small_records.cpp
void addTestValueLocations(Locations& out);    // test_values.cpp

}  // namespace rcp::image
