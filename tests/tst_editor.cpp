// The editor window driven as a user drives it: real buttons, real boxes,
// scripted answers to the input and message boxes.
#include "support/EditorDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

class tst_editor : public QObject {
  Q_OBJECT

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() {
    QCOMPARE(ed->dialogs.pending(), 0);
    ed.reset();
  }

  void startState();
  void createFirstAndFurther();
  void emptyAnswerOrCancelChangesNothing_data();
  void emptyAnswerOrCancelChangesNothing();
  void selectionStoresThenLoads();
  void renameKeepsSlotAndFollowsCurrentTitle();
  void currentTaskSetResetReplace();
  void sideCycles();
  void createAtSlotLimitSaysSoAndChangesNothing();
  void emptyTasksPageWithEditEnabledDoesNothing();
  void deleteSelectsNeighbour_data();
  void deleteSelectsNeighbour();
  void deleteClearsCurrentTaskByTitle();
  void moveAtTheEndsChangesNothing();
  void moveCarriesSlotAndStoresNothing();
  void insertTags_data();
  void insertTags();
  void tagsNeedASelectionAndAnEntry();
  void saveAfterEditsWritesEachEntryWithItsText();
  void clearAsksThenStartsAfresh();
  void exitClosesWithoutAsking();

private:
  std::unique_ptr<EditorDriver> ed;
};

void tst_editor::startState() {
  QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
  QCOMPARE(ed->window.size(), QSize(1101, 621));
  QVERIFY(!(ed->window.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(ed->list("lstTasks")->isVisible());
  QVERIFY(!ed->list("lstNotes")->isVisible());
  QCOMPARE(ed->list("lstBriefing")->currentRow(), 0);
  QVERIFY(ed->enabledAre({"cmdAdd", "cmdUp", "cmdDown", "cmdMarker", "cmdPic", "cmdOpen", "cmdOK", "cmdClear",
                          "cmdCancel", "cmdSide", "cmdAbout"},
                         true));
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
  QCOMPARE(ed->curTask(), QString());
  QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("WEST"));
  QCOMPARE(ed->window.taskSlotCount, 0);
  QCOMPARE(ed->window.lastTaskIndex, 0);
  QCOMPARE(ed->window.appPath, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  // Every control is where it belongs, so one spot check of each frame's child.
  QCOMPARE(ed->button("cmdCancel")->geometry(), QRect(1008, 8, 89, 25));
  QCOMPARE(ed->button("cmdSide")->geometry(), QRect(968, 16, 129, 25));
  QCOMPARE(ed->button("cmdCancel")->toolTip(), QStringLiteral("Be sure to save your work before closing"));
}

void tst_editor::createFirstAndFurther() {
  ed->create("Secure the bridge");
  const auto& asked = ed->dialogs.requests.constLast();
  QCOMPARE(asked.prompt, QStringLiteral("Enter the task to create:"));
  QCOMPARE(asked.title, QStringLiteral("Create Task"));
  QCOMPARE(asked.defaultText, QString());
  QCOMPARE(ed->titles("lstTasks"), QStringList{"Secure the bridge"});
  QCOMPARE(ed->slotsOf("lstTasks"), QList<int>{0});
  QCOMPARE(ed->list("lstTasks")->currentRow(), 0);
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, true));
  // The selection cannot be taken away: Ctrl+click on it keeps it.
  QListWidget* tasks = ed->list("lstTasks");
  QTest::mouseClick(tasks->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    tasks->visualItemRect(tasks->item(0)).center());
  QVERIFY(tasks->item(0)->isSelected());

  ed->type("txtTasks", "Hold until relieved");
  ed->create("  "); // blanks only are a title too
  ed->create("Secure the bridge");
  QCOMPARE(ed->titles("lstTasks"), (QStringList{"Secure the bridge", "  ", "Secure the bridge"}));
  QCOMPARE(ed->slotsOf("lstTasks"), (QList<int>{0, 1, 2}));
  QCOMPARE(ed->list("lstTasks")->currentRow(), 0);
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("Hold until relieved"));
  QCOMPARE(ed->window.taskText.size(), 3);

  ed->showPage(1);
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "txtNotes"}, false));
  ed->create("Intel");
  QCOMPARE(ed->dialogs.requests.constLast().title, QStringLiteral("Create Note"));
  QCOMPARE(ed->titles("lstNotes"), QStringList{"Intel"});
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "txtNotes", "cmdCurTask"}, true));
  QCOMPARE(ed->titles("lstTasks").size(), 3);
}

