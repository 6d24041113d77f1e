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

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() {
    QCOMPARE(ed->dialogs.pending(), 0);
    ed.reset();
  }
  void startState();
  void createRenameCurrentTaskAndSide();
  void selectionStoresThenLoads();
  void oddStatesDoNothing();
  void deleteSelectsNeighbour_data();
  void deleteSelectsNeighbour();
  void deleteClearsCurrentTaskByTitle();
  void moveCarriesSlotAndStoresNothing();
  void insertTags_data();
  void insertTags();
  void tagsNeedASelectionAndAnEntry();
  void saveAfterEditsWritesEachEntryWithItsText();
  void clearAsksThenStartsAfreshAndExitDoesNot();

private:
  std::unique_ptr<EditorDriver> ed;
};

void tst_editor::startState() {
  QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
  QCOMPARE(ed->window.size(), QSize(1101, 621));
  QVERIFY(!(ed->window.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(ed->list("lstTasks")->isVisible() && !ed->list("lstNotes")->isVisible());
  QVERIFY(ed->enabledAre(
      {"cmdAdd", "cmdUp", "cmdDown", "cmdMarker", "cmdPic", "cmdOpen", "cmdOK", "cmdClear"}, true));
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
  QCOMPARE(ed->curTask(), QString());
  QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("WEST"));
  QCOMPARE(ed->window.appPath, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  QCOMPARE(ed->button("cmdCancel")->geometry(), QRect(1008, 8, 89, 25)); // 15120, 120 twips in Frame2
}

void tst_editor::createRenameCurrentTaskAndSide() {
  ed->create("Recon");
  QCOMPARE(ed->lastAsked().prompt, QStringLiteral("Enter the task to create:"));
  QCOMPARE(ed->lastAsked().title, QStringLiteral("Create Task"));
  QCOMPARE(ed->list("lstTasks")->currentRow(), 0); // the first one is selected at once
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, true));
  ed->type("txtTasks", "look first");
  ed->create("  "); // blanks only, and a repeated title, are titles too
  ed->create("Recon");
  QCOMPARE(ed->titles("lstTasks"), (Titles{"Recon", "  ", "Recon"}));
  QCOMPARE(ed->slotsOf("lstTasks"), (Slots{0, 1, 2}));
  QCOMPARE(ed->list("lstTasks")->currentRow(), 0); // later ones do not move the selection
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("look first"));
  // An empty answer and Cancel change nothing, for create and rename alike.
  for (const char* button : {"cmdAdd", "cmdEdit"}) {
    ed->dialogs.answerInput(QString());
    ed->click(button);
    ed->dialogs.cancelInput();
    ed->click(button);
  }
  QCOMPARE(ed->lastAsked().defaultText, QStringLiteral("Recon"));
  QCOMPARE(ed->titles("lstTasks").size(), 3);

  // Set, reset, set; the label goes by title, so renaming the same-titled
  // third task moves it too, while the text stays with its slot.
  ed->click("cmdCurTask");
  ed->click("cmdCurTask");
  QCOMPARE(ed->curTask(), QString());
  ed->click("cmdCurTask");
  ed->selectRow("lstTasks", 2);
  ed->rename("Recon in force");
  QCOMPARE(ed->lastAsked().title, QStringLiteral("Edit Task"));
  QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
  ed->selectRow("lstTasks", 0);
  ed->rename("Scout");
  QCOMPARE(ed->titles("lstTasks"), (Titles{"Scout", "  ", "Recon in force"}));
  QCOMPARE(ed->slotsOf("lstTasks"), (Slots{0, 1, 2}));
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("look first"));
  QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));

  // Notes: their own prompts, cmdCurTask untouched, and from this page
  // cmdCurTask still acts on the selected task.
  ed->showPage(1);
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "txtNotes"}, false));
  ed->create("Recon in force");
  QCOMPARE(ed->lastAsked().title, QStringLiteral("Create Note"));
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "txtNotes", "cmdCurTask"}, true));
  ed->rename("Weather");
  QCOMPARE(ed->lastAsked().prompt, QStringLiteral("Edit the selected note:"));
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

void tst_editor::selectionStoresThenLoads() {
  ed->create("A");
  ed->create("B");
  ed->create("B"); // the same title keeps a text of its own
  ed->type("txtTasks", "first line");
  ed->typeReturn("txtTasks");
  ed->type("txtTasks", "second line");
  ed->showPage(1); // a page switch stores nothing: the box keeps the typing
  ed->showPage(0);
  QCOMPARE(ed->window.taskText[0], QString());
  ed->selectRow("lstTasks", 1);
  ed->type("txtTasks", "B one");
  ed->selectRow("lstTasks", 2);
  ed->type("txtTasks", "B two");
  ed->selectRow("lstTasks", 1);
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("B one"));
  QCOMPARE(ed->window.taskText, (Titles{"first line\r\nsecond line", "B one", "B two"}));
  ed->selectRow("lstTasks", 0);
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("first line\nsecond line"));
}

