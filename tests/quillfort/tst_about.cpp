#include "FakeRegistry.h"
#include "about/frmAbout.h"
#include "editor/frmBriefing.h"
#include "platform/ProcessLauncher.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
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

  // Each control of the dialog: kind, text, and what it shows besides.
  void controls() {
    ScriptedDialogs dialogs;
    frmAbout about(dialogs);
    const QStringList rows{"picIcon QLabel  32x32",
                           "lblTitle QLabel Quillfort ",
                           "lblVersion QLabel Version 1.0.0 ",
                           "lblDescription QLabel credit ",
                           "lblDisclaimer QLabel credit ",
                           "Line1 QFrame  #808080",
                           "Line2 QFrame  #ffffff",
                           "cmdOK QPushButton OK default",
                           "cmdSysInfo QPushButton &System Info... "};
    QStringList seen;
    for (const QString& row : rows) {
      auto* w = about.findChild<QWidget*>(row.section(' ', 0, 0));
      QVERIFY2(w && w->parentWidget() == &about && about.rect().contains(w->geometry()), qPrintable(row));
      QString text = w->property("text").toString(), shows;
      if (text.size() > 40) // the credits' wording is free; they must say something
        text = "credit";
      if (auto* label = qobject_cast<QLabel*>(w); label && !label->pixmap().isNull())
        shows = QStringLiteral("%1x%2").arg(label->pixmap().width()).arg(label->pixmap().height());
      else if (w->inherits("QPushButton"))
        shows = w->property("default").toBool() ? "default" : "";
      else if (!w->inherits("QLabel"))
        shows = w->palette().color(QPalette::Window).name();
      seen << QStringList{w->objectName(), w->metaObject()->className(), text, shows}.join(" ");
    }
    QCOMPARE(seen, rows);
    QCOMPARE(about.windowTitle(), QStringLiteral("About Quillfort")); // its icon: tst_highdpi
  }

  void systemInfoThenOK_data() {
    // The registered path, started; then the messages shown.
    QTest::addColumn<QStringList>("events");
    QTest::newRow("tool started") << QStringList{"C:\\Tools\\msinfo.exe"};
    QTest::newRow("tool does not start")
        << QStringList{"C:\\Gone\\msinfo.exe", "System Information Is Unavailable At This Time|0|Quillfort"};
  }

  // Through the editor's About button: the dialog, then System Info, then OK.
  void systemInfoThenOK() {
    QFETCH(QStringList, events);
    FakeRegistry registry;
    FakeLauncher launcher;
    ScriptedDialogs dialogs;
    Registry::setInstance(&registry);
    ProcessLauncher::setInstance(&launcher);
    registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {RegCode::RegSz,
                                                                          events[0].toStdString() + '\0'};
    if (events.size() > 1)
      dialogs.answerMessage(MsgAnswer::OK);

    frmBriefing editor(dialogs);
    QStringList seen;
    QTimer::singleShot(0, &editor, [&] { // runs inside the dialog's own event loop
      QWidget* about = QApplication::activeModalWidget();
      QVERIFY(about);
      seen << about->windowTitle() << (about->windowModality() == Qt::ApplicationModal ? "modal" : "not")
           << (about->parentWidget() ? "owned" : "no owner");
      for (const char* name : {"cmdSysInfo", "cmdOK"}) {
        QTest::mouseClick(about->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
        seen << (about->isVisible() ? "open" : "closed");
      }
      about->close();
    });
    QTest::mouseClick(editor.findChild<QWidget*>(QStringLiteral("cmdAbout")), Qt::LeftButton);
    QCOMPARE(seen, (QStringList{"About Quillfort", "modal", "no owner", "open", "closed"}));
    for (const auto& asked : dialogs.requests)
      launcher.started << asked.prompt + "|" + QString::number(asked.style) + "|" + asked.title;
    QCOMPARE(launcher.started, events);
    QCOMPARE(dialogs.pending(), 0);
  }
};

QTEST_MAIN(tst_about)
#include "tst_about.moc"
