// What the desktop program does before its first paint: windows build their widgets only when
// needed, and the main window's are built while the radio answers the start-up greeting.

#include "gui/start_up_port.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <string>
#include <vector>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "ui/layout.hpp"

namespace rcp::gui {
namespace {

ui::FormSpec oneButton(const char* name) {
  ui::FormSpec windowLayout;
  windowLayout.name = name;
  windowLayout.caption = name;
  ui::LayoutWriter w(windowLayout);
  w << ui::button("Ok", "", "确定").at(0, 0);
  return windowLayout;
}

bool windowExists(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name)) return true;
  return false;
}

// Records the calls it gets, in order.
class LoggingPort final : public link::Port {
 public:
  explicit LoggingPort(std::vector<std::string>& log) : log_(log) {}
  bool open(const std::string& device) override {
    log_.push_back("open " + device);
    return true;
  }
  void close() override { log_.push_back("close"); }
  bool isOpen() const override { return true; }
  void purgeBoth() override { log_.push_back("purgeBoth"); }
  void purgeReceive() override { log_.push_back("purgeReceive"); }
  bool write(std::span<const std::uint8_t> bytes) override {
    log_.push_back("write " + std::to_string(bytes.size()));
    return true;
  }
  std::size_t read(std::span<std::uint8_t> buffer) override {
    log_.push_back("read " + std::to_string(buffer.size()));
    return buffer.size();
  }

 private:
  std::vector<std::string>& log_;
};

TEST(StartUpPort, DoesItsWorkOnceBeforeTheFirstReadAndPassesEverythingOn) {
  std::vector<std::string> log;
  LoggingPort line(log);
  StartUpPort port(line, [&log] { log.push_back("meanwhile"); });
  std::array<std::uint8_t, 18> answer{};
  EXPECT_TRUE(port.open("/dev/radio"));
  port.purgeBoth();
  EXPECT_TRUE(port.write(std::span(answer).first(1)));
  port.purgeReceive();
  EXPECT_EQ(port.read(answer), answer.size());
  EXPECT_EQ(port.read(std::span(answer).first(1)), 1u);
  EXPECT_TRUE(port.isOpen());
  port.close();
  EXPECT_EQ(log,
            (std::vector<std::string>{"open /dev/radio", "purgeBoth", "write 1", "purgeReceive",
                                      "meanwhile", "read 18", "read 1", "close"}));
}

TEST(QtScreenBuilding, WindowsBuildTheirWidgetsWhenFirstNeeded) {
  QtScreen screen;
  ui::Form main(oneButton("LazyMain"));
  ui::Form dialog(oneButton("LazyDialog"));
  screen.formCreated(main);
  screen.formCreated(dialog);
  EXPECT_FALSE(windowExists("LazyMain"));
  EXPECT_FALSE(windowExists("LazyDialog"));

  screen.buildMainWindow();
  EXPECT_TRUE(windowExists("LazyMain"));
  EXPECT_FALSE(screen.findView(main)->isVisible());
  EXPECT_FALSE(windowExists("LazyDialog"));

  dialog.show();  // built by its first showing, and shown
  ASSERT_TRUE(windowExists("LazyDialog"));
  EXPECT_TRUE(screen.findView(dialog)->isVisible());
  EXPECT_EQ(screen.findView(dialog)->role(), FormView::Role::Dialog);
  dialog.close();
  EXPECT_FALSE(screen.findView(dialog)->isVisible());
}

}  // namespace
}  // namespace rcp::gui
