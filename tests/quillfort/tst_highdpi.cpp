// On a screen of two pixels per point, the window's pictures are drawn from
// their @2x versions, pixel for pixel, and cover the same area as at one.
#include "about/frmAbout.h"
#include "support/EditorDriver.h"

#include <QApplication>

class tst_highdpi : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

  void iconsHaveTwiceThePixels_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QSize>("size");
    QTest::newRow("window icon") << "window" << QSize(64, 64);
    QTest::newRow("About button") << "cmdAbout" << QSize(32, 32);
    QTest::newRow("About dialog icon") << "dialog" << QSize(64, 64);
  }
  void iconsHaveTwiceThePixels() {
    QFETCH(QString, which);
    QFETCH(QSize, size);
    EditorDriver ed;
    frmAbout about(ed.dialogs);
    const QIcon icon = which == QLatin1String("window")     ? ed.window.windowIcon()
                       : which == QLatin1String("cmdAbout") ? ed.button("cmdAbout")->icon()
                                                            : about.windowIcon();
    QVERIFY2(icon.availableSizes().contains(size * 2), qPrintable(which));
  }

  // The About picture and the window's map, compared with the @2x files.
  void picturesDrawnFromTheirSharpVersions() {
    EditorDriver ed;
    frmAbout about(ed.dialogs);
    const QPixmap pic = about.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap();
    QCOMPARE(pic.deviceIndependentSize(), QSizeF(32, 32));
    QCOMPARE(pic.toImage().convertToFormat(QImage::Format_ARGB32),
             QImage(QStringLiteral(":/about@2x.png")).convertToFormat(QImage::Format_ARGB32));

    // The window's own drawing, without its controls, at two pixels per point.
    QImage drawn(ed.window.size() * 2, QImage::Format_RGB32);
    drawn.setDevicePixelRatio(2);
    ed.window.render(&drawn, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QImage sharp = QImage(QStringLiteral(":/background@2x.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(sharp.size(), QSize(1434, 650) * 2);
    const QRect visible(QPoint(0, 0), drawn.size());
    QCOMPARE(drawn.copy(visible).convertToFormat(QImage::Format_RGB32), sharp.copy(visible));
  }
};

int main(int argc, char** argv) {
  // Every screen draws at two pixels per point (set before Qt starts).
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  tst_highdpi test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_highdpi.moc"
