#include "image/number_codec.hpp"

#include <array>
#include <limits>

#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

using settings::FleetPlan;
using settings::kFirstFleet;

constexpr int kFirstIndividual = 200;
constexpr int kFirstGroup = 900;

// How a level's fleets divide the ident space: each fleet (a pair of fleet numbers on level 1)
// owns `unit` idents, the individuals first, then the groups; on level 1 the groups of the even
// number come next and the cross-fleet groups of the odd number last.
struct LevelGeometry {
  int unit;
  int individuals;
};
constexpr std::array<LevelGeometry, 4> kGeometry = {
    {{810, 700}, {405, 354}, {270, 236}, {135, 118}}};
// Level 1: groups 900 to 999 of the even fleet number, then the ten cross-fleet groups 900 to
// 909 of the odd one.
constexpr int kEvenGroups = 100;

const LevelGeometry& geometry(int level) {
  return kGeometry[static_cast<std::size_t>(level - 1)];
}

// The runs of fleets (counted in units from the start of the ident space) that levels 1 to 3
// claim when decoding.
struct UnitRun {
  std::int64_t first;
  std::int64_t end;
};
UnitRun unitRun(const FleetPlan& plan, int level) {
  switch (level) {
    case 1:
      return {0, plan.bound1 / 2};
    case 2:
      return {plan.bound1, plan.bound2};
    default:
      return {(3 * plan.bound2) / 2, plan.bound3};
  }
}

// The fleet's index in units of its level: a level-1 fleet spans two fleet numbers.
std::int64_t unitIndex(int level, std::int64_t fleet) {
  return level == 1 ? (fleet - kFirstFleet) / 2 : fleet - kFirstFleet;
}

// Where an ident lies inside the units of a level, when the plan gives that level the unit.
struct Place {
  std::int64_t unit;
  std::int64_t offset;
};
std::optional<Place> place(const FleetPlan& plan, int level, std::int64_t ident) {
  if (ident < 1) return std::nullopt;
  const std::int64_t size = geometry(level).unit;
  const Place p{(ident - 1) / size, (ident - 1) % size};
  const UnitRun run = unitRun(plan, level);
  if (p.unit < run.first || p.unit >= run.end) return std::nullopt;
  return p;
}

std::int64_t fleetOfUnit(int level, std::int64_t unit) {
  return level == 1 ? 2 * unit + kFirstFleet : unit + kFirstFleet;
}

int levelOfFleet(const FleetPlan& plan, std::int64_t fleet) {
  if (fleet < std::numeric_limits<int>::min() || fleet > std::numeric_limits<int>::max()) return 4;
  return encodingLevel(plan, static_cast<int>(fleet));
}

}  // namespace

int encodingLevel(const FleetPlan& plan, int fleet) {
  const std::optional<int> level = plan.levelOf(fleet);
  return level && *level < 4 ? *level : 4;
}

std::int64_t individualIdent(const FleetPlan& plan, std::int64_t fleet, std::int64_t member) {
  const int level = levelOfFleet(plan, fleet);
  return unitIndex(level, fleet) * geometry(level).unit + member - (kFirstIndividual - 1);
}

std::int64_t groupIdent(const FleetPlan& plan, std::int64_t fleet, std::int64_t member) {
  const int level = levelOfFleet(plan, fleet);
  const LevelGeometry& g = geometry(level);
  if (level == 1) {
    const bool crossFleet = fleet % 2 != 0;
    const std::int64_t first = g.individuals + (crossFleet ? kEvenGroups : 0);
    return unitIndex(level, crossFleet ? fleet - 1 : fleet) * g.unit + first + member -
           (kFirstGroup - 1);
  }
  // Levels 2 to 4 are linear in the fleet number, for fleet numbers below 20 too.
  return (fleet - kFirstFleet) * g.unit + g.individuals + member - (kFirstGroup - 1);
}

