// At two pixels per point the window's pictures come from their @2x versions,
// pixel for pixel, covering the same area as at one.
#include "about/frmAbout.h"
#include "support/EditorDriver.h"

// Every screen draws at two pixels per point, set before the application starts.
static void scaleByTwo() { qputenv("QT_SCALE_FACTOR", "2"); }
Q_CONSTRUCTOR_FUNCTION(scaleByTwo)

class tst_highdpi : public QObject {
  Q_OBJECT

private slots:
  void picturesAreSharp() {
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    EditorDriver ed;
    frmAbout about(ed.dialogs);
    for (const auto& [icon, size] : {std::pair{ed.window.windowIcon(), 64},
                                     {ed.button("cmdAbout")->icon(), 32},
                                     {about.windowIcon(), 64}})
      QVERIFY(icon.availableSizes().contains(QSize(size, size) * 2));

    const QPixmap pic = about.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap();
    QCOMPARE(pic.deviceIndependentSize(), QSizeF(32, 32));
    QCOMPARE(pic.toImage().convertToFormat(QImage::Format_ARGB32),
             QImage(QStringLiteral(":/about@2x.png")).convertToFormat(QImage::Format_ARGB32));

    QImage drawn(ed.window.size() * 2, QImage::Format_RGB32); // the window's own drawing, no controls
    drawn.setDevicePixelRatio(2);
    ed.window.render(&drawn, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QImage sharp = QImage(QStringLiteral(":/background@2x.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn, sharp.copy(QRect(QPoint(0, 0), drawn.size())));
  }
};

QTEST_MAIN(tst_highdpi)
#include "tst_highdpi.moc"
