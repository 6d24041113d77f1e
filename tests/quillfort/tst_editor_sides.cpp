// Several sides in the window: a mission maker writes a WEST, an EAST and a
// game master's briefing with the keys, saves, clears, opens and finds all
// three; the side button passes over sides that hold a briefing; copying to
// a side that holds one asks first.
#include "QuillfortVersion.h"
#include "script_writer/BriefingScriptWriter.h"
#include "support/EditorDriver.h"

class tst_editor_sides : public QObject {
  Q_OBJECT

private slots:
  void sides_data() {
    QTest::addColumn<QString>("steps"); // the driver's, and "ctrl N", "copy N" (Ctrl+Shift+N), "yes"
    QTest::addColumn<QString>("shown"); // and "no" (the next message box's answer), "save FILE" (in %1)
    const QString three = "add Hold; ctrl 2; notes; add Intel; ctrl 5; add Watch; cur",
                  two = "add Ambush; ctrl 3; notes; add Town; side", copied = two + "; side; yes; copy 1",
                  reopened = three + "; save a.sqf; clear; open %1/a.sqf",
                  town = " | T: | N:Town0* | cur: | boxes:,town text";
    const auto at = [](const char* side, const QString& caption) {
      return "side:" + QString(side) + " | caption:Quillfort" + caption + " [" + side + "]";
    };
    const QString none = " | T: | N: | cur: | boxes:,",
                  watch = " | T:Watch0* | N: | cur:Watch | boxes:watch text,";
    QTest::newRow("WEST aside") << "add Hold; ctrl 2" << at("EAST", "") + none;
    QTest::newRow("three sides") << three << at("LOGIC", "") + watch;
    QTest::newRow("clear takes all") << three + "; save a.sqf; clear; ctrl 2"
                                     << "side:EAST | caption:Quillfort" + none;
    QTest::newRow("opened, WEST") << reopened
                                  << at("WEST", " - %1/a.sqf") + " | T:Hold0* | N: | cur: | boxes:hold text,";
    QTest::newRow("opened, EAST") << reopened + "; ctrl 2"
                                  << at("EAST", " - %1/a.sqf") +
                                         " | T: | N:Intel0* | cur: | boxes:,intel text";
    QTest::newRow("opened, LOGIC") << reopened + "; ctrl 5; save b.sqf" << at("LOGIC", " - %1/a.sqf") + watch;
    QTest::newRow("to CIVILIAN") << two << at("CIVILIAN", "") + town;
    QTest::newRow("past WEST") << two + "; side" << at("EAST", "") + town;
    QTest::newRow("copy asks, No") << two + "; side; no; copy 1"
                                   << at("EAST", "") + town +
                                          " | asked:The briefing of WEST holds 0 notes and 1 "
                                          "task.\r\n\r\nReplace it with a copy of this "
                                          "briefing?|Copy Briefing|36|";
    QTest::newRow("copy, Yes") << copied << at("WEST", "") + town;
    QTest::newRow("copy keeps") << copied + "; ctrl 2" << at("EAST", "") + town;
    QTest::newRow("every side held")
        << copied + "; ctrl 2; copy 3; copy 4; ok cmdSide"
        << at("CIVILIAN", "") + town +
               " | asked:Every other side holds a briefing of its own.\r\n\r\nPick a side's briefing with "
               "Ctrl+1 to Ctrl+5 to edit it.|Toggle side|64|";
  }
  // Each entry's text is what "add" types: "<title> text"; boxes: the tasks' and the notes' box.
  void sides() {
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    EditorDriver ed;
    QStringList batch; // driver steps, run before the next answer is queued
    for (const QString& step : steps.replace("%1", dir.path()).split("; ")) {
      const QString verb = step.section(' ', 0, 0), arg = step.section(' ', 1);
      if ((verb == "yes" || verb == "no" || verb == "save") && !batch.isEmpty())
        ed.run(batch.join("; ")), batch.clear();
      if (verb == "yes" || verb == "no")
        ed.dialogs.answerMessage(verb == "yes" ? MsgAnswer::Yes : MsgAnswer::No);
      else if (verb == "save")
        ed.dialogs.answerSave(dir.filePath(arg)), batch << "click cmdOK";
      else
        batch << (verb == "ctrl"   ? "key cmdSide Ctrl+" + arg
                  : verb == "copy" ? "key cmdSide Ctrl+Shift+" + arg
                                   : step);
    }
    ed.run(batch.join("; "));
    const QString boxes = " | boxes:" + ed.boxShows("txtTasks") + ',' + ed.boxShows("txtNotes");
    QCOMPARE(ed.state("side | caption | T | N | cur") + boxes +
                 (shown.contains("asked:") ? " | " + ed.state("asked") : ""),
             shown.replace("%1", dir.path()));
    QCOMPARE(ed.dialogs.pending(), 0);
    // Each save holds the bytes the writer gives for the same three sides.
    BriefingSnapshot three{u"WEST",       {},           {{u"Hold", u"hold text"}}, {}, kVersionMajor,
                           kVersionMinor, kVersionPatch};
    three.otherSides = {{u"EAST", {{u"Intel", u"intel text"}}, {}, {}},
                        {u"LOGIC", {}, {{u"Watch", u"watch text"}}, u"Watch"}};
    for (const QString& file : QDir(dir.path()).entryList(QDir::Files))
      QCOMPARE(readFile(dir.filePath(file)), QByteArray::fromStdString(composeBriefingScript(three)));
  }
};

QTEST_MAIN(tst_editor_sides)
#include "tst_editor_sides.moc"
