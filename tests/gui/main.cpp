// The Qt front end's tests run inside one application object, without a display.

#include <gtest/gtest.h>

#include <QApplication>

#include "gui/fonts.hpp"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(rcp::gui::applicationFont());
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
