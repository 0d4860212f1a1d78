#include "image/subscriber_numbers.hpp"

#include <array>
#include <string>

#include "image/field_locations.hpp"
#include "image/memory_map.hpp"
#include "image/number_codec.hpp"
#include "rules/numbering.hpp"
#include "settings/fleet_levels.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

constexpr std::size_t kDigitSlot = 5;  // bytes of one number's nibble digits: 10 digits

// CPSX: prefix and ident of the own number, the dynamic group and the eight fixed groups, then
// the dynamic group once more as a digit string.
constexpr Address kCpsxOwn = 0x053;
constexpr Address kCpsxDynamic = 0x056;
constexpr Address kCpsxGroups = 0x05C;
constexpr Address kDynamicCount = 0x089;
constexpr Address kDynamicDigits = 0x08A;

// MPT1343: ten entries of a count byte and five bytes of digits, own number first.
constexpr Address kMpt1343Entries = 0x053;
constexpr std::size_t kEntryBytes = 1 + kDigitSlot;
const std::array<const char*, 10> kMpt1343Order = {"Indivol", "Group1",   "Group2", "Group3",
                                                   "Group4",  "Group5",   "Group6", "Group7",
                                                   "Group8",  "DynaGroup"};

constexpr Address kGroupCounts = 0x278;
constexpr Address kGroupDigits = 0x280;

struct RangeLimit {
  const char* field;
  bool group;
};
constexpr std::array<RangeLimit, 4> kRangeLimitFields = {
    {{"IndivolStart", false}, {"IndivolStop", false}, {"GrpStart", true}, {"GrpStop", true}}};

std::string groupField(int k) {
  return "Group" + std::to_string(k);
}

bool isCpsx(const settings::ProgramState& state) {
  return state.values.diallingScheme == settings::DiallingScheme::Cpsx;
}

void storePrefixIdent(FieldReader& fields, MemoryImage& image, Address at, std::string_view field,
                      PrefixIdent value) {
  if (value.prefix < 0 || value.prefix > 0xFF || value.ident < 0 || value.ident > 0xFFFF)
    fields.notStorable(field);
  image.setPrefixIdent(at, value);
}

// A count byte and the digits after it; a text longer than the slot keeps what fits.
void storeCountedDigits(FieldReader& fields, MemoryImage& image, Address countAt, Address digitsAt,
                        std::string_view field) {
  std::string digits = fields.digitString(field);
  digits.resize(std::min(digits.size(), 2 * kDigitSlot));
  image.setByte(countAt, static_cast<std::uint8_t>(digits.size()));
  image.setNibbleDigits(digitsAt, kDigitSlot, digits);
}

std::string countedDigits(const MemoryImage& image, Address countAt, Address digitsAt) {
  return image.nibbleDigits(digitsAt, kDigitSlot, image.byte(countAt));
}

// A CPSX range limit's ident. A limit the radio would give back as another number or as no limit
// (a member of the other kind, a fleet number that holds no such member under the plan, ident 0)
// cannot be stored.
std::int64_t cpsxLimitIdent(FieldReader& fields, const settings::FleetPlan& plan,
                            const RangeLimit& r, std::int64_t limit) {
  const std::int64_t ident =
      r.group ? cpsxGroupLimitIdent(plan, limit) : cpsxIndividualLimitIdent(plan, limit);
  const auto back =
      r.group ? readCpsxGroupLimit(plan, ident) : readCpsxIndividualLimit(plan, ident);
  if (ident < 0 || ident > 0xFFFF) fields.notStorable(r.field);
  if (back != limit) fields.readsBackAs(r.field, numberText(back));
  return ident;
}

void decodeCpsx(settings::ProgramState& state, const MemoryImage& image) {
  settings::WorkingValues& v = state.values;
  decodeRows(state, image, ReadGroup::FleetBlocks, {});
  settings::boundLevelsByBlocks(v);

  ui::Form& form = *state.main;
  settings::Record record(state);
  const DecodedIndividual own =
      readCpsxIndividual(settings::fleetPlan(v), image.prefixIdent(kCpsxOwn));
  record.set("Indivol", ui::decimal(own.number));
  form.setText("Block", std::string(settings::levelName(own.level)));
  // The level's change rule may hold its segment number inside new bounds and so move the plan;
  // the groups are decoded with the plan it leaves, as everything read after them is.
  rules::BlockChange(state);
  const settings::FleetPlan plan = settings::fleetPlan(v);
  record.set("DynaGroup", numberText(readCpsxGroup(plan, image.prefixIdent(kCpsxDynamic))));
  for (int k = 1; k <= 8; ++k)
    record.set(groupField(k),
               numberText(readCpsxGroup(
                   plan, image.prefixIdent(static_cast<Address>(kCpsxGroups + 3 * (k - 1))))));
}

void decodeMpt1343(settings::ProgramState& state, const MemoryImage& image) {
  settings::Record record(state);
  for (std::size_t j = 0; j < kMpt1343Order.size(); ++j) {
    const auto at = static_cast<Address>(kMpt1343Entries + kEntryBytes * j);
    record.set(kMpt1343Order[j], countedDigits(image, at, static_cast<Address>(at + 1)));
  }
  decodeRows(state, image, ReadGroup::FleetLimits, {});
}

}  // namespace

