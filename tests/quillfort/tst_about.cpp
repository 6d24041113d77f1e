#include "editor/frmBriefing.h"
#include "platform/ProcessLauncher.h"
#include "FakeRegistry.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
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
  void systemInfoThenOK_data();
  void systemInfoThenOK();
};

void tst_about::systemInfoThenOK_data() {
  // The registered path, started; then the messages shown.
  QTest::addColumn<QStringList>("events");
  QTest::newRow("tool started") << QStringList{"C:\\Tools\\msinfo.exe"};
  QTest::newRow("tool does not start")
      << QStringList{"C:\\Gone\\msinfo.exe", "System Information Is Unavailable At This Time|0|Quillfort"};
}

// Through the editor's About button: the dialog's texts, then System Info, then OK.
void tst_about::systemInfoThenOK() {
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
    seen << about->windowTitle() << (about->windowModality() == Qt::ApplicationModal ? "modal" : "not");
    for (const char* name : {"lblTitle", "lblVersion", "cmdOK", "cmdSysInfo"})
      seen << about->findChild<QWidget*>(QLatin1String(name))->property("text").toString();
    for (const char* name : {"cmdSysInfo", "cmdOK"}) {
      QTest::mouseClick(about->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
      seen << (about->isVisible() ? "open" : "closed");
    }
    about->close();
  });
  QTest::mouseClick(editor.findChild<QWidget*>(QStringLiteral("cmdAbout")), Qt::LeftButton);
  QCOMPARE(seen, (QStringList{"About Quillfort", "modal", "Quillfort", "Version 1.0.0", "OK",
                              "&System Info...", "open", "closed"}));
  for (const auto& asked : dialogs.requests)
    launcher.started << asked.prompt + "|" + QString::number(asked.style) + "|" + asked.title;
  QCOMPARE(launcher.started, events);
  QCOMPARE(dialogs.pending(), 0);
}

QTEST_MAIN(tst_about)
#include "tst_about.moc"
