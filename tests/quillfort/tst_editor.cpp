// The editor window driven as a user drives it: real buttons, real boxes,
// scripted answers to the input and message boxes.
#include "support/EditorDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using Titles = QStringList;
using Slots = QList<int>;

class tst_editor : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

  void startState() {
    QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
    QCOMPARE(ed->window.size(), QSize(1101, 621));
    QVERIFY(!(ed->window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(ed->list("lstTasks")->isVisible() && !ed->list("lstNotes")->isVisible());
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
    QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("WEST"));
    QCOMPARE(ed->window.appPath, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    QCOMPARE(ed->button("cmdCancel")->geometry(), QRect(1008, 8, 89, 25)); // 15120, 120 twips in Frame2
  }

  // Every question, with Cancel or No for an answer: nothing changes.
  void questionsAsked() {
    const struct {
      int page;
      const char *button, *prompt, *title;
      int style; // -1: an input box
    } cases[] = {
        {0, "cmdAdd", "Enter the task to create:", "Create Task", -1},
        {1, "cmdAdd", "Enter the note to create:", "Create Note", -1},
        {0, "cmdEdit", "Edit the selected task:", "Edit Task", -1},
        {1, "cmdEdit", "Edit the selected note:", "Edit Note", -1},
        {0, "cmdDel", "Delete the selected task?", "Delete Task", 36},
        {1, "cmdDel", "Delete the selected note?", "Delete Note", 36},
        {0, "cmdMarker", "Highlight the text to be used as marker link", "Insert Marker", 64},
        {1, "cmdPic", "Enter a picture file name:", "Insert Picture", -1},
        {0, "cmdClear", "All data in the work area will be lost!\r\n\r\nAre you sure?", "Clear Quillfort",
         20},
    };
    for (const auto& c : cases) {
      EditorDriver d;
      d.showPage(c.page);
      d.create("Entry");
      if (c.style < 0)
        d.dialogs.cancelInput();
      else
        d.dialogs.answerMessage(MsgAnswer::No);
      d.click(c.button);
      const auto& asked = d.lastAsked();
      QCOMPARE(asked.prompt, QString::fromLatin1(c.prompt));
      QCOMPARE(asked.title, QString::fromLatin1(c.title));
      QCOMPARE(asked.style, c.style < 0 ? 0 : c.style);
      QCOMPARE(asked.defaultText, qstrcmp(c.button, "cmdEdit") ? QString() : QStringLiteral("Entry"));
      QCOMPARE(d.titles(c.page ? "lstNotes" : "lstTasks"), Titles{"Entry"});
    }
  }

  void createRenameCurrentTaskAndSide() {
    ed->create("Recon");
    QCOMPARE(ed->list("lstTasks")->currentRow(), 0); // the first one is selected at once
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, true));
    ed->type("txtTasks", "look first");
    ed->create("  "); // blanks only, and a repeated title, are titles too
    ed->create("Recon");
    ed->create(QString()); // an empty answer changes nothing
    QCOMPARE(ed->titles("lstTasks"), (Titles{"Recon", "  ", "Recon"}));
    QCOMPARE(ed->list("lstTasks")->currentRow(), 0); // later ones do not move the selection
    // Set, reset, set. The label goes by title: renaming the same-titled third
    // task moves it too, and a renamed task keeps its slot and text.
    for (int i = 0; i < 3; ++i)
      ed->click("cmdCurTask");
    ed->selectRow("lstTasks", 2);
    ed->rename("Recon in force");
    QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
    ed->selectRow("lstTasks", 0);
    ed->rename("Scout");
    QCOMPARE(ed->titles("lstTasks"), (Titles{"Scout", "  ", "Recon in force"}));
    QCOMPARE(ed->slotsOf("lstTasks"), (Slots{0, 1, 2}));
    QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("look first"));
    QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
    // Notes: renaming one of that title leaves the label; cmdCurTask still acts on the tasks.
    ed->showPage(1);
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "txtNotes"}, false));
    ed->create("Recon in force");
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "txtNotes", "cmdCurTask"}, true));
    ed->rename("Weather");
    QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
    ed->click("cmdCurTask");
    QCOMPARE(ed->curTask(), QStringLiteral("Scout"));
    QStringList sides;
    for (int i = 0; i < 4; ++i) {
      ed->click("cmdSide");
      sides << ed->button("cmdSide")->text();
    }
    QCOMPARE(sides, (Titles{"EAST", "RESISTANCE", "CIVILIAN", "WEST"}));
  }

  void selectionStoresThenLoads() {
    ed->addEntries("lstTasks", {"A", "B", "B"}); // the same title keeps a text of its own
    ed->type("txtTasks", "\nline 2");
    ed->showPage(1); // a page switch stores nothing: the box keeps the typing
    ed->showPage(0);
    QCOMPARE(ed->window.taskText, (Titles{"a text", "b text", ""}));
    ed->selectRow("lstTasks", 1);
    QCOMPARE(ed->window.taskText[2], QStringLiteral("b text\r\nline 2"));
    QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("b text"));
    ed->selectRow("lstTasks", 2);
    QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("b text\nline 2"));
  }

  void oddStatesDoNothing() {
    // Opening a notes-only script can leave Edit and Delete enabled on the
    // empty Tasks page: they, and the rest, ask nothing and change nothing.
    ed->button("cmdEdit")->setEnabled(true);
    ed->button("cmdDel")->setEnabled(true);
    for (const char* button : {"cmdEdit", "cmdDel", "cmdUp", "cmdMarker", "cmdPic"})
      ed->click(button);
    QCOMPARE(ed->dialogs.requests.size(), 0);
    ed->window.taskSlotCount = 32767; // a spent slot counter: told so, nothing asked or changed
    ed->confirm("cmdAdd", MsgAnswer::OK);
    QVERIFY(ed->lastAsked().prompt.startsWith(QStringLiteral("No more tasks can be created")));
    QCOMPARE(ed->list("lstTasks")->count(), 0);
    ed->showPage(1); // the selection cannot be taken away: Ctrl+click keeps it
    ed->create("N");
    QListWidget* notes = ed->list("lstNotes");
    QTest::mouseClick(notes->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      notes->visualItemRect(notes->item(0)).center());
    QVERIFY(notes->item(0)->isSelected());
  }

  void deleteSelectsNeighbourAndNeverReusesSlots() {
    const struct {
      int row;
      Titles left;
      Slots slotsLeft;
      int selected;
    } cases[] = {{0, {"B", "C"}, {1, 2}, 0}, {1, {"A", "C"}, {0, 2}, 1}, {2, {"A", "B"}, {0, 1}, 1}};
    for (const auto& c : cases) {
      EditorDriver d;
      d.showPage(1); // notes: the same command on the other list
      d.addEntries("lstNotes", {"A", "B", "C"});
      d.selectRow("lstNotes", c.row);
      d.type("txtNotes", " (edited, then deleted)");
      d.confirm("cmdDel", MsgAnswer::Yes);
      QCOMPARE(d.titles("lstNotes"), c.left);
      QCOMPARE(d.slotsOf("lstNotes"), c.slotsLeft);
      QCOMPARE(d.list("lstNotes")->currentRow(), c.selected);
      QCOMPARE(d.boxShows("txtNotes"), c.left[c.selected].toLower() + " text");
      d.create("D");
      QCOMPARE(d.slotsOf("lstNotes").constLast(), 3);
    }
  }

  void deleteClearsCurrentTaskByTitle() {
    ed->addEntries("lstTasks", {"Extract", "extract", "Extract"});
    ed->selectRow("lstTasks", 0);
    ed->click("cmdCurTask");
    ed->selectRow("lstTasks", 1);
    ed->confirm("cmdDel", MsgAnswer::Yes); // another letter case is another title
    QCOMPARE(ed->curTask(), QStringLiteral("Extract"));
    ed->confirm("cmdDel", MsgAnswer::Yes); // a same-titled other task clears it
    QCOMPARE(ed->curTask(), QString());
    ed->confirm("cmdDel", MsgAnswer::Yes); // the only task: the page ends empty
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
    QCOMPARE(ed->boxShows("txtTasks"), QString());
    QCOMPARE(ed->window.lastTaskIndex, 0);
  }

  void moveCarriesSlotAndStoresNothing() {
    ed->addEntries("lstTasks", {"A", "B", "C"});
    ed->click("cmdDown"); // at the end: nothing moves, the typing is kept
    ed->type("txtTasks", "+");
    ed->selectRow("lstTasks", 0);
    ed->click("cmdUp");
    QCOMPARE(ed->titles("lstTasks"), (Titles{"A", "B", "C"}));
    ed->selectRow("lstTasks", 2);
    ed->click("cmdCurTask");
    ed->type("txtTasks", " unsaved");
    ed->click("cmdUp");
    QCOMPARE(ed->titles("lstTasks"), (Titles{"A", "C", "B"}));
    QCOMPARE(ed->slotsOf("lstTasks"), (Slots{0, 2, 1}));
    QCOMPARE(ed->list("lstTasks")->currentRow(), 1);
    // The move stores nothing from the box: C shows its own slot's text, and
    // no slot took the unsaved typing.
    QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("c text+"));
    QCOMPARE(ed->window.taskText, (Titles{"a text", "b text", "c text+"}));
    QCOMPARE(ed->curTask(), QStringLiteral("C"));
  }

  void insertTags() {
    const QString pic = QStringLiteral("' width='200' height='200'/>");
    const struct {
      QString typed; // "\n" is a Return key
      int start, length;
      const char* button;
      QString stored; // the entry's text once stored back
    } cases[] = {
        {"go to the bridge now", 10, 6, "cmdMarker", "go to the <marker name='N'>bridge</marker> now"},
        {"north\nriver", 6, 5, "cmdMarker", "north\r\n<marker name='N'>river</marker>"},
        {"text", 2, 0, "cmdMarker", "text"}, // no selection: a hint, no question
        {"", 0, 0, "cmdPic", "<img image='N" + pic},
        {"abcdef", 2, 2, "cmdPic", "ab<img image='N" + pic + "cdef"},
        {"line\nend", 8, 0, "cmdPic", "line\r\nend<img image='N" + pic},
    };
    int page = 0;
    for (const auto& c : cases) {
      page = 1 - page; // both pages, in turn
      EditorDriver d;
      d.showPage(page);
      const char* box = page ? "txtNotes" : "txtTasks";
      d.create("first");
      d.create("second");
      d.type(box, c.typed);
      d.selectText(box, c.start, c.length);
      if (c.length == 0 && !qstrcmp(c.button, "cmdMarker"))
        d.dialogs.answerMessage(MsgAnswer::OK);
      else
        d.dialogs.answerInput(QStringLiteral("N"));
      d.click(c.button);
      const QStringList& texts = page ? d.window.noteText : d.window.taskText;
      QCOMPARE(texts[0], QString()); // in the box only, until stored back
      d.selectRow(page ? "lstNotes" : "lstTasks", 1);
      QCOMPARE(texts[0], c.stored);
    }
  }

  void saveAfterEditsWritesEachEntryWithItsText() {
    ed->addEntries("lstTasks", {"A", "B", "C"});
    ed->selectRow("lstTasks", 1);
    ed->rename("Bravo");
    ed->selectRow("lstTasks", 0);
    ed->confirm("cmdDel", MsgAnswer::Yes); // A's text stays behind, unreachable
    ed->selectRow("lstTasks", 1);
    ed->click("cmdCurTask");
    ed->click("cmdUp");
    ed->showPage(1);
    ed->addEntries("lstNotes", {"N1", "N2"});
    ed->type("txtNotes", ", still in the box");
    QTemporaryDir dir;
    ed->dialogs.answerSave(dir.filePath(QStringLiteral("edited.sqf")));
    ed->click("cmdOK");
    QFile written(dir.filePath(QStringLiteral("edited.sqf")));
    QFile expected(QStringLiteral(QUILLFORT_TEST_DATA "/editor_after_edits.sqf"));
    QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());
  }

  void clearStartsAfreshAndExitDoesNotAsk() {
    ed->addEntries("lstTasks", {"Task"});
    ed->click("cmdCurTask");
    ed->click("cmdSide");
    ed->showPage(1);
    ed->addEntries("lstNotes", {"Note"});
    ed->window.setWindowTitle("Quillfort - somewhere.sqf");
    ed->confirm("cmdClear", MsgAnswer::Yes);
    QVERIFY(ed->list("lstTasks")->isVisible());
    QCOMPARE(ed->list("lstTasks")->count() + ed->list("lstNotes")->count(), 0);
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"}, false));
    QCOMPARE(ed->curTask(), QString());
    QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
    QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("EAST"));
    ed->create("New task"); // slot 0 again, with an empty text
    ed->showPage(1);
    ed->create("New note");
    QCOMPARE(ed->slotsOf("lstTasks") + ed->slotsOf("lstNotes"), (Slots{0, 0}));
    QCOMPARE(ed->window.taskText[0] + ed->window.noteText[0], QString());
    ed->confirm("cmdClear", MsgAnswer::Yes); // asks even with nothing to lose
    ed->click("cmdCancel");                  // unsaved work, no question
    QVERIFY(!ed->window.isVisible());
  }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
