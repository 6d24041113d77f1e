#include "editor/frmBriefing.h"
#include "platform/ProcessLauncher.h"
#include "support/FakeRegistry.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
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
  QTest::addColumn<QString>("registered"); // the tool's path in the registry, if any
  QTest::addColumn<QStringList>("events"); // programs started, then messages shown
  const QString message = "System Information Is Unavailable At This Time|0|Quillfort";
  QTest::newRow("tool started") << "C:\\Tools\\msinfo.exe" << QStringList{"C:\\Tools\\msinfo.exe"};
  QTest::newRow("nothing registered") << "" << QStringList{message};
  QTest::newRow("tool does not start")
      << "C:\\Gone\\msinfo.exe" << QStringList{"C:\\Gone\\msinfo.exe", message};
}

// Through the editor's About button: the dialog's texts, then System Info, then OK.
void tst_about::systemInfoThenOK() {
  QFETCH(QString, registered);
  QFETCH(QStringList, events);
  FakeRegistry registry;
  FakeLauncher launcher;
  ScriptedDialogs dialogs;
  Registry::setInstance(&registry);
  ProcessLauncher::setInstance(&launcher);
  if (!registered.isEmpty())
    registry.setString("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", registered.toStdString());
  if (events.last() != registered)
    dialogs.answerMessage(MsgAnswer::OK);

  frmBriefing editor(dialogs);
  editor.show();
  QStringList seen;
  QTimer::singleShot(0, &editor, [&] { // runs inside the dialog's own event loop
    auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QVERIFY(about);
    seen << about->windowTitle()
         << (about->windowModality() == Qt::ApplicationModal && !about->parentWidget() ? "modal" : "not");
    for (const char* name : {"lblTitle", "lblVersion", "cmdOK", "cmdSysInfo"})
      seen << about->findChild<QWidget*>(QLatin1String(name))->property("text").toString();
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    seen << (about->isVisible() ? "open" : "closed");
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    seen << (about->isVisible() ? "open" : about->result() == QDialog::Accepted ? "accepted" : "rejected");
    about->close();
  });
  QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("cmdAbout")), Qt::LeftButton);
  QCOMPARE(seen, (QStringList{"About Quillfort", "modal", "Quillfort", "Version 1.0.0", "OK",
                              "&System Info...", "open", "accepted"}));
  for (const auto& asked : dialogs.requests)
    launcher.started << asked.prompt + "|" + QString::number(asked.style) + "|" + asked.title;
  QCOMPARE(launcher.started, events);
  QCOMPARE(dialogs.pending(), 0);
}

QTEST_MAIN(tst_about)
#include "tst_about.moc"