void tst_editor::emptyAnswerOrCancelChangesNothing_data() {
  QTest::addColumn<bool>("cancel");
  QTest::newRow("empty answer") << false;
  QTest::newRow("cancel") << true;
}

void tst_editor::emptyAnswerOrCancelChangesNothing() {
  QFETCH(bool, cancel);
  ed->create("Alpha");
  const auto answer = [&] {
    if (cancel)
      ed->dialogs.cancelInput();
    else
      ed->dialogs.answerInput(QString());
  };
  answer();
  ed->click("cmdAdd");
  answer();
  ed->click("cmdEdit");
  QCOMPARE(ed->dialogs.requests.constLast().defaultText, QStringLiteral("Alpha"));
  QCOMPARE(ed->titles("lstTasks"), QStringList{"Alpha"});
  QCOMPARE(ed->window.taskSlotCount, 1);
}

void tst_editor::selectionStoresThenLoads() {
  ed->create("A");
  ed->create("B");
  ed->create("B"); // same title, its own text
  ed->type("txtTasks", "first line");
  ed->typeReturn("txtTasks");
  ed->type("txtTasks", "second line");
  // A page switch stores nothing: the box still holds the typing.
  ed->showPage(1);
  ed->showPage(0);
  QCOMPARE(ed->window.taskText[0], QString());
  ed->selectRow("lstTasks", 1);
  QCOMPARE(ed->window.taskText[0], QStringLiteral("first line\r\nsecond line"));
  QCOMPARE(ed->boxShows("txtTasks"), QString());
  ed->type("txtTasks", "B one");
  ed->selectRow("lstTasks", 2);
  ed->type("txtTasks", "B two");
  ed->selectRow("lstTasks", 1);
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("B one"));
  QCOMPARE(ed->window.taskText, (QStringList{"first line\r\nsecond line", "B one", "B two"}));
  ed->selectRow("lstTasks", 0);
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("first line\nsecond line"));
  QCOMPARE(ed->window.lastTaskIndex, 0);
}

void tst_editor::renameKeepsSlotAndFollowsCurrentTitle() {
  ed->create("Recon");
  ed->create("Assault");
  ed->create("Recon");
  ed->type("txtTasks", "look first");
  ed->click("cmdCurTask");
  QCOMPARE(ed->curTask(), QStringLiteral("Recon"));
  // Renaming the same-titled third task moves the label too: it goes by title.
  ed->selectRow("lstTasks", 2);
  ed->rename("Recon in force");
  QCOMPARE(ed->dialogs.requests.constLast().prompt, QStringLiteral("Edit the selected task:"));
  QCOMPARE(ed->dialogs.requests.constLast().title, QStringLiteral("Edit Task"));
  QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
  QCOMPARE(ed->titles("lstTasks"), (QStringList{"Recon", "Assault", "Recon in force"}));
  QCOMPARE(ed->slotsOf("lstTasks"), (QList<int>{0, 1, 2}));
  QCOMPARE(ed->list("lstTasks")->currentRow(), 2);
  // Renaming another task leaves the label; the text stays with its slot.
  ed->selectRow("lstTasks", 0);
  ed->rename("Scout");
  QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("look first"));
  // An unchanged answer asks and changes nothing.
  ed->rename("Scout");
  QCOMPARE(ed->titles("lstTasks").first(), QStringLiteral("Scout"));
  // Notes: another prompt, and the label is not looked at.
  ed->showPage(1);
  ed->create("Recon in force");
  ed->rename("Weather");
  QCOMPARE(ed->dialogs.requests.constLast().title, QStringLiteral("Edit Note"));
  QCOMPARE(ed->curTask(), QStringLiteral("Recon in force"));
}

