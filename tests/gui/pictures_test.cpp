// What the windows' pictures show.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStyle>

#include "gui/form_view.hpp"
#include "gui/picture.hpp"
#include "ui/form.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::gui {
namespace {

QImage shown(const FormView& view, const char* picture) {
  auto* label = qobject_cast<QLabel*>(view.controlWidget(picture));
  return label ? label->pixmap().toImage() : QImage();
}

TEST(PicturesTest, TheRangeWarningShowsTheWarningSignAndTheOthersTheRadio) {
  ui::Form warning(ui::layouts::error1Form());
  const FormView warningView(warning, FormView::Role::Dialog);
  const QImage sign = shown(warningView, "WarnImage");
  ASSERT_FALSE(sign.isNull());
  const QIcon standard = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
  EXPECT_EQ(sign, standard.pixmap(sign.size()).toImage());
  EXPECT_NE(sign, radioPicture(sign.size()).toImage());

  ui::Form version(ui::layouts::versionForm());
  const FormView versionView(version, FormView::Role::Dialog);
  const QImage radio = shown(versionView, "VersionImage");
  EXPECT_EQ(radio, radioPicture(radio.size()).toImage());
}

}  // namespace
}  // namespace rcp::gui
