// rcp520-icons OUTDIR NAME: the program's icon, drawn from its own radio picture (paintRadio),
// into an icon theme tree under OUTDIR: hicolor/scalable/apps/NAME.svg and
// hicolor/<n>x<n>/apps/NAME.png for n = 16, 22, 24, 32, 48, 64, 128, 256.
// Runs without a display: QT_QPA_PLATFORM=offscreen.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <array>
#include <cstdio>

#include "gui/picture.hpp"

namespace {

constexpr std::array<int, 8> kSizes = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kSvgSize = 256;

bool writeSvg(const QString& path, const QString& name) {
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(QSize(kSvgSize, kSvgSize));
  svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
  svg.setTitle(name);
  svg.setDescription(QStringLiteral("RCP520: a handheld radio"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  rcp::gui::paintRadio(painter, QSizeF(kSvgSize, kSvgSize));
  if (!painter.end()) return false;
  // The generator gives the size in millimetres; an icon's is in pixels.
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QString text = QString::fromUtf8(file.readAll());
  file.close();
  text.replace(QRegularExpression(QStringLiteral("<svg width=\"[0-9.]+mm\" height=\"[0-9.]+mm\"")),
               QStringLiteral("<svg width=\"%1\" height=\"%1\"").arg(kSvgSize));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(text.toUtf8()) > 0;
}

bool writePng(const QString& path, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    rcp::gui::paintRadio(painter, QSizeF(size, size));
  }
  return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: rcp520-icons OUTDIR NAME\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const QString name = QString::fromLocal8Bit(argv[2]);

  const QString scalable = out.filePath(QStringLiteral("hicolor/scalable/apps"));
  if (!QDir().mkpath(scalable) || !writeSvg(scalable + '/' + name + ".svg", name)) {
    std::fprintf(stderr, "cannot write the SVG icon under %s\n", qPrintable(scalable));
    return 1;
  }
  for (const int size : kSizes) {
    const QString folder = out.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
    if (!QDir().mkpath(folder) || !writePng(folder + '/' + name + ".png", size)) {
      std::fprintf(stderr, "cannot write the %dx%d icon under %s\n", size, size,
                   qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