void tst_editor::currentTaskSetResetReplace() {
  ed->create("Alpha");
  ed->create("Bravo");
  ed->click("cmdCurTask");
  QCOMPARE(ed->curTask(), QStringLiteral("Alpha"));
  ed->click("cmdCurTask");
  QCOMPARE(ed->curTask(), QString());
  ed->click("cmdCurTask");
  ed->selectRow("lstTasks", 1);
  // From the Notes page it still acts on the selected task.
  ed->showPage(1);
  QVERIFY(ed->button("cmdCurTask")->isEnabled());
  ed->click("cmdCurTask");
  QCOMPARE(ed->curTask(), QStringLiteral("Bravo"));
}

void tst_editor::sideCycles() {
  QStringList seen;
  for (int i = 0; i < 4; ++i) {
    ed->click("cmdSide");
    seen << ed->button("cmdSide")->text();
  }
  QCOMPARE(seen, (QStringList{"EAST", "RESISTANCE", "CIVILIAN", "WEST"}));
}

void tst_editor::createAtSlotLimitSaysSoAndChangesNothing() {
  ed->window.taskSlotCount = 32767;
  ed->dialogs.answerMessage(MsgAnswer::OK);
  ed->click("cmdAdd");
  const auto& told = ed->dialogs.requests.constLast();
  QCOMPARE(told.kind, ScriptedDialogs::Kind::Message);
  QCOMPARE(told.style, 64);
  QCOMPARE(told.title, QStringLiteral("Create Task"));
  QVERIFY(told.prompt.contains(QStringLiteral("No more tasks can be created")));
  QCOMPARE(ed->window.taskSlotCount, 32767);
  QCOMPARE(ed->list("lstTasks")->count(), 0);
  // Notes have a counter of their own.
  ed->showPage(1);
  ed->create("Still possible");
  QCOMPARE(ed->slotsOf("lstNotes"), QList<int>{0});
}

void tst_editor::emptyTasksPageWithEditEnabledDoesNothing() {
  // Opening a script with notes only can leave these enabled on the empty
  // Tasks page: pressing them asks nothing and changes nothing.
  ed->button("cmdEdit")->setEnabled(true);
  ed->button("cmdDel")->setEnabled(true);
  ed->click("cmdEdit");
  ed->click("cmdDel");
  QCOMPARE(ed->dialogs.requests.size(), 0);
  QCOMPARE(ed->list("lstTasks")->count(), 0);
}

void tst_editor::deleteSelectsNeighbour_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<QStringList>("left");
  QTest::addColumn<QList<int>>("slotsLeft");
  QTest::addColumn<int>("selected");
  QTest::newRow("first") << 0 << QStringList{"B", "C"} << QList<int>{1, 2} << 0;
  QTest::newRow("middle") << 1 << QStringList{"A", "C"} << QList<int>{0, 2} << 1;
  QTest::newRow("last") << 2 << QStringList{"A", "B"} << QList<int>{0, 1} << 1;
}

void tst_editor::deleteSelectsNeighbour() {
  QFETCH(int, row);
  QFETCH(QStringList, left);
  QFETCH(QList<int>, slotsLeft);
  QFETCH(int, selected);
  ed->showPage(1); // notes: the same command, the other list
  for (const char* t : {"A", "B", "C"}) {
    ed->create(t);
    ed->selectRow("lstNotes", ed->list("lstNotes")->count() - 1);
    ed->type("txtNotes", QStringLiteral("text of ") + t);
  }
  ed->selectRow("lstNotes", row);
  ed->type("txtNotes", " (edited, then deleted)");
  ed->dialogs.answerMessage(MsgAnswer::No);
  ed->click("cmdDel");
  QCOMPARE(ed->titles("lstNotes").size(), 3);
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdDel");
  const auto& asked = ed->dialogs.requests.constLast();
  QCOMPARE(asked.prompt, QStringLiteral("Delete the selected note?"));
  QCOMPARE(asked.title, QStringLiteral("Delete Note"));
  QCOMPARE(asked.style, 36);
  QCOMPARE(ed->titles("lstNotes"), left);
  QCOMPARE(ed->slotsOf("lstNotes"), slotsLeft);
  QCOMPARE(ed->list("lstNotes")->currentRow(), selected);
  QCOMPARE(ed->boxShows("txtNotes"), QStringLiteral("text of ") + left[selected]);
  // Slots are never reused.
  ed->create("D");
  QCOMPARE(ed->slotsOf("lstNotes").constLast(), 3);
  QCOMPARE(ed->window.noteText.size(), 4);
}