void tst_editor::oddStatesDoNothing() {
  // Opening a notes-only script can leave Edit and Delete enabled on the
  // empty Tasks page: they ask nothing and change nothing.
  ed->button("cmdEdit")->setEnabled(true);
  ed->button("cmdDel")->setEnabled(true);
  ed->click("cmdEdit");
  ed->click("cmdDel");
  ed->click("cmdUp");
  QCOMPARE(ed->dialogs.requests.size(), 0);
  // A spent slot counter: told so, asked nothing, nothing changed.
  ed->window.taskSlotCount = 32767;
  ed->dialogs.answerMessage(MsgAnswer::OK);
  ed->click("cmdAdd");
  QCOMPARE(ed->lastAsked().style, 64);
  QVERIFY(ed->lastAsked().prompt.startsWith(QStringLiteral("No more tasks can be created")));
  QCOMPARE(ed->list("lstTasks")->count(), 0);
  // The selection cannot be taken away: Ctrl+click on it keeps it.
  ed->showPage(1);
  ed->create("N");
  QListWidget* notes = ed->list("lstNotes");
  QTest::mouseClick(notes->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    notes->visualItemRect(notes->item(0)).center());
  QVERIFY(notes->item(0)->isSelected());
}

void tst_editor::deleteSelectsNeighbour_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<Titles>("left");
  QTest::addColumn<Slots>("slotsLeft");
  QTest::addColumn<int>("selected");
  QTest::newRow("first") << 0 << Titles{"B", "C"} << Slots{1, 2} << 0;
  QTest::newRow("middle") << 1 << Titles{"A", "C"} << Slots{0, 2} << 1;
  QTest::newRow("last") << 2 << Titles{"A", "B"} << Slots{0, 1} << 1;
}

void tst_editor::deleteSelectsNeighbour() {
  QFETCH(int, row);
  QFETCH(Titles, left);
  QFETCH(Slots, slotsLeft);
  QFETCH(int, selected);
  ed->showPage(1); // notes: the same command on the other list
  ed->addEntries("lstNotes", {"A", "B", "C"});
  ed->selectRow("lstNotes", row);
  ed->type("txtNotes", " (edited, then deleted)");
  ed->confirm("cmdDel", MsgAnswer::No);
  QCOMPARE(ed->titles("lstNotes").size(), 3);
  ed->confirm("cmdDel", MsgAnswer::Yes);
  QCOMPARE(ed->lastAsked().prompt, QStringLiteral("Delete the selected note?"));
  QCOMPARE(ed->lastAsked().title, QStringLiteral("Delete Note"));
  QCOMPARE(ed->lastAsked().style, 36);
  QCOMPARE(ed->titles("lstNotes"), left);
  QCOMPARE(ed->slotsOf("lstNotes"), slotsLeft);
  QCOMPARE(ed->list("lstNotes")->currentRow(), selected);
  QCOMPARE(ed->boxShows("txtNotes"), left[selected].toLower() + " text");
  ed->create("D"); // slots are never reused
  QCOMPARE(ed->slotsOf("lstNotes").constLast(), 3);
}

void tst_editor::deleteClearsCurrentTaskByTitle() {
  ed->addEntries("lstTasks", {"Extract", "extract", "Extract"});
  ed->selectRow("lstTasks", 0);
  ed->click("cmdCurTask");
  ed->selectRow("lstTasks", 1);
  ed->confirm("cmdDel", MsgAnswer::Yes); // another letter case is another title
  QCOMPARE(ed->curTask(), QStringLiteral("Extract"));
  ed->confirm("cmdDel", MsgAnswer::Yes); // a same-titled other task clears it
  QCOMPARE(ed->lastAsked().title, QStringLiteral("Delete Task"));
  QCOMPARE(ed->curTask(), QString());
  ed->confirm("cmdDel", MsgAnswer::Yes); // the only task: the page ends empty
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
  QCOMPARE(ed->boxShows("txtTasks"), QString());
  QCOMPARE(ed->window.lastTaskIndex, 0);
  QCOMPARE(ed->window.taskSlotCount, 3);
}

void tst_editor::moveCarriesSlotAndStoresNothing() {
  ed->addEntries("lstTasks", {"A", "B", "C"});
  ed->click("cmdDown"); // at the end: nothing moves, the typing is kept
  ed->type("txtTasks", " typed meanwhile");
  ed->selectRow("lstTasks", 0);
  QCOMPARE(ed->window.taskText[2], QStringLiteral("c text typed meanwhile"));
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
  // no other slot took the unsaved typing.
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("c text typed meanwhile"));
  QCOMPARE(ed->window.taskText, (Titles{"a text", "b text", "c text typed meanwhile"}));
  QCOMPARE(ed->curTask(), QStringLiteral("C"));
}

