// The windows on a screen too small for them (a small screen, or a large scale factor): the
// controls scroll, the status bar stays in sight, every control can be reached; on a screen they
// fit, nothing changes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/window_fixtures.hpp"
#include "program/program.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

class SmallScreenTest : public WindowOnFakes {
 protected:
  FormView& view(ui::Form& form) { return *screen.findView(form); }
};

TEST_F(SmallScreenTest, AWindowThatFitsIsLeftAsItWas) {
  FormView& main = view(program.mainForm());
  const QSize before = main.size();
  main.fitScreen(QRect(0, 0, 1280, 800));
  EXPECT_EQ(main.size(), before);
  EXPECT_EQ(main.findChild<QScrollArea*>(QStringLiteral("ScrolledControls")), nullptr);
  EXPECT_EQ(main.minimumSize(), main.maximumSize()) << "still of a fixed size";
}

// 1280×800 at QT_SCALE_FACTOR=1.5 and 1024×768 at 1.5, as Qt measures them.
TEST_F(SmallScreenTest, AWindowLargerThanTheScreenScrollsItsControlsAboveTheStatusBar) {
  for (const QRect available : {QRect(0, 0, 853, 533), QRect(0, 0, 682, 512)}) {
    test::TempDir other;
    QtScreen screen2;
    app::Program program2(app::Services{port, clock, dialogs, screen2, other / "Com.ini"});
    app::startWithWindow(program2);
    FormView& main = *screen2.findView(program2.mainForm());
    const QSize full = main.size();
    main.fitScreen(available);
    QCoreApplication::processEvents();
    auto* scroll = main.findChild<QScrollArea*>(QStringLiteral("ScrolledControls"));
    ASSERT_NE(scroll, nullptr) << available.width();
    EXPECT_LE(main.width(), available.width());
    EXPECT_LE(main.height(), available.height());
    EXPECT_LT(main.minimumSize().height(), full.height()) << "it can be resized";
    EXPECT_GE(main.maximumSize().height(), full.height()) << "up to its full size";
    // The status bar is below the scrolling area, inside the window.
    QWidget* bar = main.controlWidget("StatusBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(scroll->isAncestorOf(bar));
    EXPECT_LE(bar->mapTo(&main, QPoint(0, bar->height())).y(), main.height());
    // Every control can be scrolled to: the area reaches the controls' whole size.
    const QSize inner = scroll->widget()->size();
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(),
              qMax(0, inner.height() - scroll->viewport()->height()));
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    QWidget* exit = main.controlWidget("OutProg");
    scroll->ensureWidgetVisible(exit);
    const QPoint at = exit->mapTo(scroll->viewport(), QPoint(0, 0));
    EXPECT_TRUE(scroll->viewport()->rect().contains(QRect(at, exit->size())))
        << "退出 is brought into sight";
  }
}

}  // namespace
}  // namespace rcp::gui
