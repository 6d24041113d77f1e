// The window on the desktop: colours that hold on the window's own picture
// under light and dark themes (what screen readers hear and the keys that
// press its buttons: tst_editor's commands).
#include "support/EditorDriver.h"

#include <QApplication>
#include <QStyleFactory>

#include <cmath>

namespace {
// WCAG 2 contrast of two colours: 1 (same) to 21 (black on white).
double contrast(QColor a, QColor b) {
  const auto lum = [](QColor c) {
    const auto ch = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF()) + 0.05;
  };
  return std::max(lum(a), lum(b)) / std::min(lum(a), lum(b));
}
} // namespace

class tst_desktop : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

  // Every caption keeps 4.5:1 against the picture under it and its button face.
  void textContrast_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("dark"); // 0 light, 1 dark before the window opens, 2 dark while it is open
    const char* const themes[] = {"light", "dark", "turns dark"};
    for (const char* style : {"Fusion", "Windows"})
      for (int dark : {0, 1, 2})
        QTest::newRow(
            qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(style), QLatin1String(themes[dark]))))
            << QString::fromLatin1(style) << dark;
  }
  void textContrast() {
    QFETCH(QString, style);
    QFETCH(int, dark);
    QApplication::setStyle(QStyleFactory::create(style));
    QPalette darkDesktop(QColor(53, 53, 53), QColor(45, 45, 45));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
      darkDesktop.setColor(role, QColor(240, 240, 240));
    if (dark == 1)
      QApplication::setPalette(darkDesktop);
    EditorDriver ed;
    ed.create(QStringLiteral("Take the bridge"));
    ed.click("cmdCurTask");
    if (dark == 2) {
      QApplication::setPalette(darkDesktop); // the desktop's theme changes under the open window
      QCoreApplication::processEvents();
    }
    QImage picture(ed.window.size(), QImage::Format_RGB32); // the window's own drawing, no controls
    ed.window.render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    QList<QWidget*> texts{ed.window.findChild<QLabel*>(QStringLiteral("lblCurTask"))};
    for (QPushButton* b : ed.window.findChildren<QPushButton*>())
      if (!b->text().isEmpty())
        texts.append(b);
    QCOMPARE(texts.size(), 14);
    for (QWidget* w : texts) {
      const QColor ink = w->palette().color(QPalette::Active, w->foregroundRole());
      double worst = qobject_cast<QPushButton*>(w) ? contrast(ink, w->palette().color(QPalette::Button)) : 21;
      const QRect area(w->mapTo(&ed.window, QPoint(0, 0)), w->size());
      for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
          worst = std::min(worst, contrast(ink, picture.pixelColor(x, y)));
      QVERIFY2(worst >= 4.5, qPrintable(QStringLiteral("%1: %2:1").arg(w->objectName()).arg(worst)));
    }
  }
};

QTEST_MAIN(tst_desktop)
#include "tst_desktop.moc"
