// The window on the desktop: what screen readers hear, colours that hold on
// the window's own picture under light and dark themes, keys that press its
// buttons.
#include "support/EditorDriver.h"

#include <QAccessible>
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
QAccessibleInterface* a11y(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
} // namespace

class tst_desktop : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

  void heardByScreenReaders() {
    EditorDriver ed;
    QAccessibleInterface* side = a11y(ed.button("cmdSide"));
    QAccessibleInterface* current = a11y(ed.window.findChild<QLabel*>(QStringLiteral("lblCurTask")));
    QCOMPARE((QList{a11y(&ed.window)->role(), side->role(), current->role()}),
             (QList{QAccessible::Window, QAccessible::Button, QAccessible::StaticText}));
    QCOMPARE(a11y(&ed.window)->text(QAccessible::Name), QStringLiteral("Quillfort"));
    // Steps for EditorDriver::run ("press" is the screen reader's press action), then what is heard
    // (the captions on screen stay bare: tst_editor's commands check them).
    for (const auto& [step, heard] : std::initializer_list<std::pair<QString, QString>>{
             {"tasks", "Side: WEST|Current task: none"},
             {"side", "Side: EAST|Current task: none"},
             {"press", "Side: RESISTANCE|Current task: none"},
             {"new Take the bridge; cur", "Side: RESISTANCE|Current task: Take the bridge"},
             {"rename Hold the ford", "Side: RESISTANCE|Current task: Hold the ford"},
             {"cur", "Side: RESISTANCE|Current task: none"}}) {
      if (step == "press")
        side->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
      else
        ed.run(step);
      QCOMPARE(side->text(QAccessible::Name) + '|' + current->text(QAccessible::Name), heard);
    }
  }

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

  // A key presses a button: what follows is that button's dialog or change.
  void keysPressButtons_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("outcome"); // "dialog asked|side shown|text box shown"
    QTest::newRow("Return on Open") << "cmdOpen" << QKeyCombination(Qt::Key_Return) << "open|WEST|";
    QTest::newRow("Enter on Side") << "cmdSide" << (Qt::KeypadModifier | Qt::Key_Enter) << "|EAST|";
    QTest::newRow("Return on Save") << "cmdOK" << QKeyCombination(Qt::Key_Return) << "save|WEST|";
    QTest::newRow("Ctrl+S in a text box") << "txtTasks" << (Qt::ControlModifier | Qt::Key_S) << "save|WEST|";
    QTest::newRow("Ctrl+O in a list") << "lstTasks" << (Qt::ControlModifier | Qt::Key_O) << "open|WEST|";
    QTest::newRow("Ctrl+O on Side") << "cmdSide" << (Qt::ControlModifier | Qt::Key_O) << "open|WEST|";
    QTest::newRow("Return in a text box") << "txtTasks" << QKeyCombination(Qt::Key_Return) << "|WEST|\n";
  }
  void keysPressButtons() {
    QFETCH(QString, focus);
    QFETCH(QKeyCombination, key);
    QFETCH(QString, outcome);
    EditorDriver ed;
    QVERIFY(QTest::qWaitForWindowActive(&ed.window));
    ed.create(QStringLiteral("Take the bridge"));
    if (outcome.startsWith("open"))
      ed.dialogs.answerOpen({});
    if (outcome.startsWith("save"))
      ed.dialogs.answerSave({});
    const int asked = ed.dialogs.requests.size();
    auto* target = ed.window.findChild<QWidget*>(focus);
    target->setFocus();
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
    QCOMPARE(ed.dialogs.pending(), 0);
    const QStringList kinds{"message", "input", "open", "save"};
    QCOMPARE((QStringList{ed.dialogs.requests.size() > asked ? kinds[int(ed.lastAsked().kind)] : "",
                          ed.button("cmdSide")->text(), ed.boxShows("txtTasks")}
                  .join('|')),
             outcome);
  }
};

QTEST_MAIN(tst_desktop)
#include "tst_desktop.moc"