void tst_editor::deleteClearsCurrentTaskByTitle() {
  ed->create("Extract");
  ed->create("extract");
  ed->create("Extract");
  ed->click("cmdCurTask");
  // A title differing in letter case is another title.
  ed->selectRow("lstTasks", 1);
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdDel");
  QCOMPARE(ed->curTask(), QStringLiteral("Extract"));
  QCOMPARE(ed->dialogs.requests.constLast().title, QStringLiteral("Delete Task"));
  // Deleting a same-titled other task clears it, though one of that title stays.
  ed->selectRow("lstTasks", 1);
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdDel");
  QCOMPARE(ed->curTask(), QString());
  QCOMPARE(ed->titles("lstTasks"), QStringList{"Extract"});
  // The only task: the page ends empty and disabled.
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdDel");
  QCOMPARE(ed->list("lstTasks")->count(), 0);
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
  QCOMPARE(ed->boxShows("txtTasks"), QString());
  QCOMPARE(ed->window.lastTaskIndex, 0);
  QCOMPARE(ed->window.taskSlotCount, 3);
}

void tst_editor::moveAtTheEndsChangesNothing() {
  ed->click("cmdUp"); // empty list
  ed->click("cmdDown");
  QCOMPARE(ed->window.lastTaskIndex, 0);
  ed->create("A");
  ed->create("B");
  ed->type("txtTasks", "typed meanwhile");
  ed->click("cmdUp");
  ed->selectRow("lstTasks", 1);
  ed->click("cmdDown");
  QCOMPARE(ed->titles("lstTasks"), (QStringList{"A", "B"}));
  QCOMPARE(ed->list("lstTasks")->currentRow(), 1);
  // The typing was still stored by the next selection.
  QCOMPARE(ed->window.taskText[0], QStringLiteral("typed meanwhile"));
}

void tst_editor::moveCarriesSlotAndStoresNothing() {
  for (const char* t : {"A", "B", "C"}) {
    ed->create(t);
    ed->selectRow("lstTasks", ed->list("lstTasks")->count() - 1);
    ed->type("txtTasks", QString::fromLatin1(t).toLower());
  }
  ed->selectRow("lstTasks", 0); // stores "c"
  ed->selectRow("lstTasks", 2);
  ed->click("cmdCurTask"); // C is current
  ed->type("txtTasks", " unsaved");
  ed->click("cmdUp");
  QCOMPARE(ed->titles("lstTasks"), (QStringList{"A", "C", "B"}));
  QCOMPARE(ed->slotsOf("lstTasks"), (QList<int>{0, 2, 1}));
  QCOMPARE(ed->list("lstTasks")->currentRow(), 1);
  // The move stores nothing from the box: C shows the text of its own slot.
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("c"));
  QCOMPARE(ed->window.taskText, (QStringList{"a", "b", "c"}));
  QCOMPARE(ed->curTask(), QStringLiteral("C"));
  ed->click("cmdUp");
  ed->selectRow("lstTasks", 2);
  QCOMPARE(ed->titles("lstTasks"), (QStringList{"C", "A", "B"}));
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("b"));
  QCOMPARE(ed->window.taskText, (QStringList{"a", "b", "c"}));
}

