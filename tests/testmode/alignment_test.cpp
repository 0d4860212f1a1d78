#include "testmode/alignment.hpp"

#include <gtest/gtest.h>

#include <string>

#include "testmode/test_tab_fixture.hpp"

namespace rcp::testmode {
namespace {

using Alignment = TestTabFixture;

TEST_F(Alignment, EveryChangeOfASpinEditIsSentAtOnce) {
  main.userFocus("VR1");
  main.userType("VR1", "1");
  main.userType("VR1", "12");
  main.userExit("VR1");
  EXPECT_EQ(app.written(), "VR11\rVR112\r") << "typing sends, leaving an in-range value does not";
  EXPECT_EQ(main.value("VR1Bar"), 12);

  app.port.clearEvents();
  for (int v = 11; v >= 5; --v) main.userSetValue("VR1", v);  // the spin arrows
  EXPECT_EQ(app.written(), "VR111\rVR110\rVR19\rVR18\rVR17\rVR16\rVR15\r");
  EXPECT_EQ(main.value("VR1Bar"), 5);

  app.port.clearEvents();
  main.setValue("VR4", 3);  // as a read sets it
  EXPECT_EQ(app.written(), "VR43\r");
}

TEST_F(Alignment, ValuesOutOfRangeAreClampedWhenLeftAndNeverSentBeyondTheCommandForm) {
  test::enter(main, "VR2", "17");
  EXPECT_EQ(app.written(), "VR217\rVR215\r") << "sent as typed, then again clamped on leaving";
  EXPECT_EQ(main.text("VR2"), "15");
  EXPECT_EQ(main.value("VR2Bar"), 15);

  app.port.clearEvents();
  test::enter(main, "VR3", "25");
  test::enter(main, "VR4", "8");
  test::enter(main, "VR4", "40");
  EXPECT_EQ(app.written(), "VR315\rVR315\rVR48\rVR47\rVR47\rVR47\r");
  EXPECT_EQ(main.text("VR4"), "7");

  app.port.clearEvents();
  main.userType("VR3", "");
  EXPECT_EQ(main.text("VR3"), "0") << "an emptied spin edit becomes 0";
  EXPECT_EQ(main.value("VR3Bar"), 0);
  EXPECT_EQ(app.written(), "VR30\r");
}

TEST_F(Alignment, TheTenStepButtonsWrapAndSendThreeDigits) {
  main.setText("VRSQ", "255");
  main.userUp("CSpinButton1");
  EXPECT_EQ(main.text("VRSQ"), "0");
  main.userDown("CSpinButton1");
  EXPECT_EQ(main.text("VRSQ"), "255");
  main.setText("VRPP0", "6");
  main.userUp("CSpinButton7");
  EXPECT_EQ(main.text("VRPP0"), "7");
  main.userUp("CSpinButton8");
  main.userDown("CSpinButton2");
  EXPECT_EQ(app.written(), "SS000\rSS255\rPP0007\rLM1001\rPP1255\r");
}

TEST_F(Alignment, TypingInTheStepEditsSendsNothingAndAnEmptyOneIsAConversionError) {
  test::enter(main, "VRBF", "123");
  EXPECT_EQ(app.written(), "");
  main.userDown("CSpinButton3");
  EXPECT_EQ(app.written(), "BF122\r");

  main.userType("VRBF", "");
  main.userUp("CSpinButton3");
  EXPECT_EQ(boxes(), (std::vector<std::string>{"'' is not a valid integer value."}));
  EXPECT_EQ(app.written(), "BF122\r");

  main.setText("VRPWR", "700");  // more than a byte: stepped as it stands
  main.userDown("CSpinButton4");
  EXPECT_EQ(main.text("VRPWR"), "699");
  main.setText("VRPWR", "-4");
  main.userDown("CSpinButton4");
  EXPECT_EQ(main.text("VRPWR"), "-5");
  EXPECT_EQ(app.written(), "BF122\rPWR699\rPWR000\r") << "no command form for -5";
}

TEST_F(Alignment, CompanderAndScramblerSwitches) {
  main.userClick("CompressOpen");
  main.userClick("CompressOpen");  // already selected: no click
  main.userClick("CompressClose");
  EXPECT_EQ(app.written(), "TC1\rTC0\r");

  app.port.clearEvents();
  main.userClick("SecretCheck");
  EXPECT_EQ(main.text("ScramBox"), "语音加密开");
  EXPECT_EQ(app.record().text("语音加密"), "语音加密开");
  main.userClick("SecretCheck");
  EXPECT_EQ(main.text("ScramBox"), "语音加密关");
  EXPECT_EQ(app.written(), "PN0\rPN1\r");
}

TEST_F(Alignment, WhatTheRadioIsSentItKeepsForTheNextRead) {
  test::enter(main, "VR1", "9");
  main.userUp("CSpinButton1");
  main.userUp("CSpinButton1");
  main.userClick("CompressOpen");
  main.userActivatePage("NormalSet");
  app.port.settle();
  const auto& memory = app.radio.memory();
  EXPECT_EQ(memory[0x0DE] & 0x0F, 9);
  EXPECT_GE(memory[0x0DF] >> 4, 8);
  EXPECT_EQ(memory[0x2DD], 2);
  EXPECT_EQ(app.radio.state(), sim::VirtualRadio::State::Idle);

  // Outside the test state the radio takes none of it.
  test::enter(main, "VR1", "3");
  main.userUp("CSpinButton1");
  app.port.settle();
  EXPECT_EQ(memory[0x0DE] & 0x0F, 9);
  EXPECT_EQ(memory[0x2DD], 2);
}

TEST_F(Alignment, EveryFieldOfTheTabTakesOnlyDigits) {
  for (const char* field : {"CurrentChannelNum", "CurrentRxFreq", "CurrentTxFreq", "FreqInc", "VR1",
                            "VR4", "VRSQ", "VR_Sen3", "FirstMF", "SecondMF", "InterM6"}) {
    EXPECT_EQ(main.userKey(field, U'-'), 0u) << field;
    EXPECT_EQ(main.userKey(field, U'7'), U'7') << field;
  }
}

}  // namespace
}  // namespace rcp::testmode