FleetMember decodeIndividual(const FleetPlan& plan, std::int64_t ident) {
  for (int level = 1; level <= 3; ++level) {
    const auto p = place(plan, level, ident);
    if (p && p->offset < geometry(level).individuals)
      return {static_cast<int>(fleetOfUnit(level, p->unit)),
              static_cast<int>(p->offset + kFirstIndividual), level};
  }
  const int unit = geometry(4).unit;
  return {static_cast<int>((ident - 1) / unit + kFirstFleet),
          static_cast<int>((ident - 1) % unit + kFirstIndividual), 4};
}

FleetMember decodeGroup(const FleetPlan& plan, std::int64_t ident) {
  for (int level = 1; level <= 3; ++level) {
    const auto p = place(plan, level, ident);
    if (!p) continue;
    const int individuals = geometry(level).individuals;
    if (p->offset < individuals) continue;
    const std::int64_t fleet = fleetOfUnit(level, p->unit);
    const std::int64_t index = p->offset - individuals;
    if (level == 1 && index >= kEvenGroups)
      return {static_cast<int>(fleet + 1), static_cast<int>(index - kEvenGroups + kFirstGroup), 1};
    return {static_cast<int>(fleet), static_cast<int>(index + kFirstGroup), level};
  }
  const LevelGeometry& g = geometry(4);
  const std::int64_t fromFirstGroup = ident - (g.individuals + 1);
  return {static_cast<int>(fromFirstGroup / g.unit + kFirstFleet),
          static_cast<int>(fromFirstGroup % g.unit + kFirstGroup), 4};
}

std::int64_t cpsxNumber(std::int64_t prefix, const FleetMember& m) {
  return kCpsxBase + prefix * 100000 + std::int64_t{m.fleet} * 1000 + m.member;
}

namespace {
struct CpsxParts {
  std::int64_t prefix;
  std::int64_t fleet;
  std::int64_t member;
};
CpsxParts split(std::int64_t number) {
  return {number / 100000 - 200, number % 100000 / 1000, number % 1000};
}
}  // namespace

PrefixIdent cpsxIndividual(const FleetPlan& plan, std::int64_t number) {
  if (number == 0) return {};
  const CpsxParts p = split(number);
  return {p.prefix, individualIdent(plan, p.fleet, p.member)};
}

PrefixIdent cpsxGroup(const FleetPlan& plan, std::int64_t number) {
  if (number == 0) return {};
  const CpsxParts p = split(number);
  return {p.prefix, groupIdent(plan, p.fleet, p.member)};
}

DecodedIndividual readCpsxIndividual(const FleetPlan& plan, PrefixIdent stored) {
  const FleetMember m = decodeIndividual(plan, stored.ident);
  return {cpsxNumber(stored.prefix, m), m.level};
}

std::optional<std::int64_t> readCpsxGroup(const FleetPlan& plan, PrefixIdent stored) {
  if (stored.ident < 1 || stored.ident > kLastGroupIdent) return std::nullopt;
  return cpsxNumber(stored.prefix, decodeGroup(plan, stored.ident));
}

std::uint32_t readCpsxOtherGroup(const FleetPlan& plan, PrefixIdent stored) {
  if (stored.ident == 0) return 0;
  const std::int64_t number = cpsxNumber(stored.prefix, decodeGroup(plan, stored.ident));
  return number < 0 || number > kLastCpsxOtherGroup ? 0 : static_cast<std::uint32_t>(number);
}

std::int64_t cpsxIndividualLimitIdent(const FleetPlan& plan, std::int64_t limit) {
  return individualIdent(plan, limit / 1000, limit % 1000);
}

std::int64_t cpsxGroupLimitIdent(const FleetPlan& plan, std::int64_t limit) {
  return groupIdent(plan, limit / 1000, limit % 1000);
}

std::optional<std::int64_t> readCpsxIndividualLimit(const FleetPlan& plan, std::int64_t ident) {
  if (ident == 0) return std::nullopt;
  const FleetMember m = decodeIndividual(plan, ident);
  if (m.member < kFirstIndividual || m.member > 899) return std::nullopt;
  return std::int64_t{m.fleet} * 1000 + m.member;
}

std::optional<std::int64_t> readCpsxGroupLimit(const FleetPlan& plan, std::int64_t ident) {
  if (ident == 0) return std::nullopt;
  const FleetMember m = decodeGroup(plan, ident);
  if (m.member < kFirstGroup) return std::nullopt;
  return std::int64_t{m.fleet} * 1000 + m.member;
}