void tst_editor::insertTags_data() {
  QTest::addColumn<QString>("typed"); // "\n" is a Return key
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("length");
  QTest::addColumn<QString>("command");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QString>("stored"); // the entry's text after the next selection
  const QString pic = QStringLiteral("' width='200' height='200'/>");
  QTest::newRow("marker around a word") << "go to the bridge now" << 10 << 6 << "cmdMarker"
                                        << "mkBridge"
                                        << "go to the <marker name='mkBridge'>bridge</marker> now";
  QTest::newRow("marker from the start to the end") << "bridge" << 0 << 6 << "cmdMarker"
                                                    << "m 1"
                                                    << "<marker name='m 1'>bridge</marker>";
  QTest::newRow("marker on the second line") << "north\nriver" << 6 << 5 << "cmdMarker"
                                             << "mk"
                                             << "north\r\n<marker name='mk'>river</marker>";
  QTest::newRow("picture at the start of an empty text")
      << "" << 0 << 0 << "cmdPic"
      << "map.paa" << QStringLiteral("<img image='map.paa") + pic;
  QTest::newRow("picture keeps the selection after it")
      << "abcdef" << 2 << 2 << "cmdPic"
      << "p.jpg" << QStringLiteral("ab<img image='p.jpg") + pic + "cdef";
  QTest::newRow("picture at the end") << "line\nend" << 8 << 0 << "cmdPic"
                                      << "x" << QStringLiteral("line\r\nend<img image='x") + pic;
}

void tst_editor::insertTags() {
  QFETCH(QString, typed);
  QFETCH(int, start);
  QFETCH(int, length);
  QFETCH(QString, command);
  QFETCH(QString, answer);
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
    ed->dialogs.answerInput(answer);
    ed->click(command.toLatin1());
    // Not in the model until stored back; then exactly the tagged text.
    QCOMPARE((page ? ed->window.noteText : ed->window.taskText)[0], QString());
    ed->selectRow(list, 1);
    QCOMPARE((page ? ed->window.noteText : ed->window.taskText)[0], stored);
    const auto& asked = ed->dialogs.requests.constLast();
    QCOMPARE(asked.title,
             command == "cmdPic" ? QStringLiteral("Insert Picture") : QStringLiteral("Insert Marker"));
    QCOMPARE(asked.prompt, command == "cmdPic" ? QStringLiteral("Enter a picture file name:")
                                               : QStringLiteral("Enter a marker name:"));
  }
}

void tst_editor::tagsNeedASelectionAndAnEntry() {
  // An empty page: both buttons do nothing, ask nothing.
  ed->click("cmdMarker");
  ed->click("cmdPic");
  QCOMPARE(ed->dialogs.requests.size(), 0);
  ed->create("A");
  ed->type("txtTasks", "text");
  // A cursor without a selection: the hint, and no name is asked for.
  ed->dialogs.answerMessage(MsgAnswer::OK);
  ed->click("cmdMarker");
  const auto& hint = ed->dialogs.requests.constLast();
  QCOMPARE(hint.prompt, QStringLiteral("Highlight the text to be used as marker link"));
  QCOMPARE(hint.title, QStringLiteral("Insert Marker"));
  QCOMPARE(hint.style, 64);
  // Cancel leaves the text as it was.
  ed->selectText("txtTasks", 0, 4);
  ed->dialogs.cancelInput();
  ed->click("cmdMarker");
  ed->dialogs.cancelInput();
  ed->click("cmdPic");
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("text"));
}

