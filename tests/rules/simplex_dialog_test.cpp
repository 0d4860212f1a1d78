#include "rules/simplex_dialog.hpp"

#include <gtest/gtest.h>

#include "support/test_program.hpp"

namespace rcp::rules {
namespace {

struct SimplexDialogTest : ::testing::Test {
  test::TestProgram app;
  settings::WorkingValues& values = app.state().values;

  // Opens the dialog from the main window and runs the script while it shows.
  void open(std::function<void(ui::Form&)> script) {
    app.dialogs.onModal = std::move(script);
    app.main().userClick("Advance");
  }
};

TEST_F(SimplexDialogTest, EveryShowingFillsTheRowsFromTheWorkingValues) {
  auto rows = [](ui::Form& f) {
    std::vector<std::string> texts;
    for (int row = 9; row <= 20; ++row)
      texts.push_back(f.text("S" + std::to_string(row) + "RxFreq") + "/" +
                      f.text("S" + std::to_string(row) + "TxFreq"));
    return texts;
  };
  std::vector<std::string> expected(12, "0/0");
  expected[0] = "3610250/3510250";
  expected[11] = "0000000/0000000";  // row 20 belongs to no channel
  open([&](ui::Form& f) {
    EXPECT_EQ(rows(f), expected);
    EXPECT_FALSE(f.at("S20RxFreq").enabled);
    EXPECT_FALSE(f.at("S20TxFreq").enabled);
  });
  values.simplexRx[3] = 8368125;  // channel 12
  values.simplexTx[10] = 8369625;
  expected[3] = "8368125/0";
  expected[10] = "0/8369625";
  open([&](ui::Form& f) { EXPECT_EQ(rows(f), expected); });
}

TEST_F(SimplexDialogTest, AnUnevenFrequencyIsWarnedOfAndStoredByOkOnly) {
  auto edit = [&](ui::Form& f) {
    f.userFocus("S12RxFreq");
    f.userType("S12RxFreq", "3610260");
    f.userFocus("S12TxFreq");
    f.userExit("S12RxFreq");
    f.userType("S10TxFreq", "");  // never left
  };
  open([&](ui::Form& f) {
    edit(f);
    EXPECT_EQ(f.focused(), "S12RxFreq");
    EXPECT_EQ(f.text("S12RxFreq"), "3610260");
    EXPECT_EQ(f.userKey("S9RxFreq", U'a'), 0u);
    f.userClick("Set_Cancle");
  });
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "应整除125！");
  EXPECT_EQ(app.dialogs.messages[0].caption, "系统信息");
  EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
  open(edit);  // closed by the window's close box
  EXPECT_EQ(values.simplexRx[3], 0);

  values.simplexTx[1] = 3480125;
  open([&](ui::Form& f) {
    edit(f);
    f.userClick("Set_OK");
    EXPECT_FALSE(f.isShowing());
  });
  EXPECT_EQ(values.simplexRx[3], 3610260);
  EXPECT_EQ(values.simplexTx[1], 0) << "an empty field stores 0";
  EXPECT_EQ(values.simplexRx[0], 3610250);
}

TEST_F(SimplexDialogTest, AFieldWithoutANumberStopsOkBeforeAnythingIsStored) {
  open([&](ui::Form& f) {
    f.userType("S9RxFreq", "3580125");
    f.userType("S14TxFreq", "12ab");  // pasted past the key filter
    f.userClick("Set_OK");
    EXPECT_TRUE(f.isShowing());
  });
  EXPECT_EQ(app.dialogs.texts(), std::vector<std::string>{"'12ab' is not a valid integer value."});
  EXPECT_EQ(values.simplexRx[0], 3610250);
}

}  // namespace
}  // namespace rcp::rules
