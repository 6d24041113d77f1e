#include "QuillfortVersion.h"
#include "editor/frmBriefing.h"
#include "platform/ProcessLauncher.h"
#include "support/FakeRegistry.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class FakeLauncher final : public ProcessLauncher {
public:
  QStringList started;
  bool works = true;
  bool start(const QString& path) override {
    started << path;
    return works;
  }
};

QString textOf(const QWidget* dialog, const char* name) {
  if (const auto* label = dialog->findChild<QLabel*>(QLatin1String(name)))
    return label->text();
  if (const auto* button = dialog->findChild<QPushButton*>(QLatin1String(name)))
    return button->text();
  return QStringLiteral("<no %1>").arg(QLatin1String(name));
}

} // namespace

class tst_about : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void aboutButtonShowsTheDialogModally();
  void okClosesTheDialog();
  void systemInfo_data();
  void systemInfo();

private:
  // Clicks the editor window's About button and, once the dialog is up as the
  // modal window, hands it to `inside`; closes it afterwards if still open.
  void withAboutDialog(const std::function<void(QDialog*)>& inside);

  ScriptedDialogs dialogs;
  FakeRegistry registry;
  FakeLauncher launcher;
};

void tst_about::init() {
  dialogs.reset();
  registry = FakeRegistry();
  launcher = FakeLauncher();
  Registry::setInstance(&registry);
  ProcessLauncher::setInstance(&launcher);
}

void tst_about::cleanup() {
  Registry::setInstance(nullptr);
  ProcessLauncher::setInstance(nullptr);
}

void tst_about::withAboutDialog(const std::function<void(QDialog*)>& inside) {
  frmBriefing editor(dialogs);
  editor.show();
  auto* cmdAbout = editor.findChild<QPushButton*>(QStringLiteral("cmdAbout"));
  QVERIFY(cmdAbout);
  bool shown = false;
  QTimer timer;
  timer.setInterval(10);
  connect(&timer, &QTimer::timeout, this, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    timer.stop();
    shown = true;
    inside(dialog);
    if (dialog->isVisible())
      dialog->reject();
  });
  timer.start();
  QTest::mouseClick(cmdAbout, Qt::LeftButton);
  timer.stop();
  QVERIFY2(shown, "the About button showed no modal dialog");
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void tst_about::aboutButtonShowsTheDialogModally() {
  QStringList texts;
  bool appModal = false;
  bool ownerless = false;
  QSize picture;
  withAboutDialog([&](QDialog* about) {
    texts << about->windowTitle();
    for (const char* name : {"lblTitle", "lblVersion", "cmdOK", "cmdSysInfo"})
      texts << textOf(about, name);
    appModal = about->windowModality() == Qt::ApplicationModal;
    ownerless = about->parentWidget() == nullptr;
    if (const auto* pic = about->findChild<QLabel*>(QStringLiteral("picIcon")))
      picture = pic->pixmap().size();
    // The credits' wording is free; what they credit is not.
    for (const auto& [name, words] :
         {std::pair{"lblDescription", "Quillfort developers"}, std::pair{"lblDescription", "December 2026"},
          std::pair{"lblDisclaimer", "briefing template"}})
      texts << (textOf(about, name).contains(QLatin1String(words)) ? QLatin1String(words)
                                                                   : textOf(about, name));
  });
  if (QTest::currentTestFailed())
    return;
  // The version comes from the project's version, whatever it is.
  const QStringList expected{"About Quillfort",
                             "Quillfort",
                             QStringLiteral("Version ") + kVersionText,
                             "OK",
                             "&System Info...",
                             "Quillfort developers",
                             "December 2026",
                             "briefing template"};
  QCOMPARE(texts, expected);
  QVERIFY(appModal);
  QVERIFY(ownerless);
  QCOMPARE(picture, QSize(32, 32));
  QCOMPARE(dialogs.pending(), 0);
}

void tst_about::okClosesTheDialog() {
  bool openAfterOK = true;
  int result = -1;
  withAboutDialog([&](QDialog* about) {
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    openAfterOK = about->isVisible();
    result = about->result();
  });
  QVERIFY(!openAfterOK);
  QCOMPARE(result, int(QDialog::Accepted));
  QCOMPARE(dialogs.pending(), 0);
}

void tst_about::systemInfo_data() {
  QTest::addColumn<QString>("registered"); // the tool's path in the registry, if any
  QTest::addColumn<bool>("startWorks");
  QTest::addColumn<bool>("message");
  QTest::newRow("tool registered") << "C:\\Tools\\msinfo.exe" << true << false;
  QTest::newRow("nothing registered") << QString() << true << true;
  QTest::newRow("tool does not start") << "C:\\Tools\\msinfo.exe" << false << true;
}

void tst_about::systemInfo() {
  QFETCH(QString, registered);
  QFETCH(bool, startWorks);
  QFETCH(bool, message);
  if (!registered.isEmpty())
    registry.setString("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", registered.toStdString());
  launcher.works = startWorks;
  if (message)
    dialogs.answerMessage(MsgAnswer::OK);

  bool openAfter = false;
  withAboutDialog([&](QDialog* about) {
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    openAfter = about->isVisible();
  });
  QVERIFY(openAfter);
  QCOMPARE(launcher.started, registered.isEmpty() ? QStringList() : QStringList{registered});
  QCOMPARE(dialogs.requests.size(), message ? 1 : 0);
  if (message) {
    const auto& request = dialogs.requests.first();
    QCOMPARE(request.prompt, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(request.style, 0);
    QCOMPARE(request.title, QStringLiteral("Quillfort"));
  }
  QCOMPARE(dialogs.pending(), 0);
}

QTEST_MAIN(tst_about)
#include "tst_about.moc"
