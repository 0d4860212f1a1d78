// Shows a window like the real program's (tabs, a form, buttons, Qt's own translated buttons)
// with Chinese captions, and writes what it found to a report file:
//   windows-qt-smoke [REPORT]
// The report names the style, the UI font, whether Qt's Chinese translations loaded and whether
// the font can draw every caption; it is written once the window has been shown.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// The UI font Windows itself uses for Chinese: Microsoft YaHei, else SimSun.
QString chineseUiFamily() {
  const QStringList families = QFontDatabase::families();
  for (const QString& name : {QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")}) {
    if (families.contains(name, Qt::CaseInsensitive)) return name;
  }
  return {};
}

bool drawsAll(const QFont& font, const QStringList& texts) {
  const QFontMetrics metrics(font);
  for (const QString& text : texts) {
    for (const char32_t c : text.toUcs4()) {
      if (c > 0x7f && !metrics.inFontUcs4(c)) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QString reportPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

  const QString translations = QApplication::applicationDirPath() + QStringLiteral("/translations");
  QTranslator qtbase;
  const bool translated = qtbase.load(QStringLiteral("qtbase_zh_CN"), translations);
  if (translated) QApplication::installTranslator(&qtbase);

  const QString family = chineseUiFamily();
  if (!family.isEmpty()) {
    QFont font = QApplication::font();
    font.setFamilies({family});
    QApplication::setFont(font);
  }

  QWidget window;
  window.setWindowTitle(QStringLiteral("写频软件（冒烟测试）"));
  auto* tabs = new QTabWidget;
  auto* radioTab = new QWidget;
  auto* form = new QFormLayout(radioTab);
  form->addRow(QStringLiteral("型号："), new QLineEdit(QStringLiteral("车载台")));
  auto* channel = new QSpinBox;
  channel->setRange(1, 1024);
  form->addRow(QStringLiteral("信道号："), channel);
  auto* spacing = new QComboBox;
  spacing->addItems({QStringLiteral("12.5 千赫"), QStringLiteral("25 千赫")});
  form->addRow(QStringLiteral("信道间隔："), spacing);
  form->addRow(new QPushButton(QStringLiteral("读取电台")));
  tabs->addTab(radioTab, QStringLiteral("基本设置"));
  tabs->addTab(new QLabel(QStringLiteral("通讯录为空")), QStringLiteral("通讯录"));
  tabs->addTab(new QWidget, QStringLiteral("扫描列表"));

  // Qt's own buttons: their captions come from the translations.
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
  window.resize(480, 300);
  window.show();

  const QStringList captions = {window.windowTitle(), QStringLiteral("型号信道号间隔读取电台"),
                                QStringLiteral("基本设置通讯录扫描列表"),
                                buttons->button(QDialogButtonBox::Ok)->text(),
                                buttons->button(QDialogButtonBox::Cancel)->text()};
  QTimer::singleShot(500, [&] {
    if (reportPath.isEmpty()) return;
    QFile report(reportPath);
    if (!report.open(QIODevice::WriteOnly | QIODevice::Text)) return;
    const QStringList lines = {
        QStringLiteral("style=") + QApplication::style()->name(),
        QStringLiteral("font=") + QApplication::font().family(),
        QStringLiteral("translations=") +
            (translated ? QStringLiteral("yes") : QStringLiteral("no")),
        QStringLiteral("ok_button=") + captions.at(3),
        QStringLiteral("cancel_button=") + captions.at(4),
        QStringLiteral("draws_all=") + (drawsAll(QApplication::font(), captions)
                                            ? QStringLiteral("yes")
                                            : QStringLiteral("no")),
    };
    report.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
  });
  return QApplication::exec();
}
