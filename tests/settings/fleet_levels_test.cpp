#include "settings/fleet_levels.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace rcp::settings {
namespace {

// Fleet number -> level, or 0 for a fleet no level owns.
int levelAt(const FleetPlan& plan, int fleet) {
  return plan.levelOf(fleet).value_or(0);
}

TEST(FleetLevels, StartUpBlocksGiveOnlyLevelOneFleets) {
  const FleetPlan plan = FleetPlan::fromBlocks({});
  EXPECT_EQ(plan, (FleetPlan{20, 20, 30, 60}));
  EXPECT_EQ(levelAt(plan, 19), 0);
  EXPECT_EQ(levelAt(plan, 20), 1);
  EXPECT_EQ(levelAt(plan, 39), 1);
  for (int fleet : {40, 49, 50, 79, 80}) EXPECT_EQ(levelAt(plan, fleet), 0) << fleet;
}

TEST(FleetLevels, LevelsThreeAndFourStartWhereTheLargerFleetsIdentsEnd) {
  const FleetPlan plan = FleetPlan::fromBlocks({2, 4, 9});  // bounds 4, 8, 27
  EXPECT_EQ(plan.fleets(2), (FleetRange{24, 28}));
  EXPECT_EQ(plan.fleets(3), (FleetRange{32, 47}));  // 3 x 8 / 2 + 20, not 28
  EXPECT_EQ(plan.fleets(4), (FleetRange{74, 80}));  // 2 x 27 + 20, not 47
  EXPECT_EQ(levelAt(plan, 23), 1);
  EXPECT_EQ(levelAt(plan, 27), 2);
  EXPECT_EQ(levelAt(plan, 30), 0);
  EXPECT_EQ(levelAt(plan, 46), 3);
  EXPECT_EQ(levelAt(plan, 60), 0);
  EXPECT_EQ(levelAt(plan, 79), 4);
  EXPECT_EQ((FleetPlan{4, 5, 27, 60}).fleets(3).first, 27) << "whole-number division";
  // Overlapping runs: the first level in table order wins.
  EXPECT_EQ(levelAt(FleetPlan{20, 10, 40, 60}, 36), 1);
  EXPECT_EQ(levelAt(FleetPlan{20, 10, 40, 60}, 45), 3);
}

TEST(FleetLevels, MembersPerLevelAndOddLevelOneFleets) {
  EXPECT_EQ(individualMembers(1), (MemberRange{200, 899}));
  EXPECT_EQ(individualMembers(2), (MemberRange{200, 553}));
  EXPECT_EQ(individualMembers(3), (MemberRange{200, 435}));
  EXPECT_EQ(individualMembers(4), (MemberRange{200, 317}));
  EXPECT_TRUE(carriesIndividuals(1, 20));
  EXPECT_FALSE(carriesIndividuals(1, 21));
  EXPECT_TRUE(carriesIndividuals(2, 41)) << "only level 1 pairs its fleets";
  EXPECT_EQ(groupMembers(1, 20), (MemberRange{900, 999}));
  EXPECT_EQ(groupMembers(1, 21), (MemberRange{900, 909}));
  EXPECT_EQ(groupMembers(2, 41), (MemberRange{900, 950}));
  EXPECT_EQ(groupMembers(3, 50), (MemberRange{900, 933}));
  EXPECT_EQ(groupMembers(4, 71), (MemberRange{900, 916}));
  EXPECT_THROW(individualMembers(5), std::out_of_range);
}

TEST(FleetLevels, NamesAndTheSegmentChoiceOfEachLevel) {
  for (int level = 1; level <= kLevelCount; ++level) EXPECT_EQ(levelNamed(levelName(level)), level);
  EXPECT_EQ(levelName(4), "四级队");
  EXPECT_FALSE(levelNamed("五级队"));

  const FleetBlocks blocks{4, 6, 8};
  EXPECT_EQ(segmentChoice(1, blocks), (SegmentChoice{0, 6, 4, true, "一级队的最高段号"}));
  EXPECT_EQ(segmentChoice(2, blocks), (SegmentChoice{4, 8, 6, true, "二级队的最高段号"}));
  EXPECT_EQ(segmentChoice(3, blocks), (SegmentChoice{6, 10, 8, true, "三级队的最高段号"}));
  EXPECT_EQ(segmentChoice(4, blocks),
            (SegmentChoice{std::nullopt, 10, 10, false, "四级队的最高段号"}));
  EXPECT_EQ(blocks.withSegment(2, 7), (FleetBlocks{4, 7, 8}));
  EXPECT_EQ(blocks.withSegment(4, 7), blocks);
}

}  // namespace
}  // namespace rcp::settings
