#include "gui/fonts.hpp"

#include <QFontDatabase>
#include <QStringList>

namespace rcp::gui {

namespace {

constexpr int kPointSize = 9;

// The first installed family whose name contains one of the needles (case-insensitive).
QString findFamily(const QStringList& needles) {
  const QStringList families = QFontDatabase::families();
  for (const QString& needle : needles)
    for (const QString& family : families)
      if (family.contains(needle, Qt::CaseInsensitive)) return family;
  return {};
}

const QString& cjkFamily() {
  static const QString family = [] {
    QString f = findFamily({
#ifdef Q_OS_WIN
        // Windows' own Chinese UI fonts: Microsoft YaHei, on older systems SimSun.
        QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
#endif
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Noto Sans CJK"), QStringLiteral("Source Han Sans")});
    return f.isEmpty() ? QFont().family() : f;
  }();
  return family;
}

// Brush-script faces (KaiTi, LiSu) are rarely installed; the nearest we may find is a Kai face.
const QString& kaiFamily() {
  static const QString family = [] {
    QString f = findFamily({QStringLiteral("KaiTi"), QStringLiteral("楷体"), QStringLiteral("UKai"),
                            QStringLiteral("Kai")});
    return f.isEmpty() ? cjkFamily() : f;
  }();
  return family;
}

const QString& heiFamily() {
  static const QString family = [] {
    QString f = findFamily({QStringLiteral("SimHei"), QStringLiteral("黑体")});
    return f.isEmpty() ? cjkFamily() : f;
  }();
  return family;
}

QString familyFor(const QString& face) {
  if (face.contains(QStringLiteral("楷")) || face.contains(QStringLiteral("隶")) ||
      face.contains(QStringLiteral("Kai"), Qt::CaseInsensitive) ||
      face.contains(QStringLiteral("LiSu"), Qt::CaseInsensitive))
    return kaiFamily();
  if (face.contains(QStringLiteral("黑"))) return heiFamily();
  if (QFontDatabase::families().contains(face)) return face;
  return cjkFamily();
}

}  // namespace

QFont applicationFont() {
  QFont font(cjkFamily(), kPointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QFont controlFont(const std::string& faceName, bool bold) {
  QFont font;
  if (!faceName.empty()) font.setFamily(familyFor(QString::fromStdString(faceName)));
  font.setBold(bold);
  return font;
}

}  // namespace rcp::gui
