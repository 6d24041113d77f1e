// The About dialog through the editor's About button: its controls, then
// System Info and OK clicked in it.
#include "FakeRegistry.h"
#include "platform/ProcessLauncher.h"
#include "support/EditorDriver.h"

#include <QApplication>
#include <QTimer>

// Starts anything but what lies under C:\Gone.
struct FakeLauncher final : ProcessLauncher {
  QStringList started;
  bool start(const QString& path) override {
    started << path;
    return !path.startsWith("C:\\Gone\\");
  }
};

class tst_about : public QObject {
  Q_OBJECT

private slots:
  void cleanup() {
    Registry::setInstance(nullptr);
    ProcessLauncher::setInstance(nullptr);
  }

  // What the dialog shows, each control as kind, text (a credit's wording is
  // free: it must say something) and its picture's size, line colour or
  // default button; then what was started and said, and whether the dialog
  // was still open after each click.
  void aboutBox_data() {
    QTest::addColumn<QString>("registered"); // the tool's path under the first key
    QTest::addColumn<QStringList>("events");
    QTest::newRow("tool started") << "C:\\Tools\\msinfo.exe"
                                  << QStringList{"C:\\Tools\\msinfo.exe", "open", "closed"};
    QTest::newRow("tool does not start")
        << "C:\\Gone\\msinfo.exe"
        << QStringList{"C:\\Gone\\msinfo.exe", "System Information Is Unavailable At This Time|0|Quillfort",
                       "open", "closed"};
  }
  void aboutBox() {
    QFETCH(QString, registered);
    QFETCH(QStringList, events);
    FakeRegistry registry;
    FakeLauncher launcher;
    Registry::setInstance(&registry);
    ProcessLauncher::setInstance(&launcher);
    registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {RegCode::RegSz,
                                                                          registered.toStdString() + '\0'};
    EditorDriver ed;
    if (registered.startsWith("C:\\Gone"))
      ed.dialogs.answerMessage(MsgAnswer::OK);
    QStringList seen;
    QTimer::singleShot(0, &ed.window, [&] { // runs inside the dialog's own event loop
      QWidget* about = QApplication::activeModalWidget();
      QVERIFY(about);
      seen << about->windowTitle() + (about->windowModality() == Qt::ApplicationModal ? " modal" : "") +
                  (about->parentWidget() ? " owned" : "");
      for (const char* name : {"picIcon", "lblTitle", "lblVersion", "lblDescription", "lblDisclaimer",
                               "Line1", "Line2", "cmdOK", "cmdSysInfo"}) {
        auto* w = about->findChild<QWidget*>(name);
        QVERIFY2(w && w->parentWidget() == about && about->rect().contains(w->geometry()), name);
        const QString text = w->property("text").toString();
        const auto* label = qobject_cast<QLabel*>(w);
        seen << QStringList{name, w->metaObject()->className(), text.size() > 40 ? "credit" : text,
                            label && !label->pixmap().isNull() ? QStringLiteral("%1x%2")
                                                                     .arg(label->pixmap().width())
                                                                     .arg(label->pixmap().height())
                            : w->inherits("QPushButton") ? (w->property("default").toBool() ? "default" : "")
                            : !label                     ? w->palette().color(QPalette::Window).name()
                                                         : ""}
                    .join(' ');
      }
      for (const char* name : {"cmdSysInfo", "cmdOK"}) {
        QTest::mouseClick(about->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
        launcher.started << (about->isVisible() ? "open" : "closed");
      }
      about->close();
    });
    ed.click("cmdAbout");
    QCOMPARE(seen,
             (QStringList{"About Quillfort modal", "picIcon QLabel  32x32", "lblTitle QLabel Quillfort ",
                          "lblVersion QLabel Version 1.0.0 ", "lblDescription QLabel credit ",
                          "lblDisclaimer QLabel credit ", "Line1 QFrame  #808080", "Line2 QFrame  #ffffff",
                          "cmdOK QPushButton OK default", "cmdSysInfo QPushButton &System Info... "}));
    if (!ed.dialogs.requests.isEmpty()) // the message, where one came, after what was started
      launcher.started.insert(1, ed.lastAsked().prompt + "|" + QString::number(ed.lastAsked().style) + "|" +
                                     ed.lastAsked().title);
    QCOMPARE(launcher.started, events);
    QCOMPARE(ed.dialogs.pending(), 0);
  }
};

QTEST_MAIN(tst_about)
#include "tst_about.moc"
