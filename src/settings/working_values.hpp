#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rcp::settings {

// One pair of the system-label list: a route number (0 = unused entry) and its system number.
struct SystemLabel {
  std::uint32_t route = 0;
  std::uint32_t system = 0;
};

// The menu preset last applied: the buttons "常用菜单有效", "全部菜单无效", "全部菜单有效", or
// switches set one by one.
enum class MenuPreset : int { Common = 0, None = 1, All = 2, HandPicked = 3 };
// How the radio searches for a control channel.
enum class SearchMode : int { AllChannels = 0, Range = 1 };
enum class DiallingScheme : int { Mpt1343 = 0, Cpsx = 1 };
// Which groups a group call reaches: "全部有效" or "当前有效" (any other text counts as the current
// group).
enum class GroupCallMode : int { AllGroups = 0, CurrentGroup = 1 };

// The program-wide values kept beside the main window for the whole run. Start values are the
// ones the program starts with.
struct WorkingValues {
  // Channel plan.
  int baseRxFreq = 3610250;
  int baseTxFreq = 3510250;
  int duplexSpacing = 100000;
  int highestChannel = 160;
  SearchMode rangeSearch = SearchMode::Range;

  // Numbering plan and fleets.
  DiallingScheme diallingScheme = DiallingScheme::Mpt1343;
  GroupCallMode grpWayCurrent = GroupCallMode::AllGroups;
  int largeBlock = 10;
  int mediumBlock = 10;
  int smallBlock = 10;
  int levelBound1 = 20;
  int levelBound2 = 20;
  int levelBound3 = 30;
  static constexpr int levelBound4 = 60;

  MenuPreset menuPreset = MenuPreset::All;

  // Off-network channels 9 to 19, in 100 Hz steps; index 0 is channel 9.
  static constexpr int firstSimplex = 9;
  static constexpr int lastSimplex = 19;
  std::array<int, 11> simplexRx{3610250};
  std::array<int, 11> simplexTx{3510250};

  // The 48 other groups: 1 to 8 hidden groups, 9 to 48 waiting groups; index 0 is group 1.
  std::array<std::uint32_t, 48> otherGroups{};
  bool moreGrpDisp = false;  // the waiting groups are offered ("允许显示更多组")

  std::array<SystemLabel, 40> systemLabels{};

  // Radio model found by identification.
  bool phoneBookModel = false;

  // Frame and test tab.
  bool testUnlocked = false;
  bool aboutSuppressed = false;
  bool statusToggle = true;
  int passwordAttempts = 0;
};

}  // namespace rcp::settings
