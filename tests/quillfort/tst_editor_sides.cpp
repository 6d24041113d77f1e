// Several sides in the window: a mission maker writes a WEST, an EAST and a
// game master's briefing with the keys, saves, clears, opens and finds all
// three; the side button passes over sides that hold a briefing; copying to
// a side that holds one asks first.
#include "QuillfortVersion.h"
#include "editor/frmBriefing.h"
#include "script_writer/BriefingScriptWriter.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_editor_sides : public QObject {
  Q_OBJECT

  ScriptedDialogs dialogs;
  frmBriefing* window = nullptr;

  template <class T> T* find(const char* name) { return window->findChild<T*>(QLatin1String(name)); }
  void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
  void key(int digit, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(window, static_cast<Qt::Key>(Qt::Key_0 + digit), modifiers);
  }
  // Creates an entry on the page shown and types its text.
  void create(const char* title, const char* text) {
    dialogs.answerInput(QString::fromLatin1(title));
    click("cmdAdd");
    QTest::keyClicks(
        find<QPlainTextEdit>(find<QListWidget>("lstTasks")->isVisible() ? "txtTasks" : "txtNotes"),
        QString::fromLatin1(text));
  }
  void page(int row) {
    auto* pages = find<QListWidget>("lstBriefing");
    QTest::mouseClick(pages->viewport(), Qt::LeftButton, {},
                      pages->visualItemRect(pages->item(row)).center());
  }
  // What the window shows: side, caption, "Tasks: title=text, ..." and the
  // same for the notes, then the current task.
  QString shown() {
    QString out = find<QPushButton>("cmdSide")->text() + " | " + window->windowTitle();
    for (const char* list : {"lstTasks", "lstNotes"}) {
      auto* l = find<QListWidget>(list);
      out += QStringLiteral(" | ");
      for (int i = 0; i < l->count(); ++i) {
        l->setCurrentRow(i);
        out += l->item(i)->text() + '=' +
               find<QPlainTextEdit>(list[3] == 'T' ? "txtTasks" : "txtNotes")->toPlainText() + ';';
      }
    }
    return out + " | " + find<QLabel>("lblCurTask")->text();
  }
  static QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
  }

private slots:
  void init() {
    window = new frmBriefing(dialogs);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
  }
  void cleanup() {
    QCOMPARE(dialogs.pending(), 0);
    delete window;
    dialogs = ScriptedDialogs();
  }

  void threeSidesSaveAndOpen() {
    QTemporaryDir dir;
    const QString path = dir.filePath("briefing.sqf");
    create("Hold the bridge", "West plan");
    key(2);
    QCOMPARE(shown(), QStringLiteral("EAST | Quillfort [EAST] |  |  | "));
    page(1);
    create("Intel", "Red");
    key(5);
    create("Watch", "Zeus");
    click("cmdCurTask");
    dialogs.answerSave(path);
    click("cmdOK");
    // The bytes the writer gives for the same three sides.
    BriefingSnapshot expected{
        u"WEST", {}, {{u"Hold the bridge", u"West plan"}}, u"", kVersionMajor, kVersionMinor, kVersionPatch};
    expected.otherSides = {{u"EAST", {{u"Intel", u"Red"}}, {}, u""},
                           {u"LOGIC", {}, {{u"Watch", u"Zeus"}}, u"Watch"}};
    QCOMPARE(bytes(path), QByteArray::fromStdString(composeBriefingScript(expected)));

    // Clear takes every side; the open brings them back, the first side in the window.
    dialogs.answerMessage(MsgAnswer::Yes);
    click("cmdClear");
    key(2);
    QCOMPARE(shown(), QStringLiteral("EAST | Quillfort |  |  | "));
    dialogs.answerOpen(path);
    click("cmdOpen");
    const QString caption = "Quillfort - " + path;
    QCOMPARE(shown(), "WEST | " + caption + " [WEST] | Hold the bridge=West plan; |  | ");
    key(2);
    QCOMPARE(shown(), "EAST | " + caption + " [EAST] |  | Intel=Red; | ");
    key(5);
    QCOMPARE(shown(), "LOGIC | " + caption + " [LOGIC] | Watch=Zeus; |  | Watch");
    // Saved again with another side in the window: the same bytes.
    dialogs.answerSave(dir.filePath("again.sqf"));
    click("cmdOK");
    QCOMPARE(bytes(dir.filePath("again.sqf")), bytes(path));
  }

  void sideButtonAndCopy() {
    create("Ambush", "");
    key(3);
    page(1);
    create("Town", "Quiet");
    // RESISTANCE's briefing moves on to CIVILIAN; past WEST, which holds one, to EAST.
    click("cmdSide");
    QCOMPARE(find<QPushButton>("cmdSide")->text(), QStringLiteral("CIVILIAN"));
    click("cmdSide");
    QCOMPARE(shown(), QStringLiteral("EAST | Quillfort [EAST] |  | Town=Quiet; | "));
    // Copying onto WEST asks; No keeps both as they are, Yes replaces WEST's.
    dialogs.answerMessage(MsgAnswer::No);
    key(1, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(dialogs.requests.last().prompt,
             QStringLiteral("The briefing of WEST holds 0 notes and 1 task.\r\n\r\nReplace it with a copy of "
                            "this briefing?"));
    QCOMPARE(find<QPushButton>("cmdSide")->text(), QStringLiteral("EAST"));
    dialogs.answerMessage(MsgAnswer::Yes);
    key(1, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(shown(), QStringLiteral("WEST | Quillfort [WEST] |  | Town=Quiet; | "));
    key(2);
    QCOMPARE(shown(), QStringLiteral("EAST | Quillfort [EAST] |  | Town=Quiet; | "));
    // With every other playable side holding a briefing, the side stays.
    key(3, Qt::ControlModifier | Qt::ShiftModifier);
    key(4, Qt::ControlModifier | Qt::ShiftModifier);
    dialogs.answerMessage(MsgAnswer::OK);
    click("cmdSide");
    QCOMPARE(find<QPushButton>("cmdSide")->text(), QStringLiteral("CIVILIAN"));
    QCOMPARE(dialogs.requests.last().title, QStringLiteral("Toggle side"));
  }
};

QTEST_MAIN(tst_editor_sides)
#include "tst_editor_sides.moc"
