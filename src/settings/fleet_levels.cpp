#include "settings/fleet_levels.hpp"

#include <array>
#include <stdexcept>
#include <string>

namespace rcp::settings {

namespace {

struct LevelRow {
  std::string_view name;
  std::string_view caption;  // of the highest-segment spin box
  MemberRange individuals;
  MemberRange groups;
};

constexpr std::array<LevelRow, kLevelCount> kLevels = {{
    {"一级队", "一级队的最高段号", {200, 899}, {900, 999}},
    {"二级队", "二级队的最高段号", {200, 553}, {900, 950}},
    {"三级队", "三级队的最高段号", {200, 435}, {900, 933}},
    {"四级队", "四级队的最高段号", {200, 317}, {900, 916}},
}};

// The groups 900 to 909 an odd level-1 fleet number carries for its pair.
constexpr MemberRange kCrossFleetGroups{900, 909};

const LevelRow& row(int level) {
  if (level < 1 || level > kLevelCount)
    throw std::out_of_range("no fleet level " + std::to_string(level));
  return kLevels[static_cast<std::size_t>(level - 1)];
}

}  // namespace

FleetRange FleetPlan::fleets(int level) const {
  switch (level) {
    case 1:
      return {kFirstFleet, bound1 + kFirstFleet};
    case 2:
      return {bound1 + kFirstFleet, bound2 + kFirstFleet};
    // A level-3 fleet holds two thirds of the idents of a level-2 fleet and a level-4 fleet half
    // of a level-3 one, so their first numbers lie where the idents of the larger fleets end.
    case 3:
      return {(3 * bound2) / 2 + kFirstFleet, bound3 + kFirstFleet};
    case 4:
      return {2 * bound3 + kFirstFleet, bound4 + kFirstFleet};
    default:
      row(level);  // throws
      return {};
  }
}

std::optional<int> FleetPlan::levelOf(int fleet) const {
  for (int level = 1; level <= kLevelCount; ++level)
    if (fleets(level).contains(fleet)) return level;
  return std::nullopt;
}

MemberRange individualMembers(int level) {
  return row(level).individuals;
}

bool isCrossFleet(int level, int fleet) {
  return level == 1 && fleet % 2 != 0;
}

bool carriesIndividuals(int level, int fleet) {
  row(level);
  return !isCrossFleet(level, fleet);
}

MemberRange groupMembers(int level, int fleet) {
  return isCrossFleet(level, fleet) ? kCrossFleetGroups : row(level).groups;
}

std::string_view levelName(int level) {
  return row(level).name;
}

std::optional<int> levelNamed(std::string_view name) {
  for (int level = 1; level <= kLevelCount; ++level)
    if (row(level).name == name) return level;
  return std::nullopt;
}

SegmentChoice segmentChoice(int level, FleetBlocks blocks) {
  const std::string_view caption = row(level).caption;
  switch (level) {
    case 1:
      return {0, blocks.medium, blocks.large, true, caption};
    case 2:
      return {blocks.large, blocks.small, blocks.medium, true, caption};
    case 3:
      return {blocks.medium, 10, blocks.small, true, caption};
    default:
      return {std::nullopt, 10, 10, false, caption};
  }
}

FleetPlan fleetPlan(const WorkingValues& values) {
  return {values.levelBound1, values.levelBound2, values.levelBound3, WorkingValues::levelBound4};
}

FleetBlocks fleetBlocks(const WorkingValues& values) {
  return {values.largeBlock, values.mediumBlock, values.smallBlock};
}

bool blocksInOrder(const FleetBlocks& b) {
  return 0 <= b.large && b.large <= b.medium && b.medium <= b.small && b.small <= 10;
}

void boundLevelsByBlocks(WorkingValues& values) {
  const FleetPlan plan = FleetPlan::fromBlocks(fleetBlocks(values));
  values.levelBound1 = plan.bound1;
  values.levelBound2 = plan.bound2;
  values.levelBound3 = plan.bound3;
}

}  // namespace rcp::settings