// ---- MPT1343 ---------------------------------------------------------------------------------

namespace {

constexpr std::size_t kLongLength = 10;

// The long form counts members in thousands of the fleet, the short form in hundreds; each
// individual and group range sits at its own offset in the fleet's idents.
struct Mpt1343Form {
  std::int64_t perFleet;
  std::int64_t individualOffset;
  std::int64_t groupOffset;
  std::int64_t firstIndividual;
  std::int64_t lastIndividual;
  std::int64_t firstGroup;
};
constexpr Mpt1343Form kLong{1000, 4200, 4900, 200, 899, 900};
constexpr Mpt1343Form kShort{100, 4020, 4090, 20, 89, 90};

const Mpt1343Form& form(bool longForm) {
  return longForm ? kLong : kShort;
}

std::int64_t limitIdent(std::int64_t limit, const Mpt1343Form& f, std::int64_t offset) {
  return 2 * (limit / f.perFleet) + limit % f.perFleet - offset;
}

constexpr std::int64_t kThousandMillion = 1000000000;
constexpr std::int64_t kAreaUnit = 10000000;  // one area code of a 10-digit number
constexpr std::int64_t kLastMpt1343OtherGroup = 3280000000;

int decimalDigits(std::uint32_t n) {
  int digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

bool isMpt1343LongForm(std::string_view ownNumber) {
  return ownNumber.size() == kLongLength;
}

std::optional<std::int64_t> mpt1343OwnFleet(std::string_view ownNumber) {
  const auto head = ui::parseInt64(ownNumber.substr(0, 7));
  if (!head) return std::nullopt;
  return *head % 10000;
}

std::int64_t mpt1343IndividualLimitIdent(std::int64_t limit, bool longForm) {
  const Mpt1343Form& f = form(longForm);
  return limitIdent(limit, f, f.individualOffset);
}

std::int64_t mpt1343GroupLimitIdent(std::int64_t limit, bool longForm) {
  const Mpt1343Form& f = form(longForm);
  return limitIdent(limit, f, f.groupOffset);
}

std::optional<std::int64_t> readMpt1343IndividualLimit(std::int64_t ident, bool longForm,
                                                       std::int64_t ownFleet) {
  if (ident == 0) return std::nullopt;
  const Mpt1343Form& f = form(longForm);
  const std::int64_t member = ident + f.individualOffset - 2 * ownFleet;
  if (member < f.firstIndividual || member > f.lastIndividual) return std::nullopt;
  return ownFleet * f.perFleet + member;
}

std::optional<std::int64_t> readMpt1343GroupLimit(std::int64_t ident, bool longForm,
                                                  std::int64_t groupFleet) {
  if (ident == 0) return std::nullopt;
  const Mpt1343Form& f = form(longForm);
  const std::int64_t member = ident - 2 * groupFleet + f.groupOffset;
  if (member < f.firstGroup) return std::nullopt;
  return groupFleet * f.perFleet + member;
}

PrefixIdent mpt1343OtherGroup(std::uint32_t number, std::int64_t groupFleet) {
  if (number == 0) return {};
  // The first three digits are the area code, 200 + prefix.
  std::int64_t areaUnit = 1;
  for (int d = 3; d < decimalDigits(number); ++d) areaUnit *= 10;
  const Mpt1343Form& f = form(number > kThousandMillion);
  return {number / areaUnit - 200, number % f.perFleet + 2 * groupFleet - f.groupOffset};
}

std::uint32_t readMpt1343OtherGroup(PrefixIdent stored, std::int64_t groupFleet) {
  if (stored.ident == 0 || stored.prefix >= 128) return 0;
  // Area 200 + prefix, fleet G and member ident - 2G + 4900 of the long form.
  const std::int64_t number =
      stored.ident + stored.prefix * kAreaUnit + groupFleet * 998 + 2000004900;
  return number < 0 || number > kLastMpt1343OtherGroup ? 0 : static_cast<std::uint32_t>(number);
}

}  // namespace rcp::image
