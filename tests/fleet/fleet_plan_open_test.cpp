// Opening a CPSX data file keeps its fleet plan as stored, whatever the level box showed before,
// runs no rule on it and shows nothing; the check warns of a plan out of order.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "image/write_image.hpp"
#include "program/data_file_opening.hpp"
#include "review/config_check.hpp"
#include "settings/fleet_levels.hpp"
#include "support/saved_file.hpp"
#include "support/test_program.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {
namespace {

struct StoredPlan {
  const char* what;
  test::KeyValues keys;
  settings::FleetBlocks blocks;
  const char* segmentShown;  // the level box's value
  bool readBackSqueezes;     // a read of the radio would put the plan in order
};

const StoredPlan kPlans[] = {
    {"level 1 above level 2",
     {{"LargeBlock", "10"}, {"MediumBlock", "5"}, {"Group1", "32630900"}},
     {10, 5, 10},
     "10",
     true},
    {"level 2 above level 3",
     {{"Block", "二级队"}, {"LargeBlock", "2"}, {"MediumBlock", "8"}, {"SmallBlock", "5"}},
     {2, 8, 5},
     "8",
     false},
};

TEST(FleetPlanOpen, ACpsxFileOpensWithItsBlocksAsStoredAndShowsNothing) {
  test::TempDir dir;
  for (const StoredPlan& plan : kPlans) {
    const auto file = test::savedFile(dir / "plan.ini", plan.keys, true);
    // What the level box showed before the open does not matter.
    for (const char* before : {"", "0", "3", "10"}) {
      test::TestProgram app;
      ui::Form& main = app.main();
      if (*before) {
        app.record().set("DiallingScheme", std::string("CPSX"));
        main.setText("MaxUnit", before);
      }
      const std::string focus = main.focused();
      app.dialogs.messages.clear();
      ASSERT_FALSE(openDataFileAndCheck(app.state(), file)) << plan.what;
      const std::string why = std::string(plan.what) + ", box showed " + before;
      EXPECT_EQ(settings::fleetBlocks(app.state().values), plan.blocks) << why;
      EXPECT_EQ(settings::fleetPlan(app.state().values),
                settings::FleetPlan::fromBlocks(plan.blocks))
          << why;
      EXPECT_EQ(main.text("MaxUnit"), plan.segmentShown) << why;
      EXPECT_TRUE(app.dialogs.messages.empty()) << why;
      EXPECT_EQ(main.focused(), focus) << why;
      // The write encodes the plan as stored.
      const auto encoded = image::encodeWrite(app.state(), image::MenuBits{});
      ASSERT_TRUE(std::holds_alternative<image::WriteImage>(encoded))
          << why << ": " << std::get<image::EncodeError>(encoded).message;
      const image::MemoryImage& memory = std::get<image::WriteImage>(encoded).memory;
      EXPECT_EQ(memory.byte(0x04E), plan.blocks.large) << why;
      EXPECT_EQ(memory.byte(0x04F), plan.blocks.medium) << why;
      EXPECT_EQ(memory.byte(0x050), plan.blocks.small) << why;
    }
    {
      // The write sends the plan as stored, without a box.
      test::TestProgram app;
      ASSERT_FALSE(openDataFileAndCheck(app.state(), file));
      app.clock.pause(1000);
      app.port.settle();
      app.port.clearEvents();
      app.dialogs.messages.clear();
      TransferMemory memory;
      const WriteReport report = WriteDataClick(app.state(), memory, {}, RestoreOffer::Ask);
      EXPECT_EQ(report.outcome, image::TransferOutcome::Done) << plan.what;
      EXPECT_EQ(app.radio.memory()[0x04E], plan.blocks.large) << plan.what;
      EXPECT_EQ(app.radio.memory()[0x04F], plan.blocks.medium) << plan.what;
      EXPECT_EQ(app.radio.memory()[0x050], plan.blocks.small) << plan.what;
      EXPECT_TRUE(app.dialogs.messages.empty()) << app.dialogs.messages.front().text;
    }
    // The check warns of the order, as the window's level box would not offer it; a plan the
    // read's level rule would squeeze (the own number's level 1 bounded by level 2) adds a note of
    // each value the read then shows otherwise.
    const DataFileCheck check = checkDataFile(file);
    ASSERT_FALSE(check.openError);
    bool warned = false;
    for (const CheckWarning& w : check.warnings) warned = warned || w.field == "Block";
    EXPECT_TRUE(warned) << plan.what;
    bool noted = false;
    for (const auto& note : check.notes)
      noted = noted || note.text.starts_with("一级队的最高段号 “10” 写入电台后读回为 “5”：");
    EXPECT_EQ(noted, plan.readBackSqueezes) << plan.what;
  }
}

TEST(FleetPlanOpen, APlanInOrderIsNoWarning) {
  test::TempDir dir;
  const auto file = test::savedFile(
      dir / "plan.ini", {{"LargeBlock", "2"}, {"MediumBlock", "5"}, {"SmallBlock", "8"}}, true);
  const DataFileCheck check = checkDataFile(file);
  ASSERT_FALSE(check.openError);
  for (const CheckWarning& w : check.warnings) EXPECT_NE(w.field, "Block") << w.text;
}

}  // namespace
}  // namespace rcp::app
