#include "image/number_codec.hpp"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace rcp::image {
namespace {

using settings::FleetBlocks;
using settings::FleetPlan;

const FleetPlan kStartUp = FleetPlan::fromBlocks({10, 10, 10});    // bounds 20, 20, 30
const FleetPlan kFiveTenTen = FleetPlan::fromBlocks({5, 10, 10});  // bounds 10, 20, 30

TEST(CpsxNumbers, StartUpPlanStoresOwnNumberAndGroupsOfLevelOne) {
  EXPECT_EQ(cpsxIndividual(kStartUp, 32620201), (PrefixIdent{126, 2}));
  EXPECT_EQ(cpsxIndividual(kStartUp, 32620200), (PrefixIdent{126, 1}));
  EXPECT_EQ(cpsxGroup(kStartUp, 32620900), (PrefixIdent{126, 701}));
  // The odd fleet of a level-1 pair carries the cross-fleet groups, after the even one's.
  EXPECT_EQ(cpsxGroup(kStartUp, 32621905), (PrefixIdent{126, 806}));
  EXPECT_EQ(decodeGroup(kStartUp, 806), (FleetMember{21, 905, 1}));
  EXPECT_EQ(readCpsxGroup(kStartUp, {126, 806}), 32621905);
  // Ident 1 of prefix 126: fleet 20, member 200, level 1.
  const DecodedIndividual own = readCpsxIndividual(kStartUp, {126, 1});
  EXPECT_EQ(own.number, 20000000 + 126 * 100000 + 20200);
  EXPECT_EQ(own.level, 1);
}

TEST(CpsxNumbers, LevelTwoFleetsOfAPlanWithFewerLevelOneSegments) {
  EXPECT_EQ(individualIdent(kFiveTenTen, 30, 200), 4051);
  EXPECT_EQ(groupIdent(kFiveTenTen, 30, 900), 4405);
  EXPECT_EQ(decodeIndividual(kFiveTenTen, 4051), (FleetMember{30, 200, 2}));
  EXPECT_EQ(cpsxIndividualLimitIdent(kFiveTenTen, 30200), 4051);
  EXPECT_EQ(cpsxIndividualLimitIdent(kFiveTenTen, 30553), 4404);
  EXPECT_EQ(readCpsxIndividualLimit(kFiveTenTen, 4404), 30553);
  EXPECT_EQ(readCpsxGroupLimit(kFiveTenTen, 4405), 30900);
}

TEST(CpsxNumbers, ZeroAndEmptyAndIdentsOutsideTheirRange) {
  EXPECT_EQ(cpsxIndividual(kStartUp, 0), PrefixIdent{});
  EXPECT_EQ(cpsxGroup(kStartUp, 0), PrefixIdent{});
  EXPECT_EQ(readCpsxGroup(kStartUp, {126, 0}), std::nullopt);
  EXPECT_EQ(readCpsxGroup(kStartUp, {126, 8102}), std::nullopt);
  EXPECT_TRUE(readCpsxGroup(kStartUp, {126, 8101}));
  EXPECT_EQ(readCpsxIndividualLimit(kStartUp, 0), std::nullopt);
  EXPECT_EQ(readCpsxGroupLimit(kStartUp, 0), std::nullopt);
  // A group limit shows only a group member: ident 1 decodes as group to member 782.
  EXPECT_EQ(readCpsxGroupLimit(kStartUp, 1), std::nullopt);
  EXPECT_EQ(readCpsxOtherGroup(kStartUp, {126, 0}), 0u);
  EXPECT_EQ(readCpsxOtherGroup(kStartUp, {127, 701}), 32720900u);
  EXPECT_EQ(readCpsxOtherGroup(kStartUp, {128, 701}), 0u) << "above 32800000";
}

TEST(CpsxNumbers, FleetsOutsideEveryLevelAreEncodedAsLevelFour) {
  // 135 idents a fleet, counted from fleet 20, for fleet numbers below 20 too.
  EXPECT_EQ(encodingLevel(kStartUp, 19), 4);
  EXPECT_EQ(encodingLevel(kStartUp, 40), 4);
  EXPECT_EQ(individualIdent(kStartUp, 19, 200), -134);
  EXPECT_EQ(groupIdent(kStartUp, 40, 900), 40 * 135 + 900 - 3481);
  const FleetPlan levelFourOnly = FleetPlan::fromBlocks({0, 0, 0});
  EXPECT_EQ(groupIdent(levelFourOnly, 20, 900), 119);
  EXPECT_EQ(decodeGroup(levelFourOnly, 119), (FleetMember{20, 900, 4}));
  EXPECT_EQ(decodeIndividual(levelFourOnly, 118), (FleetMember{20, 317, 4}));
}

// Every member a plan admits has its own ident and decodes back to itself, for the plans the
// level-segment box can produce (large <= medium <= small <= 10). Exhaustive for a few plans,
// the members at the edges of every range for all of them.
TEST(CpsxNumbers, EveryAdmittedMemberHasItsOwnIdentAndDecodesBack) {
  const std::vector<FleetBlocks> exhaustive = {{10, 10, 10}, {5, 10, 10}, {0, 0, 0},
                                               {0, 0, 10},   {3, 6, 9},   {2, 2, 4}};
  auto check = [](FleetBlocks blocks, bool allMembers) {
    const FleetPlan plan = FleetPlan::fromBlocks(blocks);
    std::map<std::int64_t, std::pair<int, int>> owners;
    for (int fleet = 0; fleet < 100; ++fleet) {
      const auto level = plan.levelOf(fleet);
      if (!level) continue;
      auto visit = [&](settings::MemberRange members, bool group) {
        for (int m = members.first; m <= members.last; ++m) {
          if (!allMembers && m > members.first + 1 && m < members.last - 1) continue;
          const std::int64_t ident =
              group ? groupIdent(plan, fleet, m) : individualIdent(plan, fleet, m);
          ASSERT_GE(ident, 1);
          ASSERT_LE(ident, 8100);
          const auto [it, fresh] = owners.emplace(ident, std::pair{fleet, m});
          ASSERT_TRUE(fresh) << fleet << "/" << m << " shares ident " << ident << " with "
                             << it->second.first << "/" << it->second.second;
          const FleetMember back = group ? decodeGroup(plan, ident) : decodeIndividual(plan, ident);
          ASSERT_EQ(back.fleet, fleet) << "ident " << ident;
          ASSERT_EQ(back.member, m) << "ident " << ident;
          if (!group) {
            ASSERT_EQ(back.level, *level);
          }
        }
      };
      if (settings::carriesIndividuals(*level, fleet))
        visit(settings::individualMembers(*level), false);
      visit(settings::groupMembers(*level, fleet), true);
    }
  };
  for (const FleetBlocks& b : exhaustive) {
    check(b, true);
    if (HasFatalFailure()) return;
  }
  for (int small = 0; small <= 10; ++small)
    for (int medium = 0; medium <= small; ++medium)
      for (int large = 0; large <= medium; ++large) {
        check({large, medium, small}, false);
        if (HasFatalFailure()) return;
      }
}

TEST(Mpt1343Numbers, RangeLimitsAgainstTheOwnAndTheGroupFleet) {
  EXPECT_EQ(mpt1343OwnFleet("3262001206"), 2001);
  EXPECT_TRUE(isMpt1343LongForm("3262001206"));
  EXPECT_EQ(mpt1343IndividualLimitIdent(2001200, true), 2);
  EXPECT_EQ(readMpt1343IndividualLimit(2, true, 2001), 2001200);
  EXPECT_EQ(mpt1343GroupLimitIdent(5500900, true), 7000);
  EXPECT_EQ(readMpt1343GroupLimit(7000, true, 5500), 5500900);
  // The short form of a 9-digit own number counts members in hundreds.
  EXPECT_EQ(mpt1343OwnFleet("326200120"), 2001);
  EXPECT_FALSE(isMpt1343LongForm("326200120"));
  EXPECT_EQ(mpt1343IndividualLimitIdent(200120, false), 2);
  EXPECT_EQ(readMpt1343IndividualLimit(2, false, 2001), 200120);
  EXPECT_EQ(mpt1343GroupLimitIdent(550090, false), 7000);
  EXPECT_EQ(readMpt1343GroupLimit(7000, false, 5500), 550090);
  // Ident 0 and members outside the form's range show empty.
  EXPECT_EQ(readMpt1343IndividualLimit(0, true, 2001), std::nullopt);
  EXPECT_EQ(readMpt1343IndividualLimit(1, true, 2001), std::nullopt);  // member 199
  EXPECT_EQ(readMpt1343GroupLimit(0, true, 5500), std::nullopt);
  EXPECT_EQ(readMpt1343GroupLimit(6999, true, 5500), std::nullopt);  // member 899
  EXPECT_EQ(mpt1343OwnFleet("32A2001206"), std::nullopt);
}

TEST(Mpt1343Numbers, HiddenAndWaitingGroupsAgainstTheGroupFleet) {
  EXPECT_EQ(mpt1343OtherGroup(3265500900u, 5500), (PrefixIdent{126, 7000}));
  EXPECT_EQ(readMpt1343OtherGroup({126, 7000}, 5500), 3265500900u);
  EXPECT_EQ(mpt1343OtherGroup(0, 5500), PrefixIdent{});
  EXPECT_EQ(readMpt1343OtherGroup({126, 0}, 5500), 0u);
  EXPECT_EQ(readMpt1343OtherGroup({128, 7000}, 5500), 0u);
  EXPECT_EQ(readMpt1343OtherGroup({127, 65535}, 9999), 0u) << "above 3280000000";
  // Only the member survives: the fleet digits come back as the group fleet.
  EXPECT_EQ(readMpt1343OtherGroup(mpt1343OtherGroup(3262001950u, 5500), 5500), 3265500950u);
  // A 9-digit number keeps its first three digits as the area; its member is two digits.
  EXPECT_EQ(mpt1343OtherGroup(326550090u, 5500), (PrefixIdent{126, 90 + 11000 - 4090}));
}

}  // namespace
}  // namespace rcp::image
