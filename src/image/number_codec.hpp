#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "image/memory_image.hpp"
#include "settings/fleet_levels.hpp"

// How the radio stores subscriber numbers. Under the CPSX dialling scheme every number is an
// MPT 1327 prefix and ident computed through the fleet levels; under MPT1343 the own number and
// the groups are digit strings, and only the range limits and the hidden and waiting groups are
// idents, relative to a fleet code. Plain arithmetic on whole numbers, both directions; results
// are not range-checked here (the encoder checks that they fit their bytes).
namespace rcp::image {

// ---- CPSX ------------------------------------------------------------------------------------
// A CPSX number is 20000000 + prefix x 100000 + fleet x 1000 + member: PPP FF MMM with
// PPP = 200 + prefix. Individuals are members 200 to 899, groups 900 to 999.

inline constexpr std::int64_t kCpsxBase = 20000000;
inline constexpr int kLastGroupIdent = 8101;  // a fixed group above it reads as empty
inline constexpr std::int64_t kLastCpsxOtherGroup = 32800000;

// A member of a fleet and the level its fleet was found on.
struct FleetMember {
  int fleet = 0;
  int member = 0;
  int level = 4;

  friend bool operator==(const FleetMember&, const FleetMember&) = default;
};

// The level a fleet number is encoded on: the first of levels 1 to 3 whose fleet run holds it;
// every other fleet number, those below 20 included, is level 4.
int encodingLevel(const settings::FleetPlan& plan, int fleet);

// The individual and group rules: the ident of a member of a fleet.
std::int64_t individualIdent(const settings::FleetPlan& plan, std::int64_t fleet,
                             std::int64_t member);
std::int64_t groupIdent(const settings::FleetPlan& plan, std::int64_t fleet, std::int64_t member);
// The individual and group decodings: each ident is classified by itself, first against the
// level-1 to level-3 runs of idents the plan gives, else as level 4.
FleetMember decodeIndividual(const settings::FleetPlan& plan, std::int64_t ident);
FleetMember decodeGroup(const settings::FleetPlan& plan, std::int64_t ident);

std::int64_t cpsxNumber(std::int64_t prefix, const FleetMember& m);

// A CPSX number on the form as stored; 0 is prefix 0 and ident 0.
PrefixIdent cpsxIndividual(const settings::FleetPlan& plan, std::int64_t number);
PrefixIdent cpsxGroup(const settings::FleetPlan& plan, std::int64_t number);

// The own number is always decoded; its level is the one shown in "分队级别".
struct DecodedIndividual {
  std::int64_t number = 0;
  int level = 4;
};
DecodedIndividual readCpsxIndividual(const settings::FleetPlan& plan, PrefixIdent stored);
// A dynamic or fixed group: empty unless the ident is 1 to 8101.
std::optional<std::int64_t> readCpsxGroup(const settings::FleetPlan& plan, PrefixIdent stored);
// A hidden or waiting group: 0 for ident 0 and for a number above 32800000.
std::uint32_t readCpsxOtherGroup(const settings::FleetPlan& plan, PrefixIdent stored);

// Range limits FF MMM (fleet and member, no prefix).
std::int64_t cpsxIndividualLimitIdent(const settings::FleetPlan& plan, std::int64_t limit);
std::int64_t cpsxGroupLimitIdent(const settings::FleetPlan& plan, std::int64_t limit);
// Empty for ident 0, and for a member outside 200 to 899 (individual) or below 900 (group).
std::optional<std::int64_t> readCpsxIndividualLimit(const settings::FleetPlan& plan,
                                                    std::int64_t ident);
std::optional<std::int64_t> readCpsxGroupLimit(const settings::FleetPlan& plan, std::int64_t ident);

// ---- MPT1343 ---------------------------------------------------------------------------------
// Numbers of 9 or 10 digits: area (3), fleet (4), member (2 or 3). The long form applies when the
// own number has exactly 10 digits.

bool isMpt1343LongForm(std::string_view ownNumber);
// The own fleet code: the first 7 characters of the own number as a decimal number, modulo
// 10000 ("3262001206" gives 2001); none when they are not a number.
std::optional<std::int64_t> mpt1343OwnFleet(std::string_view ownNumber);

std::int64_t mpt1343IndividualLimitIdent(std::int64_t limit, bool longForm);
std::int64_t mpt1343GroupLimitIdent(std::int64_t limit, bool longForm);
// Empty for ident 0 and for a member outside the form's individual range (200 to 899 or 20 to
// 89) or below its group range (900 or 90).
std::optional<std::int64_t> readMpt1343IndividualLimit(std::int64_t ident, bool longForm,
                                                       std::int64_t ownFleet);
std::optional<std::int64_t> readMpt1343GroupLimit(std::int64_t ident, bool longForm,
                                                  std::int64_t groupFleet);

// Hidden and waiting groups against the group fleet code. Only 10-digit numbers are rebuilt on
// reading; a shorter number is stored with its first three digits as the area code.
PrefixIdent mpt1343OtherGroup(std::uint32_t number, std::int64_t groupFleet);
// 0 for ident 0, a prefix of 128 or more, or a number above 3280000000.
std::uint32_t readMpt1343OtherGroup(PrefixIdent stored, std::int64_t groupFleet);

}  // namespace rcp::image
