#include "rules/other_groups_dialog.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "rules/electronic_code.hpp"
#include "support/form_driver.hpp"
#include "support/test_program.hpp"

namespace rcp::rules {
namespace {

struct OtherGroupsDialogTest : ::testing::Test {
  test::TestProgram app;
  settings::WorkingValues& values = app.state().values;

  void open(std::function<void(ui::Form&)> script) {
    app.dialogs.onModal = std::move(script);
    app.main().userClick("OtherGrpButt");
  }
  // The port operations without their times: "> <91>", "purge", "read 6: 0112AF".
  std::vector<std::string> wire() const {
    using Kind = sim::SimulatedPort::Event::Kind;
    std::vector<std::string> out;
    for (const auto& e : app.port.events()) {
      std::string bytes;
      for (const std::uint8_t b : e.bytes)
        bytes += b == 0x91 ? "<91>" : b == '\r' ? "<CR>" : std::string(1, static_cast<char>(b));
      if (e.kind == Kind::Write) out.push_back("> " + bytes);
      if (e.kind == Kind::PurgeReceive) out.push_back("purge");
      if (e.kind == Kind::Read) out.push_back("read " + std::to_string(e.asked) + ": " + bytes);
    }
    return out;
  }
};

TEST_F(OtherGroupsDialogTest, ShowingFollowsMoreGroupsAndTheScheme) {
  values.otherGroups[0] = 3265500901u;
  values.otherGroups[47] = 3265500948u;
  values.moreGrpDisp = true;
  open([&](ui::Form& f) {
    for (const char* c : {"WaitGrpPage1", "WaitGrpPage2", "MoreGrpEnable"})
      EXPECT_TRUE(f.at(c).visible && f.at(c).enabled) << c;
    EXPECT_TRUE(f.checked("MoreGrpEnable"));
    EXPECT_EQ(f.text("OtherGrp1") + "/" + f.text("OtherGrp2") + "/" + f.text("OtherGrp48"),
              "3265500901//3265500948");
    EXPECT_EQ(f.at("OtherGrp30").maxLength, 10);
    f.userActivatePage("WaitGrpPage2");
  });
  values.moreGrpDisp = false;
  app.main().userClick("CPSX");  // sets every group to 0
  open([&](ui::Form& f) {
    EXPECT_FALSE(f.at("WaitGrpPage1").visible || f.at("WaitGrpPage2").visible);
    EXPECT_FALSE(f.at("MoreGrpEnable").enabled || f.checked("MoreGrpEnable"));
    EXPECT_EQ(f.activePage("OtherGrpPages"), "HideGrpPage") << "the open page was withdrawn";
    for (int n = 1; n <= 48; ++n) {
      const std::string field = "OtherGrp" + std::to_string(n);
      EXPECT_EQ(f.text(field), "") << field;
      EXPECT_EQ(f.at(field).maxLength, 8) << field;
    }
  });
}

TEST_F(OtherGroupsDialogTest, LeavingAGroupChecksItsLengthAndAreaCodeOnly) {
  const std::tuple<int, const char*, const char*> cases[] = {
      {0, "", ""},
      {0, "3265500901", ""},  // no fleet or level check here
      {0, "32655009", "号码应大于9位！"},
      {1, "3262090", "号码应为8位！"},
      {1, "19920900", "区号超出范围(200--327)！"},
  };
  for (const auto& [cpsx, text, warning] : cases) {
    values.diallingScheme =
        cpsx ? settings::DiallingScheme::Cpsx : settings::DiallingScheme::Mpt1343;
    app.dialogs.messages.clear();
    open([&](ui::Form& f) {
      f.userFocus("OtherGrp5");
      f.userType("OtherGrp5", text);
      f.userFocus("OtherGrp6");
      f.userExit("OtherGrp5");
      EXPECT_EQ(f.focused(), *warning ? "OtherGrp5" : "OtherGrp6") << text;
    });
    const auto expected = *warning ? std::vector<std::string>{warning} : std::vector<std::string>{};
    EXPECT_EQ(app.dialogs.texts(), expected) << text;
  }
}

TEST_F(OtherGroupsDialogTest, OkStoresTheGroupsAndTheSwitchCancelNothing) {
  values.moreGrpDisp = true;
  values.otherGroups[2] = 3265500903u;
  auto edit = [](ui::Form& f) {
    f.userType("OtherGrp1", "32620");  // warned of on leaving, stored all the same
    f.userType("OtherGrp3", "");
    f.userType("OtherGrp9", "9999999999");  // beyond 32 bits
    f.userClick("MoreGrpEnable");
  };
  open([&](ui::Form& f) {
    edit(f);
    f.userClick("BitBtn2");
    EXPECT_FALSE(f.isShowing());
  });
  EXPECT_EQ(values.otherGroups[2], 3265500903u);
  EXPECT_TRUE(values.moreGrpDisp);
  open([&](ui::Form& f) {
    edit(f);
    f.userClick("BitBtn1");
    EXPECT_FALSE(f.isShowing());
  });
  EXPECT_EQ(values.otherGroups[0], 32620u);
  EXPECT_EQ(values.otherGroups[2], 0u);
  EXPECT_EQ(values.otherGroups[8], 1410065407u) << "9999999999 modulo 2^32";
  EXPECT_FALSE(values.moreGrpDisp);
}

TEST_F(OtherGroupsDialogTest, WritingTheCodeBringsTheFieldsIntoRangeAndSendsThem) {
  app.port.clearEvents();
  open([&](ui::Form& f) {
    for (const auto& [field, typed, kept] : {std::tuple{"electcode1", "300", "0"},
                                             {"electcode1", "", "0"},
                                             {"electcode2", "65536", "0"},
                                             {"electcode2", "65535", "65535"}}) {
      test::enter(f, field, typed);
      EXPECT_EQ(f.text(field), kept) << field << " " << typed;
    }
    f.userType("electcode1", "255");
    f.userType("electcode2", "0");
    f.userClick("BitBtn3");
    f.userType("electcode1", "1");
    f.userType("electcode2", "74660");
    f.userClick("BitBtn3");
    EXPECT_EQ(f.text("electcode2"), "0");
  });
  EXPECT_EQ(wire(), (std::vector<std::string>{"> <91>", "> <91>WRITE02E703FF0000<CR>", "> <91>",
                                              "> <91>WRITE02E703010000<CR>"}));
  const auto& e = app.port.events();
  EXPECT_EQ(e[1].atMs - e[0].atMs, 20);
  app.port.settle();
  EXPECT_EQ(app.radio.memory()[0x2E7], 0x01);
  EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST_F(OtherGroupsDialogTest, ReadingTheCodeAsksTwiceAndShowsTheAnswer) {
  auto& memory = app.radio.memory();
  memory[0x2E7] = 0x01;
  memory[0x2E8] = 0x12;
  memory[0x2E9] = 0xAF;
  app.port.clearEvents();
  open([&](ui::Form& f) {
    f.userClick("BitBtn4");
    EXPECT_EQ(f.text("electcode1") + "/" + f.text("electcode2"), "1/4783");
  });
  const std::vector<std::string> once = {"> <91>", "purge", "> READ02E703<CR>", "read 6: 0112AF"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(wire(), twice);
  const auto& e = app.port.events();
  ASSERT_EQ(e.size(), 8u);
  EXPECT_EQ(e[1].atMs - e[0].atMs, 20);
  EXPECT_EQ(e[4].atMs - e[3].endMs, 50);
  EXPECT_EQ(e[5].atMs - e[4].atMs, 50);

  // A short answer leaves the fields as they were.
  app.radio.faults().answerDigits = 5;
  open([&](ui::Form& f) {
    f.userType("electcode2", "7");
    f.userClick("BitBtn4");
    EXPECT_EQ(f.text("electcode1") + "/" + f.text("electcode2"), "1/7");
  });
}

// A port that answers reads from a list.
struct AnsweringPort : test::RecordingPort {
  std::vector<std::string> answers;
  std::size_t read(std::span<std::uint8_t> buffer) override {
    const std::string a = answers.at(0);
    answers.erase(answers.begin());
    const std::size_t n = std::min(a.size(), buffer.size());
    std::copy_n(a.begin(), n, buffer.begin());
    return n;
  }
};

TEST(ElectronicCodeTest, OnlyTheSecondAnswerCountsEachCharacterAsADigit) {
  link::VirtualClock clock;
  AnsweringPort port;
  port.answers = {"000000", "FFFFFF", "FFFFFF", "0a0010"};
  auto code = readElectronicCode(port, clock);
  ASSERT_TRUE(code);
  EXPECT_EQ(code->first, 255);
  EXPECT_EQ(code->second, 65535);
  code = readElectronicCode(port, clock);  // unchecked: "a" counts as 97 - 55
  ASSERT_TRUE(code);
  EXPECT_EQ(code->first, 42);
  EXPECT_EQ(code->second, 16);
}

}  // namespace
}  // namespace rcp::rules
