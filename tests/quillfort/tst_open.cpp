// The open command through the window: the open dialog answered by the
// script, the work area checked control by control, the file never touched.
#include "QuillfortVersion.h"
#include "script_writer/BriefingScriptWriter.h"
#include "support/EditorDriver.h"

class tst_open : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;
  QTemporaryDir dir;

  // Notes and tasks (title, slot, "*" on the selected), current task, side,
  // enabled controls, caption, then appPath.
  QString workArea() const {
    return ed->state("N | T | cur | side | on | caption") + " | " + ed->window.appPath;
  }

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

  // A text the user did not touch is saved back exactly as it was opened,
  // also where the box cannot show it as it is; typing into it stores what the
  // box shows, with CR LF line breaks.
  void untouchedTextsSaveBackAsOpened_data() {
    QTest::addColumn<QStringList>("row"); // the first task's text in the script, "!" typed at its
    // end or not, the text in the script saved afterwards, and saved again after typing "?"
    const QString nbsp = QStringLiteral("a\u00a0b");
    // clang-format off
    QTest::newRow("lone LF") << QStringList{"a\nb", "", "a\nb", "a\r\nb?"};
    QTest::newRow("lone CR") << QStringList{"a\rb", "", "a\rb", "a\r\nb?"};
    QTest::newRow("CR CR LF") << QStringList{"a\r\r\nb", "", "a\r\r\nb", "a\r\nb?"};
    QTest::newRow("no-break space") << QStringList{nbsp, "", nbsp, nbsp + "?"};
    QTest::newRow("lone LF, typed") << QStringList{"a\nb", "!", "a\r\nb!", "a\r\nb!?"};
    QTest::newRow("CR CR LF, typed") << QStringList{"a\r\r\nb", "!", "a\r\nb!", "a\r\nb!?"};
    QTest::newRow("no-break space, typed") << QStringList{nbsp, "!", nbsp + "!", nbsp + "!?"};
    // clang-format on
  }
  void untouchedTextsSaveBackAsOpened() {
    QFETCH(QStringList, row);
    const QString &text = row[0], &typed = row[1], &saved = row[2], &again = row[3];
    auto script = [](const QString& first) { // side WEST, tasks T0 (this text) and T1 ("y")
      const std::u16string t0 = first.toStdU16String();
      return QByteArray::fromStdString(composeBriefingScript(
          {u"WEST", {}, {{u"T0", t0}, {u"T1", u"y"}}, {}, kVersionMajor, kVersionMinor, kVersionPatch}));
    };
    const QString opened = dir.filePath("opened.sqf"), resaved = dir.filePath("resaved.sqf");
    QFile f(opened);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(script(text)) > 0);
    f.close();
    ed->open(opened);
    ed->type("txtTasks", typed);
    ed->run("pick 1; pick 0"); // stores, loads the other, then back
    ed->dialogs.answerSave(resaved);
    ed->click("cmdOK");
    QCOMPARE(readFile(resaved), script(saved));
    ed->type("txtTasks", "?"); // the box as saved, then changed: saved with the change
    ed->dialogs.answerSave(resaved);
    ed->click("cmdOK");
    QCOMPARE(readFile(resaved), script(again));
  }

  void savedBriefingComesBackAndCancelKeepsIt() {
    // Quotes, script text, a typed "<br/>", two tasks of one title and a moved
    // task, so that slots and list positions differ before the save.
    // Picking row 1 stores the typed text: a move would not.
    ed->run(
        "add Take \"the\" hill,Hold,Hold; type \n<br/>createSimpleTask [\"x\"];; cur; pick 1; down; notes");
    ed->addEntries("lstNotes", {"Diary\",[\"Intel", "Weather"});
    const QString path = dir.filePath("briefing.sqf");
    ed->dialogs.answerSave(path);
    ed->click("cmdOK");
    ed->click("cmdSide"); // EAST, to be replaced by the script's WEST

    ed->open(path);
    // Slots are list positions, each list on its first entry, whose text is in its box.
    QCOMPARE(workArea(),
             "N:Diary\",[\"Intel0*,Weather1 | T:Take \"the\" hill0*,Hold1,Hold2 | cur:Hold | side:WEST | "
             "on:cmdEdit cmdDel cmdCurTask txtTasks txtNotes | caption:Quillfort - " +
                 path + " | " + dir.path());
    // The counters are the list lengths; the Tasks page shows; the notes' box holds the first note.
    QCOMPARE(ed->state("taskText | noteText | counts | page | box") + " | " + ed->boxShows("txtNotes"),
             "taskText:take \"the\" hill text,hold text\r\n\r\ncreateSimpleTask [\"x\"];,hold text | "
             "noteText:diary\",[\"intel text,weather text | counts:3,2,0,0 | page:Tasks | "
             "box:take \"the\" hill text | diary\",[\"intel text");

    // The next dialog starts in the file's folder; Cancel there changes nothing.
    const QString before = workArea();
    ed->dialogs.answerOpen({});
    ed->click("cmdOpen");
    QVERIFY((ed->lastAsked().settings ==
             FileDialogSettings{true, dir.path(), 4, "", "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*"}));
    QCOMPARE(workArea(), before);
  }
};

QTEST_MAIN(tst_open)
#include "tst_open.moc"