void tst_editor::saveAfterEditsWritesEachEntryWithItsText() {
  for (const char* t : {"A", "B", "C"}) {
    ed->create(t);
    ed->selectRow("lstTasks", ed->list("lstTasks")->count() - 1);
    ed->type("txtTasks", QString::fromLatin1(t).toLower() + " text");
  }
  ed->selectRow("lstTasks", 1);
  ed->rename("Bravo");
  ed->selectRow("lstTasks", 0);
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdDel"); // A goes; its text stays behind, unreachable
  ed->selectRow("lstTasks", 1);
  ed->click("cmdCurTask");
  ed->click("cmdUp"); // C first
  ed->showPage(1);
  ed->create("N1");
  ed->type("txtNotes", "n1");
  ed->create("N2");
  ed->selectRow("lstNotes", 1);
  ed->type("txtNotes", "n2, still in the box");

  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("mix.sqf"));
  ed->dialogs.answerSave(path);
  ed->click("cmdOK");
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray expected = QByteArray("// QFRT W \x02 \x02 \x01 100\r\n") +
                              "// DO NOT EDIT THIS FILE\r\n"
                              "\r\n"
                              "waitUntil {!(isNull player)};\r\n"
                              "waitUntil {player==player};\r\n"
                              "switch (side player) do\r\n"
                              "{\r\n"
                              "case WEST:\r\n"
                              "{\r\n"
                              "player createDiaryRecord [\"Diary\",[\"N2\",\"n2, still in the box\"]];\r\n"
                              "player createDiaryRecord [\"Diary\",[\"N1\",\"n1\"]];\r\n"
                              "tskObj1=player createSimpleTask [\"Bravo\"];\r\n"
                              "tskObj1 setSimpleTaskDescription [\"b text\",\"Bravo\",\"Bravo\"];\r\n"
                              "tskObj0=player createSimpleTask [\"C\"];\r\n"
                              "tskObj0 setSimpleTaskDescription [\"c text\",\"C\",\"C\"];\r\n"
                              "player setCurrentTask tskObj0;\r\n"
                              "};\r\n"
                              "case EAST:\r\n{\r\n};\r\n"
                              "case RESISTANCE:\r\n{\r\n};\r\n"
                              "case CIVILIAN:\r\n{\r\n};\r\n"
                              "};\r\n"
                              "if (isNil {player getVariable \"zv_briefingEH\"}) then\r\n"
                              "{\r\n"
                              "player addEventHandler [\"killed\",{[] spawn {waitUntil {alive player};"
                              "execVM\"briefing.sqf\";};}];\r\n"
                              "player setVariable [\"zv_briefingEH\",true];\r\n"
                              "};";
  QCOMPARE(file.readAll(), expected);
}

void tst_editor::clearAsksThenStartsAfresh() {
  ed->create("Task");
  ed->type("txtTasks", "old task text");
  ed->click("cmdCurTask");
  ed->click("cmdSide");
  ed->showPage(1);
  ed->create("Note");
  ed->type("txtNotes", "old note text");
  ed->window.setWindowTitle("Quillfort - somewhere.sqf");
  ed->dialogs.answerMessage(MsgAnswer::No);
  ed->click("cmdClear");
  QCOMPARE(ed->titles("lstNotes"), QStringList{"Note"});
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdClear");
  const auto& asked = ed->dialogs.requests.constLast();
  QCOMPARE(asked.prompt, QStringLiteral("All data in the work area will be lost!\r\n\r\nAre you sure?"));
  QCOMPARE(asked.title, QStringLiteral("Clear Quillfort"));
  QCOMPARE(asked.style, 20);
  QVERIFY(ed->list("lstTasks")->isVisible());
  QCOMPARE(ed->list("lstTasks")->count() + ed->list("lstNotes")->count(), 0);
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"}, false));
  QCOMPARE(ed->curTask(), QString());
  QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
  QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("EAST"));
  // Afresh: slot 0 again, with an empty text, on both pages.
  ed->create("New task");
  QCOMPARE(ed->slotsOf("lstTasks"), QList<int>{0});
  QCOMPARE(ed->boxShows("txtTasks"), QString());
  ed->showPage(1);
  ed->create("New note");
  QCOMPARE(ed->slotsOf("lstNotes"), QList<int>{0});
  QCOMPARE(ed->boxShows("txtNotes"), QString());
  // Clear asks even when there is nothing to lose.
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdClear");
  ed->dialogs.answerMessage(MsgAnswer::Yes);
  ed->click("cmdClear");
}

void tst_editor::exitClosesWithoutAsking() {
  ed->create("Unsaved");
  ed->click("cmdCancel");
  QVERIFY(!ed->window.isVisible());
}

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
