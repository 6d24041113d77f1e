// The window on the desktop: what screen readers hear, colours that hold on
// the window's own picture under light and dark themes, and the keys that
// press its buttons.
#include "support/EditorDriver.h"

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cmath>

namespace {

// WCAG 2 contrast of two colours: 1 (same) to 21 (black on white).
double luminance(QColor c) {
  const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(QColor a, QColor b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A desktop theme with light text on dark backgrounds.
QPalette darkDesktop() {
  QPalette p(QColor(53, 53, 53), QColor(45, 45, 45));
  for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::BrightText})
    p.setColor(role, QColor(240, 240, 240));
  p.setColor(QPalette::Base, QColor(30, 30, 30));
  return p;
}

QString spoken(QObject* object, QAccessible::Text text = QAccessible::Name) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
  return iface ? iface->text(text) : QStringLiteral("<no interface>");
}

} // namespace

class tst_desktop : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

  void heardByScreenReaders() {
    EditorDriver ed;
    QLabel* label = ed.window.findChild<QLabel*>(QStringLiteral("lblCurTask"));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&ed.window);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Quillfort"));
    QCOMPARE(QAccessible::queryAccessibleInterface(ed.button("cmdSide"))->role(), QAccessible::Button);
    QCOMPARE(QAccessible::queryAccessibleInterface(label)->role(), QAccessible::StaticText);

    // What each step leaves to be heard; the screen shows the bare captions.
    const struct {
      const char* step;
      const char *side, *current;
    } rows[] = {
        {"start", "Side: WEST", "Current task: none"},
        {"click side", "Side: EAST", "Current task: none"},
        {"press side", "Side: RESISTANCE", "Current task: none"}, // a screen reader's press action
        {"set current", "Side: RESISTANCE", "Current task: Take the bridge"},
        {"rename", "Side: RESISTANCE", "Current task: Hold the ford"},
        {"reset current", "Side: RESISTANCE", "Current task: none"},
    };
    for (const auto& row : rows) {
      const QByteArray step(row.step);
      if (step == "click side")
        ed.click("cmdSide");
      if (step == "press side") {
        auto* action = QAccessible::queryAccessibleInterface(ed.button("cmdSide"))->actionInterface();
        QVERIFY(action && action->actionNames().contains(QAccessibleActionInterface::pressAction()));
        action->doAction(QAccessibleActionInterface::pressAction());
      }
      if (step == "set current") {
        ed.create(QStringLiteral("Take the bridge"));
        ed.click("cmdCurTask");
      }
      if (step == "rename")
        ed.rename(QStringLiteral("Hold the ford"));
      if (step == "reset current")
        ed.click("cmdCurTask");
      QCOMPARE(spoken(ed.button("cmdSide")), QString::fromUtf8(row.side));
      QCOMPARE(spoken(label), QString::fromUtf8(row.current));
      QCOMPARE(ed.button("cmdSide")->text(), QString::fromUtf8(row.side).mid(6));
      QCOMPARE(ed.curTask(), QString::fromUtf8(row.current).mid(14).replace(QLatin1String("none"), QString()));
    }
    QCOMPARE(spoken(ed.button("cmdSide"), QAccessible::Description), QStringLiteral("Toggle side"));
    QCOMPARE(ed.dialogs.pending(), 0);
  }

  // Text on the window keeps a contrast of 4.5:1 against the picture under it
  // and against its own button face, whatever the desktop's theme.
  void textContrast_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("dark"); // 0 light, 1 dark before the window opens, 2 dark while it is open
    for (const QString& style : {QStringLiteral("Fusion"), QStringLiteral("Windows")}) {
      QTest::newRow(qPrintable(style + QLatin1String(" light"))) << style << 0;
      QTest::newRow(qPrintable(style + QLatin1String(" dark"))) << style << 1;
      QTest::newRow(qPrintable(style + QLatin1String(" turns dark"))) << style << 2;
    }
  }
  void textContrast() {
    QFETCH(QString, style);
    QFETCH(int, dark);
    QApplication::setStyle(QStyleFactory::create(style));
    if (dark == 1)
      QApplication::setPalette(darkDesktop());
    EditorDriver ed;
    ed.create(QStringLiteral("Take the bridge"));
    ed.click("cmdCurTask");
    if (dark == 2) {
      QApplication::setPalette(darkDesktop()); // the desktop's theme changes under the open window
      QCoreApplication::processEvents();
    }

    // The window's own drawing only: the picture, without the controls on it.
    QImage picture(ed.window.size(), QImage::Format_RGB32);
    ed.window.render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);

    QList<QWidget*> texts{ed.window.findChild<QLabel*>(QStringLiteral("lblCurTask"))};
    for (QPushButton* b : ed.window.findChildren<QPushButton*>())
      if (!b->text().isEmpty())
        texts.append(b);
    QCOMPARE(texts.size(), 14); // the label and every button with a caption
    for (QWidget* w : texts) {
      const QColor ink = w->palette().color(QPalette::Active, w->foregroundRole());
      const QRect area(w->mapTo(&ed.window, QPoint(0, 0)), w->size());
      double worst = 21;
      for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
          worst = std::min(worst, contrast(ink, picture.pixelColor(x, y)));
      if (qobject_cast<QPushButton*>(w))
        worst = std::min(worst, contrast(ink, w->palette().color(QPalette::Active, QPalette::Button)));
      if (worst < 4.5)
        QFAIL(qPrintable(QStringLiteral("%1: contrast %2:1").arg(w->objectName()).arg(worst, 0, 'f', 2)));
    }
  }

  // Keys press the window's own buttons: the dialog or change that follows is
  // the button's.
  void keysPressButtons_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("outcome"); // "open", "save", "side EAST" or "typed"
    QTest::newRow("Return on Open") << "cmdOpen" << int(Qt::Key_Return) << 0 << "open";
    QTest::newRow("Enter on Side") << "cmdSide" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "side EAST";
    QTest::newRow("Return on Save") << "cmdOK" << int(Qt::Key_Return) << 0 << "save";
    QTest::newRow("Ctrl+S in a text box") << "txtTasks" << int(Qt::Key_S) << int(Qt::ControlModifier) << "save";
    QTest::newRow("Ctrl+O in a list") << "lstTasks" << int(Qt::Key_O) << int(Qt::ControlModifier) << "open";
    QTest::newRow("Ctrl+O on Side") << "cmdSide" << int(Qt::Key_O) << int(Qt::ControlModifier) << "open";
    QTest::newRow("Return in a text box") << "txtTasks" << int(Qt::Key_Return) << 0 << "typed";
  }
  void keysPressButtons() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, outcome);
    EditorDriver ed;
    QVERIFY(QTest::qWaitForWindowActive(&ed.window));
    ed.create(QStringLiteral("Take the bridge"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("briefing.sqf"));
    if (outcome == QLatin1String("open"))
      ed.dialogs.cancelOpen();
    if (outcome == QLatin1String("save"))
      ed.dialogs.answerSave(path);
    const int asked = ed.dialogs.requests.size();
    auto* target = ed.window.findChild<QWidget*>(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(ed.dialogs.pending(), 0);
    const auto lastKind = ed.dialogs.requests.size() > asked ? int(ed.lastAsked().kind) : -1;
    if (outcome == QLatin1String("open"))
      QCOMPARE(lastKind, int(ScriptedDialogs::Kind::Open));
    else if (outcome == QLatin1String("save")) {
      QCOMPARE(lastKind, int(ScriptedDialogs::Kind::Save));
      // The file is the one the Save button writes.
      QFile keyed(path);
      QVERIFY(keyed.open(QIODevice::ReadOnly));
      const QString clicked = dir.filePath(QStringLiteral("clicked.sqf"));
      ed.dialogs.answerSave(clicked);
      ed.click("cmdOK");
      QFile byClick(clicked);
      QVERIFY(byClick.open(QIODevice::ReadOnly));
      QCOMPARE(keyed.readAll(), byClick.readAll());
    } else {
      QCOMPARE(lastKind, -1);
      QCOMPARE(ed.button("cmdSide")->text(),
               outcome == QLatin1String("side EAST") ? QStringLiteral("EAST") : QStringLiteral("WEST"));
      QCOMPARE(ed.boxShows("txtTasks"), outcome == QLatin1String("typed") ? QStringLiteral("\n") : QString());
    }
  }
};

QTEST_MAIN(tst_desktop)
#include "tst_desktop.moc"
