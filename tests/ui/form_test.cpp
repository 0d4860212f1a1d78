#include "ui/form.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/layout.hpp"

namespace rcp::ui {
namespace {

FormSpec sample() {
  FormSpec windowLayout{"Sample", "TSample", "样例", 0, 0, {}};
  LayoutWriter w(windowLayout);
  w << tabControl("Pages", "", "First") << tabPage("First", "Pages", "一")
    << tabPage("Second", "Pages", "二") << groupBox("GroupA", "First", "A")
    << groupBox("GroupB", "First", "B") << radioButton("A1", "GroupA", "a1").checked()
    << radioButton("A2", "GroupA", "a2") << radioButton("B1", "GroupB", "b1").checked()
    << checkBox("Box", "First", "box") << spinEdit("Spin", "First", 10, 120, 60).step(10)
    << spinEdit("Free", "First", 0, 0, 5) << comboBox("Combo", "Second", {"x", "y"}, "x")
    << trackBar("Bar", "Second", 0, 16, 4) << edit("Field", "Second").maxLength(4);
  return windowLayout;
}

struct FormTest : ::testing::Test {
  Form form{sample()};
  std::vector<std::string> events;

  void record(const char* control, Event event, const char* tag) {
    form.on(control, event, [this, tag](Control&) { events.push_back(tag); });
  }
};

TEST_F(FormTest, SwitchesFireClickOnlyWhenTheirStateChanges) {
  record("Box", Event::Click, "box");
  record("A2", Event::Click, "a2");
  record("A1", Event::Click, "a1");
  form.setChecked("Box", false);  // already off
  form.setChecked("Box", true);
  form.setChecked("A2", true);
  EXPECT_FALSE(form.checked("A1"));
  EXPECT_TRUE(form.checked("B1")) << "a radio group is the buttons of one parent";
  form.setChecked("A2", false);  // unchecking a radio button runs nothing
  form.userClick("A2");          // the user checks it again
  EXPECT_EQ(events, (std::vector<std::string>{"box", "a2", "a2"}));
  EXPECT_EQ(form.checkedRadio("GroupA"), "A2");
}

TEST_F(FormTest, SpinEditsClampFromCodeButKeepTypedTextUntilLeft) {
  record("Spin", Event::Change, "change");
  record("Spin", Event::Exit, "exit");
  form.setValue("Spin", 5);
  EXPECT_EQ(form.value("Spin"), 10);
  form.setValue("Spin", 10);  // no change, no event
  EXPECT_EQ(events.size(), 1u);

  form.userType("Spin", "200");
  EXPECT_EQ(form.text("Spin"), "200") << "typing is not corrected while the box has the focus";
  form.userExit("Spin");
  EXPECT_EQ(form.text("Spin"), "120");
  EXPECT_EQ(events, (std::vector<std::string>{"change", "change", "change", "exit"}));

  form.setValue("Free", 5000);
  EXPECT_EQ(form.value("Free"), 5000) << "equal bounds leave a spin edit unbounded";
}

TEST_F(FormTest, ASpinEditWithItsMinimumAboveItsMaximumChecksTheMinimumFirst) {
  form.setRange("Spin", 80, 50);
  form.setValue("Spin", 90);
  EXPECT_EQ(form.value("Spin"), 50) << "above the maximum, not below the minimum";
  form.setValue("Spin", 60);
  EXPECT_EQ(form.value("Spin"), 80) << "below the minimum";
  form.userType("Spin", "120");
  form.userExit("Spin");
  EXPECT_EQ(form.text("Spin"), "50");
}

TEST_F(FormTest, AnErasedSpinEditReadsAsItsMinimumAndThenShowsIt) {
  form.userType("Spin", "");
  EXPECT_EQ(form.value("Spin"), 10);
  EXPECT_EQ(form.readSpin("Spin"), 10);
  EXPECT_EQ(form.text("Spin"), "10");
}

TEST_F(FormTest, ComboTextFromCodeFiresNothingButTheUsersChoiceDoes) {
  record("Combo", Event::Change, "combo");
  form.setText("Combo", "anything at all");
  EXPECT_TRUE(events.empty());
  form.userSelect("Combo", 1);
  EXPECT_EQ(form.text("Combo"), "y");
  EXPECT_EQ(events, (std::vector<std::string>{"combo"}));
}

TEST_F(FormTest, TrackBarsStayInsideTheirRange) {
  form.setValue("Bar", 40);
  EXPECT_EQ(form.value("Bar"), 16);
  form.setRange("Bar", 0, 15);
  EXPECT_EQ(form.value("Bar"), 15);
}

TEST_F(FormTest, ShowingFiresTheActivePageThenTheForm) {
  record("First", Event::Shown, "first");
  record("Second", Event::Shown, "second");
  form.onShown([this] { events.push_back("form"); });
  form.show();
  form.setActivePage("First");  // already active
  form.userActivatePage("Second");
  EXPECT_EQ(events, (std::vector<std::string>{"first", "form", "second"}));
  EXPECT_EQ(form.activePage("Pages"), "Second");
  EXPECT_EQ(form.pageOf("Bar")->name, "Second");
}

TEST_F(FormTest, AnErrorInAUserEventIsReportedOnceAndTheFormGoesOn) {
  std::vector<std::string> errors;
  form.setErrorSink([&](const std::string& m) { errors.push_back(m); });
  form.on("A2", Event::Click, [](Control&) { throw std::runtime_error("boom"); });
  form.on("Box", Event::Click, [this](Control&) {
    form.setChecked("A2", true);  // the nested rule's error unwinds this one too
    events.push_back("not reached");
  });
  form.userClick("Box");
  EXPECT_EQ(errors, (std::vector<std::string>{"boom"}));
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(form.checked("Box"));
}

TEST_F(FormTest, KeyFiltersDiscardKeysAndObserversFollowChanges) {
  form.onKey("Field", [](Control&, char32_t& key) {
    if (key < '0' || key > '9') key = 0;
  });
  EXPECT_EQ(form.userKey("Field", U'a'), 0u);
  EXPECT_EQ(form.userKey("Field", U'7'), U'7');
  EXPECT_EQ(form.userKey("Combo", U'a'), U'a') << "no filter bound";

  std::vector<Property> seen;
  form.addObserver([&](const Control* c, Property p) {
    if (c && c->name == "Field") seen.push_back(p);
  });
  form.setText("Field", "12");
  form.setEnabled("Field", false);
  form.setColor("Field", colors::ButtonFace);
  EXPECT_EQ(seen, (std::vector<Property>{Property::Text, Property::Enabled, Property::Color}));
  EXPECT_THROW(form.at("Nope"), std::out_of_range);
}

TEST(FormLayoutTest, RejectsDuplicateNamesAndUnknownParents) {
  FormSpec dup{"F", "TF", "", 0, 0, {}};
  LayoutWriter(dup) << label("L", "", "a") << label("L", "", "b");
  EXPECT_THROW(Form{std::move(dup)}, std::logic_error);
  FormSpec orphan{"F", "TF", "", 0, 0, {}};
  LayoutWriter(orphan) << label("L", "Nowhere", "a");
  EXPECT_THROW(Form{std::move(orphan)}, std::logic_error);
}

}  // namespace
}  // namespace rcp::ui
