#pragma once

#include <optional>
#include <string_view>

#include "settings/working_values.hpp"

// The fleet levels of the CPSX dialling scheme. A CPSX number is PPP FF MMM: area code, a
// two-digit fleet number and the member inside the fleet. Fleets come in four sizes ("一级队" to
// "四级队"); the segment numbers of the first three sizes (the block values) decide which fleet
// numbers each level owns, and the level decides how far individual and group members reach.
// Plain values only, shared by the editing rules, the number encodings and the data files.
namespace rcp::settings {

inline constexpr int kFirstFleet = 20;  // the lowest fleet number of any level
inline constexpr int kLevelCount = 4;

// An inclusive run of numbers: members inside a fleet.
struct MemberRange {
  int first = 0;
  int last = 0;

  constexpr bool contains(int n) const { return first <= n && n <= last; }
  friend constexpr bool operator==(MemberRange, MemberRange) = default;
};

// A half-open run of fleet numbers [first, end); empty when end <= first.
struct FleetRange {
  int first = 0;
  int end = 0;

  constexpr bool contains(int fleet) const { return first <= fleet && fleet < end; }
  friend constexpr bool operator==(FleetRange, FleetRange) = default;
};

// The highest segment numbers of level-1, level-2 and level-3 fleets.
struct FleetBlocks {
  int large = 10;
  int medium = 10;
  int small = 10;

  // The same blocks with the segment number of one level replaced; level 4 keeps none.
  constexpr FleetBlocks withSegment(int level, int value) const {
    FleetBlocks b = *this;
    if (level == 1) b.large = value;
    if (level == 2) b.medium = value;
    if (level == 3) b.small = value;
    return b;
  }

  friend constexpr bool operator==(FleetBlocks, FleetBlocks) = default;
};

// Where each level's fleet numbers end, as offsets from the first fleet number.
struct FleetPlan {
  int bound1 = 20;
  int bound2 = 20;
  int bound3 = 30;
  int bound4 = 60;

  // Bounds 2 x large, 2 x medium, 3 x small; the last one is fixed.
  static constexpr FleetPlan fromBlocks(FleetBlocks blocks) {
    return {2 * blocks.large, 2 * blocks.medium, 3 * blocks.small, 60};
  }

  // The fleet numbers a level claims (level 1 to 4). The runs may be empty or, with unusual
  // block values, overlap; levelOf settles overlaps in level order.
  FleetRange fleets(int level) const;
  // The first level whose fleet run holds the fleet number; none for a number no level owns.
  std::optional<int> levelOf(int fleet) const;

  friend constexpr bool operator==(FleetPlan, FleetPlan) = default;
};

// Individual members of a level's fleets. On level 1 only even fleet numbers carry individuals;
// ask carriesIndividuals first.
MemberRange individualMembers(int level);
bool carriesIndividuals(int level, int fleet);
// Group members of a fleet: an odd level-1 fleet number carries only the cross-fleet groups.
MemberRange groupMembers(int level, int fleet);
// A level-1 fleet with an odd number: its groups reach across the pair of fleets.
bool isCrossFleet(int level, int fleet);

// "一级队" to "四级队" for levels 1 to 4, and back (none for any other text).
std::string_view levelName(int level);
std::optional<int> levelNamed(std::string_view name);

// What the spin box of the highest segment number offers while a level is chosen: its bounds,
// its value and its caption. On level 4 there is nothing to choose: the box is fixed at 10,
// disabled, and keeps whatever minimum it had.
struct SegmentChoice {
  std::optional<int> min;  // none: the minimum stays as it is
  int max = 10;
  int value = 10;
  bool editable = true;
  std::string_view caption;

  friend bool operator==(const SegmentChoice&, const SegmentChoice&) = default;
};
SegmentChoice segmentChoice(int level, FleetBlocks blocks);

// The fleet plan as the level bounds stand now, and the block values.
FleetPlan fleetPlan(const WorkingValues& values);
FleetBlocks fleetBlocks(const WorkingValues& values);
// 0 ≤ level 1 ≤ level 2 ≤ level 3 ≤ 10, the order the window's level boxes keep.
bool blocksInOrder(const FleetBlocks& blocks);
// The level bounds follow the block values at once (a segment change, a read, an opened file).
void boundLevelsByBlocks(WorkingValues& values);

}  // namespace rcp::settings