void encodeNumberingArea(FieldReader& fields, MemoryImage& image) {
  if (!isCpsx(fields.state())) {
    for (std::size_t j = 0; j < kMpt1343Order.size(); ++j) {
      const auto at = static_cast<Address>(kMpt1343Entries + kEntryBytes * j);
      storeCountedDigits(fields, image, at, static_cast<Address>(at + 1), kMpt1343Order[j]);
    }
    return;
  }
  const settings::FleetPlan plan = settings::fleetPlan(fields.state().values);
  auto number = [&](const char* field) { return fields.optionalNumber(field).value_or(0); };
  storePrefixIdent(fields, image, kCpsxOwn, "Indivol", cpsxIndividual(plan, number("Indivol")));
  storePrefixIdent(fields, image, kCpsxDynamic, "DynaGroup", cpsxGroup(plan, number("DynaGroup")));
  for (int k = 1; k <= 8; ++k) {
    const std::string field = groupField(k);
    storePrefixIdent(fields, image, static_cast<Address>(kCpsxGroups + 3 * (k - 1)), field,
                     cpsxGroup(plan, number(field.c_str())));
  }
  storeCountedDigits(fields, image, kDynamicCount, kDynamicDigits, "DynaGroup");
}

void encodeRangeLimits(FieldReader& fields, MemoryImage& image) {
  settings::ProgramState& state = fields.state();
  const settings::FleetPlan plan = settings::fleetPlan(state.values);
  const bool longForm = isMpt1343LongForm(fields.text("Indivol"));
  for (std::size_t i = 0; i < kRangeLimitFields.size(); ++i) {
    const RangeLimit& r = kRangeLimitFields[i];
    std::int64_t ident = 0;
    if (const auto limit = fields.optionalNumber(r.field)) {
      if (isCpsx(state))
        ident = cpsxLimitIdent(fields, plan, r, *limit);
      else
        ident = r.group ? mpt1343GroupLimitIdent(*limit, longForm)
                        : mpt1343IndividualLimitIdent(*limit, longForm);
    }
    if (ident < 0 || ident > 0xFFFF) fields.notStorable(r.field);
    image.setWord(static_cast<Address>(kRangeLimits + 2 * i), static_cast<std::uint16_t>(ident));
  }
}

void encodeGroupDigits(FieldReader& fields, MemoryImage& image) {
  for (int k = 1; k <= 8; ++k)
    storeCountedDigits(fields, image, static_cast<Address>(kGroupCounts + (k - 1)),
                       static_cast<Address>(kGroupDigits + kDigitSlot * (k - 1)), groupField(k));
}

void decodeNumberingArea(settings::ProgramState& state, const MemoryImage& image) {
  if (isCpsx(state))
    decodeCpsx(state, image);
  else
    decodeMpt1343(state, image);
}

void decodeRangeLimits(settings::ProgramState& state, const MemoryImage& image) {
  settings::Record record(state);
  const settings::FleetPlan plan = settings::fleetPlan(state.values);
  const std::string own = record.text("Indivol");
  const bool longForm = isMpt1343LongForm(own);
  const std::int64_t ownFleet = mpt1343OwnFleet(own).value_or(0);
  const std::int64_t groupFleet = groupFleetCode(state);
  for (std::size_t i = 0; i < kRangeLimitFields.size(); ++i) {
    const RangeLimit& r = kRangeLimitFields[i];
    const std::int64_t ident = image.word(static_cast<Address>(kRangeLimits + 2 * i));
    std::optional<std::int64_t> limit;
    if (isCpsx(state))
      limit = r.group ? readCpsxGroupLimit(plan, ident) : readCpsxIndividualLimit(plan, ident);
    else
      limit = r.group ? readMpt1343GroupLimit(ident, longForm, groupFleet)
                      : readMpt1343IndividualLimit(ident, longForm, ownFleet);
    record.set(r.field, numberText(limit));
  }
}

std::int64_t groupFleetCode(settings::ProgramState& state) {
  return ui::parseInt64(settings::Record(state).text("GroupFleet")).value_or(0);
}

void addNumberingLocations(Locations& out) {
  for (std::size_t j = 0; j < kMpt1343Order.size(); ++j) {
    const auto at = static_cast<Address>(kMpt1343Entries + kEntryBytes * j);
    out.push_back({at, 1, 0, kMpt1343Order[j], "digit count", SchemeOnly::Mpt1343});
    out.push_back({static_cast<Address>(at + 1), kDigitSlot, 0, kMpt1343Order[j],
                   "decimal digits, two to a byte", SchemeOnly::Mpt1343});
  }
  constexpr const char* kPrefixIdent = "prefix byte and ident word";
  out.push_back({kCpsxOwn, 3, 0, "Indivol", kPrefixIdent, SchemeOnly::Cpsx});
  out.push_back({kCpsxDynamic, 3, 0, "DynaGroup", kPrefixIdent, SchemeOnly::Cpsx});
  for (int k = 1; k <= 8; ++k)
    out.push_back({static_cast<Address>(kCpsxGroups + 3 * (k - 1)), 3, 0, groupField(k),
                   kPrefixIdent, SchemeOnly::Cpsx});
  out.push_back({kDynamicCount, 1, 0, "DynaGroup", "digit count", SchemeOnly::Cpsx});
  out.push_back({kDynamicDigits, kDigitSlot, 0, "DynaGroup", "decimal digits, two to a byte",
                 SchemeOnly::Cpsx});
}

void addDigitListLocations(Locations& out) {
  for (std::size_t i = 0; i < kRangeLimitFields.size(); ++i)
    out.push_back({static_cast<Address>(kRangeLimits + 2 * i), 2, 0, kRangeLimitFields[i].field,
                   "ident word of the limit"});
  for (int k = 1; k <= 8; ++k) {
    out.push_back(
        {static_cast<Address>(kGroupCounts + (k - 1)), 1, 0, groupField(k), "digit count"});
    out.push_back({static_cast<Address>(kGroupDigits + kDigitSlot * (k - 1)), kDigitSlot, 0,
                   groupField(k), "decimal digits, two to a byte"});
  }
}

}  // namespace rcp::image