void tst_editor::insertTags_data() {
  QTest::addColumn<QString>("typed"); // "\n" is a Return key
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("length");
  QTest::addColumn<QString>("command");
  QTest::addColumn<QString>("stored"); // the entry's text once stored back
  const QString pic = QStringLiteral("' width='200' height='200'/>");
  QTest::newRow("marker around a word") << "go to the bridge now" << 10 << 6 << "cmdMarker"
                                        << "go to the <marker name='N'>bridge</marker> now";
  QTest::newRow("marker over all") << "bridge" << 0 << 6 << "cmdMarker"
                                   << "<marker name='N'>bridge</marker>";
  QTest::newRow("marker on line 2") << "north\nriver" << 6 << 5 << "cmdMarker"
                                    << "north\r\n<marker name='N'>river</marker>";
  QTest::newRow("picture in an empty text") << "" << 0 << 0 << "cmdPic"
                                            << "<img image='N" + pic;
  QTest::newRow("picture before a selection") << "abcdef" << 2 << 2 << "cmdPic"
                                              << "ab<img image='N" + pic + "cdef";
  QTest::newRow("picture at the end") << "line\nend" << 8 << 0 << "cmdPic"
                                      << "line\r\nend<img image='N" + pic;
}

void tst_editor::insertTags() {
  QFETCH(QString, typed);
  QFETCH(int, start);
  QFETCH(int, length);
  QFETCH(QString, command);
  QFETCH(QString, stored);
  for (const int page : {0, 1}) {
    ed->showPage(page);
    const char* list = page ? "lstNotes" : "lstTasks";
    const char* box = page ? "txtNotes" : "txtTasks";
    ed->create("first");
    ed->create("second");
    const QStringList lines = typed.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i)
        ed->typeReturn(box);
      ed->type(box, lines[i]);
    }
    ed->selectText(box, start, length);
    ed->dialogs.answerInput(QStringLiteral("N"));
    ed->click(command.toLatin1());
    const QStringList& texts = page ? ed->window.noteText : ed->window.taskText;
    QCOMPARE(texts[0], QString()); // in the box only, until stored back
    ed->selectRow(list, 1);
    QCOMPARE(texts[0], stored);
    QCOMPARE(ed->lastAsked().prompt, command == "cmdPic" ? QStringLiteral("Enter a picture file name:")
                                                         : QStringLiteral("Enter a marker name:"));
    QCOMPARE(ed->lastAsked().title,
             command == "cmdPic" ? QStringLiteral("Insert Picture") : QStringLiteral("Insert Marker"));
  }
}

void tst_editor::tagsNeedASelectionAndAnEntry() {
  ed->click("cmdMarker"); // an empty page: nothing is asked
  ed->click("cmdPic");
  QCOMPARE(ed->dialogs.requests.size(), 0);
  ed->create("A");
  ed->type("txtTasks", "text");
  ed->confirm("cmdMarker", MsgAnswer::OK); // no selection: the hint, no question
  QCOMPARE(ed->lastAsked().prompt, QStringLiteral("Highlight the text to be used as marker link"));
  QCOMPARE(ed->lastAsked().style, 64);
  ed->selectText("txtTasks", 0, 4);
  ed->dialogs.cancelInput();
  ed->click("cmdMarker");
  ed->dialogs.cancelInput();
  ed->click("cmdPic");
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("text"));
}

void tst_editor::saveAfterEditsWritesEachEntryWithItsText() {
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

void tst_editor::clearAsksThenStartsAfreshAndExitDoesNot() {
  ed->create("Task");
  ed->type("txtTasks", "old text");
  ed->click("cmdCurTask");
  ed->click("cmdSide");
  ed->showPage(1);
  ed->addEntries("lstNotes", {"Note"});
  ed->window.setWindowTitle("Quillfort - somewhere.sqf");
  ed->confirm("cmdClear", MsgAnswer::No);
  QCOMPARE(ed->titles("lstNotes"), Titles{"Note"});
  ed->confirm("cmdClear", MsgAnswer::Yes);
  QCOMPARE(ed->lastAsked().prompt,
           QStringLiteral("All data in the work area will be lost!\r\n\r\nAre you sure?"));
  QCOMPARE(ed->lastAsked().title, QStringLiteral("Clear Quillfort"));
  QCOMPARE(ed->lastAsked().style, 20);
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
  QCOMPARE(ed->boxShows("txtNotes"), QString());
  QCOMPARE(ed->window.taskText[0], QString());
  ed->confirm("cmdClear", MsgAnswer::Yes);
  ed->confirm("cmdClear", MsgAnswer::Yes); // asks even with nothing to lose
  ed->create("Unsaved");
  ed->click("cmdCancel"); // no question
  QVERIFY(!ed->window.isVisible());
}

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
