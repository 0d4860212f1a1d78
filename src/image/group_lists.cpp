#include "image/group_lists.hpp"

#include <string>

#include "image/field_locations.hpp"
#include "image/number_codec.hpp"
#include "image/subscriber_numbers.hpp"
#include "settings/fleet_levels.hpp"

namespace rcp::image {

namespace {

constexpr std::size_t kEntryBytes = 3;
constexpr int kHiddenCount = 8;
constexpr int kWaitingCount = 40;
constexpr int kLabelCount = 40;
constexpr std::uint8_t kUnusedRoute = 255;
constexpr std::int64_t kLastSystem = 999;

Address entryAt(Address list, int index) {
  return static_cast<Address>(list + kEntryBytes * static_cast<std::size_t>(index));
}

// Entry i of the 48 other groups: 0 to 7 hidden, 8 to 47 waiting.
std::string otherGroupField(int i) {
  return i < kHiddenCount ? "HideGroup" + std::to_string(i + 1)
                          : "WaitGroup" + std::to_string(i - kHiddenCount + 1);
}

Address otherGroupAt(int i) {
  return i < kHiddenCount ? entryAt(kHiddenGroups, i) : entryAt(kWaitingGroups, i - kHiddenCount);
}

void decodeOtherGroups(settings::ProgramState& state, const MemoryImage& image, int first,
                       int count) {
  const bool cpsx = state.values.diallingScheme == settings::DiallingScheme::Cpsx;
  const settings::FleetPlan plan = settings::fleetPlan(state.values);
  const std::int64_t groupFleet = cpsx ? 0 : groupFleetCode(state);
  for (int i = first; i < first + count; ++i) {
    const PrefixIdent stored = image.prefixIdent(otherGroupAt(i));
    state.values.otherGroups[static_cast<std::size_t>(i)] =
        cpsx ? readCpsxOtherGroup(plan, stored) : readMpt1343OtherGroup(stored, groupFleet);
  }
}

}  // namespace

void encodeGroupLists(FieldReader& fields, MemoryImage& image) {
  const settings::WorkingValues& v = fields.state().values;
  const bool cpsx = v.diallingScheme == settings::DiallingScheme::Cpsx;
  const settings::FleetPlan plan = settings::fleetPlan(v);
  for (int i = 0; i < kHiddenCount + kWaitingCount; ++i) {
    const std::uint32_t number = v.otherGroups[static_cast<std::size_t>(i)];
    const std::string field = otherGroupField(i);
    PrefixIdent stored;
    if (number != 0)
      stored =
          cpsx ? cpsxGroup(plan, number) : mpt1343OtherGroup(number, fields.number("GroupFleet"));
    if (stored.prefix < 0 || stored.prefix > 0xFF || stored.ident < 0 || stored.ident > 0xFFFF)
      fields.notStorable(field);
    image.setPrefixIdent(otherGroupAt(i), stored);
  }
  for (int k = 1; k <= kLabelCount; ++k) {
    const settings::SystemLabel& label = v.systemLabels[static_cast<std::size_t>(k - 1)];
    const Address at = entryAt(kSystemLabels, k - 1);
    image.setByte(at, static_cast<std::uint8_t>(
                          fields.fit("无线局向号" + std::to_string(k), label.route, 1)));
    image.setWord(
        static_cast<Address>(at + 1),
        static_cast<std::uint16_t>(fields.fit("对应系统号" + std::to_string(k), label.system, 2)));
  }
}

void decodeHiddenGroups(settings::ProgramState& state, const MemoryImage& image) {
  decodeOtherGroups(state, image, 0, kHiddenCount);
}

void decodeWaitingGroups(settings::ProgramState& state, const MemoryImage& image) {
  decodeOtherGroups(state, image, kHiddenCount, kWaitingCount);
}

void decodeSystemLabels(settings::ProgramState& state, const MemoryImage& image) {
  for (int k = 0; k < kLabelCount; ++k) {
    const Address at = entryAt(kSystemLabels, k);
    const std::uint8_t route = image.byte(at);
    const std::uint16_t system = image.word(static_cast<Address>(at + 1));
    state.values.systemLabels[static_cast<std::size_t>(k)] = {route == kUnusedRoute ? 0u : route,
                                                              system > kLastSystem ? 0u : system};
  }
}

void addGroupListLocations(Locations& out) {
  for (int i = 0; i < kHiddenCount + kWaitingCount; ++i)
    out.push_back(
        {otherGroupAt(i), kEntryBytes, 0, otherGroupField(i), "prefix byte and ident word"});
  for (int k = 1; k <= kLabelCount; ++k) {
    const Address at = entryAt(kSystemLabels, k - 1);
    out.push_back({at, 1, 0, "无线局向号" + std::to_string(k), "byte (255 unused)"});
    out.push_back({static_cast<Address>(at + 1), 2, 0, "对应系统号" + std::to_string(k),
                   "word, high byte first"});
  }
}

}  // namespace rcp::image
