#pragma once

// A started program with the Test tab unlocked by its password, the radio in its test state, and
// an empty record of the line.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/form_driver.hpp"
#include "support/test_program.hpp"

namespace rcp::testmode {

struct TestTabFixture : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  std::vector<std::string> warnings;  // range-warning dialogs as "rule bound"

  void SetUp() override {
    app.dialogs.onModal = [this](ui::Form& f) {
      if (f.name() == "Password_Form") {
        f.userType("PassWords", "qorvel");
        f.userClick("Ok_Button");
      } else if (f.name() == "Error1_Form") {
        warnings.push_back(f.at("WarnLab1").caption + " " + f.at("WarnLab2").caption);
        f.userClick("Error1_Ok");
      }
    };
    main.userDblClick("TestOpen");
    userPause();
    app.port.clearEvents();
  }

  // The time a user takes between two actions: the radio's answers to earlier commands arrive
  // meanwhile, so that the next purge drops them.
  void userPause() {
    app.clock.pause(1000);
    app.port.settle();
  }

  std::string status() const { return main.at("StatusBar").panels.at(2).text; }
  std::vector<std::string> boxes() const { return app.dialogs.texts(); }

  // The line's record with times counted from its first event, so that pauses show.
  std::string transcript() const {
    std::istringstream lines(app.port.transcript());
    std::string out;
    std::string line;
    long long origin = -1;
    while (std::getline(lines, line)) {
      const std::size_t space = line.find(' ');
      long long at = std::stoll(line.substr(0, space));
      if (origin < 0) origin = at;
      std::string rest = line.substr(space);
      const std::size_t end = rest.rfind(" at ");
      if (rest.find(" read ") == 0 && end != std::string::npos)
        rest = rest.substr(0, end) + " at " +
               std::to_string(std::stoll(rest.substr(end + 4)) - origin);
      out += std::to_string(at - origin) + rest + '\n';
    }
    return out;
  }
};

}  // namespace rcp::testmode
