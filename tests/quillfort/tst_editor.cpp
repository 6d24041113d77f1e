// The editor window driven as a user drives it: real buttons, real boxes,
// scripted answers to the input and message boxes.
#include "support/EditorDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

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
    QCOMPARE(ed->window.appPath, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  }

  // Every control against the window's control table: positions in twips,
  // 15 to a pixel, inside the control's parent.
  void fixedLayout() {
    const char *button = "MS Sans Serif 9.75", *bold = "MS Sans Serif 12 bold", *plain = "default";
    const struct {
      const char *name, *kind, *in, *caption, *tip;
      int left, top, width, height, tab;
      const char* font;
    } controls[] = {
        {"Frame1", "QGroupBox", "frmBriefing", "", "", 0, -120, 16575, 735, 18, plain},
        {"cmdCurTask", "QPushButton", "Frame1", "Current &Task", "Set/reset the selected task as current",
         120, 240, 1935, 375, 9, button},
        {"lblCurTask", "QLabel", "Frame1", "", "", 2280, 240, 9135, 375, 19, bold},
        {"cmdAbout", "QPushButton", "Frame1", "", "About", 13800, 240, 615, 375, 20, plain},
        {"cmdSide", "QPushButton", "Frame1", "WEST", "Toggle side", 14520, 240, 1935, 375, 10,
         "MS Sans Serif 9.75 bold"},
        {"lstBriefing", "QListWidget", "frmBriefing", "Tasks|Notes", "", 120, 600, 1095, 660, 0, bold},
        {"lstTasks", "QListWidget", "frmBriefing", "", "", 1320, 600, 4215, 2760, 17, bold},
        {"lstNotes", "QListWidget", "frmBriefing", "", "", 1320, 600, 4215, 2760, 16, bold},
        {"txtTasks", "QPlainTextEdit", "frmBriefing", "", "", 5640, 600, 10815, 3255, 15, bold},
        {"txtNotes", "QPlainTextEdit", "frmBriefing", "", "", 5640, 600, 10815, 3255, 13, bold},
        {"cmdUp", "QPushButton", "frmBriefing", "Up", "Move task/note up", 1320, 3480, 1935, 375, 11, plain},
        {"cmdDown", "QPushButton", "frmBriefing", "Down", "Move task/note down", 3600, 3480, 1935, 375, 12,
         plain},
        {"Frame2", "QGroupBox", "frmBriefing", "", "", 0, 8760, 16575, 615, 14, plain},
        {"cmdAdd", "QPushButton", "Frame2", "&Create", "Create task/note", 120, 120, 1335, 375, 1, button},
        {"cmdEdit", "QPushButton", "Frame2", "&Edit", "Edit selected task/note", 1560, 120, 1335, 375, 2,
         button},
        {"cmdDel", "QPushButton", "Frame2", "&Delete", "Delete selected task/note", 3000, 120, 1335, 375, 3,
         button},
        {"cmdMarker", "QPushButton", "Frame2", "Insert &Marker", "Insert marker at cursor position", 5760,
         120, 1815, 375, 4, button},
        {"cmdPic", "QPushButton", "Frame2", "Insert &Picture", "Insert picture at cursor position", 7680, 120,
         1815, 375, 5, button},
        {"cmdOpen", "QPushButton", "Frame2", "&Open", "Open a briefing file", 10800, 120, 1335, 375, 6,
         button},
        {"cmdOK", "QPushButton", "Frame2", "&Save", "Save current briefing file", 12240, 120, 1335, 375, 7,
         button},
        {"cmdClear", "QPushButton", "Frame2", "Clear", "Start a new briefing: empty the work area", 13680,
         120, 1335, 375, 21, button},
        {"cmdCancel", "QPushButton", "Frame2", "E&xit", "Be sure to save your work before closing", 15120,
         120, 1335, 375, 8, button},
    };
    const auto describe = [this](const QWidget* w, const char* kind) {
      QString caption = w->property("text").toString() + w->property("title").toString();
      if (auto* list = qobject_cast<const QListWidget*>(w))
        for (int i = 0; i < list->count(); ++i)
          caption += (i ? "|" : "") + list->item(i)->text();
      if (auto* box = qobject_cast<const QPlainTextEdit*>(w))
        caption = box->toPlainText();
      const QFont f = w->font();
      const QString font =
          f == ed->window.font()
              ? QStringLiteral("default")
              : QStringLiteral("%1 %2%3").arg(f.family()).arg(f.pointSizeF()).arg(f.bold() ? " bold" : "");
      const QRect g = w->geometry();
      return QStringList{w->inherits(kind) ? kind : w->metaObject()->className(),
                         w->parentWidget()->objectName(), caption, w->toolTip(), font}
                 .join(" / ") +
             QStringLiteral(" / %1,%2,%3,%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    };
    QMap<int, QString> byTab; // the controls that take the focus, by tab index
    for (const auto& c : controls) {
      QWidget* w = ed->window.findChild<QWidget*>(QLatin1String(c.name));
      QVERIFY2(w, c.name);
      QCOMPARE(describe(w, c.kind), QStringList({c.kind, c.in, c.caption, c.tip, c.font}).join(" / ") +
                                        QStringLiteral(" / %1,%2,%3,%4")
                                            .arg(c.left / 15)
                                            .arg(c.top / 15)
                                            .arg(c.width / 15)
                                            .arg(c.height / 15));
      if (w->focusPolicy() & Qt::TabFocus)
        byTab[c.tab] = c.name;
    }
    QStringList chain; // Tab's way through the window, from the first control
    for (QWidget* w = ed->window.nextInFocusChain(); w != &ed->window; w = w->nextInFocusChain())
      if (byTab.values().contains(w->objectName()))
        chain << w->objectName();
    const qsizetype first = chain.indexOf(byTab.first());
    QCOMPARE(chain.mid(first) + chain.mid(0, first), byTab.values());
    QCOMPARE(ed->button("cmdAbout")->iconSize(), QSize(32, 32));
    QCOMPARE(ed->button("cmdAbout")->icon().actualSize(QSize(32, 32)), QSize(32, 32));
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
    ed->click("cmdCurTask");
    ed->click("cmdCurTask"); // the same task again: none is current
    QCOMPARE(ed->curTask(), QString());
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

  // Each insertion is one edit of the box: the text as the table says, the
  // cursor where the edit leaves it, the scroll position kept, and one Ctrl+Z
  // takes back exactly the insertion.
  void insertTags() {
    const QString pic = QStringLiteral("' width='200' height='200'/>");
    QString lines; // 40 lines: the box scrolls to show a selection near the end
    for (int i = 0; i < 40; ++i)
      lines += (i ? QStringLiteral("\nl") : QStringLiteral("l")) + QString::number(i).rightJustified(2, u'0');
    const QString longStored =
        QString(lines)
            .replace(QLatin1String("\n"), QLatin1String("\r\n"))
            .replace(QLatin1String("l37"), QLatin1String("<marker name='N'>l37</marker>"));
    const struct {
      QString typed; // "\n" is a Return key
      int start, length;
      const char* button;
      QString stored;    // the entry's text once stored back
      int cursor;        // where the box's cursor is afterwards
      QString selection; // and what it selects
    } cases[] = {
        {"go to the bridge now", 10, 6, "cmdMarker", "go to the <marker name='N'>bridge</marker> now", 42,
         ""},
        {"north\nriver", 6, 5, "cmdMarker", "north\r\n<marker name='N'>river</marker>", 37, ""},
        {"text", 2, 0, "cmdMarker", "text", 2, ""}, // no selection: a hint, no question
        {"abc", 1, 1, "cmdMarker", "a<marker name='N'>b</marker>c", 28, ""},
        {"", 0, 0, "cmdPic", "<img image='N" + pic, 41, ""},
        {"abcdef", 2, 2, "cmdPic", "ab<img image='N" + pic + "cdef", 45, "cd"},
        {"line\nend", 8, 0, "cmdPic", "line\r\nend<img image='N" + pic, 49, ""},
        {lines, 148, 3, "cmdMarker", longStored, 177, ""},
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
      const int scrolled = d.box(box)->verticalScrollBar()->value();
      d.click(c.button);
      QCOMPARE(d.box(box)->verticalScrollBar()->value(), scrolled);
      QCOMPARE(d.box(box)->textCursor().position(), c.cursor);
      QCOMPARE(d.box(box)->textCursor().selectedText(), c.selection);
      const QStringList& texts = page ? d.window.noteText : d.window.taskText;
      QCOMPARE(texts[0], QString()); // in the box only, until stored back
      d.selectRow(page ? "lstNotes" : "lstTasks", 1);
      QCOMPARE(texts[0], c.stored);
      d.selectRow(page ? "lstNotes" : "lstTasks", 0);
      QCOMPARE(d.window.boxText(d.box(box)), c.stored); // loaded back as stored
    }
    // Undo: with the tag in the box, one Ctrl+Z gives back the typed text.
    for (const auto& c : cases) {
      if (c.stored == c.typed)
        continue; // nothing was inserted
      EditorDriver d;
      d.create("first");
      d.create("second");
      d.type("txtTasks", c.typed);
      d.selectText("txtTasks", c.start, c.length);
      d.dialogs.answerInput(QStringLiteral("N"));
      d.click(c.button);
      QTest::keyClick(d.box("txtTasks"), Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(d.boxShows("txtTasks"), c.typed);
      d.selectRow("lstTasks", 1); // stored as undone
      QCOMPARE(d.window.taskText[0], QString(c.typed).replace(QLatin1String("\n"), QLatin1String("\r\n")));
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
    ed->addEntries("lstTasks", {"Task", "Task 2"});
    ed->click("cmdCurTask");
    ed->click("cmdSide");
    ed->showPage(1);
    ed->addEntries("lstNotes", {"Note", "Note 2"});
    ed->window.setWindowTitle("Quillfort - somewhere.sqf");
    ed->confirm("cmdClear", MsgAnswer::Yes);
    QCOMPARE((QList<int>{ed->window.taskSlotCount, ed->window.noteSlotCount, ed->window.lastTaskIndex,
                         ed->window.lastNoteIndex}),
             (QList<int>{0, 0, 0, 0}));
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
  }

  // Exit with unsaved work asks nothing, closes the window and, as it is the
  // last one, ends the program's event loop.
  void exitEndsTheProgram() {
    ed->addEntries("lstTasks", {"Unsaved"});
    QVERIFY(qApp->quitOnLastWindowClosed() && ed->window.isVisible());
    QTimer::singleShot(0, &ed->window, [this] { ed->click("cmdCancel"); });
    QTimer stuck; // a loop that does not end fails the test instead of hanging it
    stuck.callOnTimeout([] { QCoreApplication::exit(1); });
    stuck.start(20000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!ed->window.isVisible());
  }

  // A new entry starts empty, whatever Clear or Open left in the text arrays.
  void createdEntriesStartEmpty_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("script"); // opened instead of Clear when given
    QTest::newRow("tasks after Clear") << 0 << "";
    QTest::newRow("notes after Clear") << 1 << "";
    QTest::newRow("tasks after opening notes") << 0 << "read_notes_only.sqf";
    QTest::newRow("notes after opening tasks") << 1 << "tasks_only_civilian.sqf";
  }
  void createdEntriesStartEmpty() {
    QFETCH(int, page);
    QFETCH(QString, script);
    const char* list = page ? "lstNotes" : "lstTasks";
    const char* box = page ? "txtNotes" : "txtTasks";
    ed->showPage(page);
    ed->addEntries(list, {"A", "B", "C"});
    if (script.isEmpty())
      ed->confirm("cmdClear", MsgAnswer::Yes);
    else
      ed->open(QUILLFORT_TEST_DATA "/" + script);
    ed->showPage(page);
    for (const char* title : {"X", "Y", "Z"})
      ed->create(title);
    QStringList shown;
    for (int row : {2, 1, 0}) {
      ed->selectRow(list, row);
      shown << ed->boxShows(box);
    }
    QCOMPARE(shown, (QStringList{"", "", ""}));
  }

  // A user's click on the selected entry stores the box and loads it back, so
  // a move right after keeps the typing; a click on another row stores and
  // loads once.
  void clickOnSelectedEntryStoresTheBox() {
    for (int page : {0, 1}) {
      EditorDriver d;
      d.showPage(page);
      const char *list = page ? "lstNotes" : "lstTasks", *box = page ? "txtNotes" : "txtTasks";
      const QStringList& texts = page ? d.window.noteText : d.window.taskText;
      d.addEntries(list, {"A", "B"});
      d.type(box, " typed");
      d.selectRow(list, 1);
      QCOMPARE(d.boxShows(box), QStringLiteral("b text typed"));
      d.click("cmdUp"); // stores nothing itself
      QCOMPARE(texts, (QStringList{"a text", "b text typed"}));
      QSignalSpy loads(d.box(box), &QPlainTextEdit::textChanged);
      d.selectRow(list, 1);
      QCOMPARE(d.boxShows(box), QStringLiteral("a text"));
      QCOMPARE(loads.count(), 1);
    }
  }

  // cmdCurTask follows the task list on either page, as entries come and go.
  void curTaskEnabledFollowsTheTasks() {
    const struct {
      const char* step;
      bool enabled;
    } steps[] = {{"notes page", false},
                 {"create", false},
                 {"tasks page", false},
                 {"create", true},
                 {"notes page", true},
                 {"delete", true},
                 {"tasks page", true},
                 {"delete", false},
                 {"create", true},
                 {"clear", false},
                 {"create", true},
                 {"open read_notes_only.sqf", false},
                 {"open tasks_only_civilian.sqf", true},
                 {"open read_notes_only.sqf", false}};
    QStringList seen, expected;
    for (const auto& s : steps) {
      const QString step = QLatin1String(s.step);
      if (step.endsWith(" page"))
        ed->showPage(step.startsWith("notes"));
      else if (step == "create")
        ed->create("E");
      else if (step == "delete")
        ed->confirm("cmdDel", MsgAnswer::Yes);
      else if (step == "clear")
        ed->confirm("cmdClear", MsgAnswer::Yes);
      else
        ed->open(QUILLFORT_TEST_DATA "/" + step.mid(5));
      seen << step + (ed->button("cmdCurTask")->isEnabled() ? " on" : " off");
      expected << step + (s.enabled ? " on" : " off");
    }
    QCOMPARE(seen, expected);
  }

  // The folder of the chosen file becomes the next dialog's folder; the
  // caption shows the file name as it is.
  void chosenFileFolderAndCaption_data() {
    QTest::addColumn<QString>("path"); // %1 a temporary folder, where a script is put
    QTest::addColumn<QString>("folder");
#ifdef Q_OS_WIN
    QTest::newRow("root of a drive") << "C:\\quillfort-none.sqf"
                                     << "C:";
    QTest::newRow("either separator") << "%1/sub\\x.sqf"
                                      << "%1/sub";
#else
    QTest::newRow("root folder") << "/quillfort-none.sqf"
                                 << "/";
    QTest::newRow("backslash in a name") << "%1/back\\slash.sqf"
                                         << "%1";
    QTest::newRow("[*] in a name") << "%1/brief[*]ing.sqf"
                                   << "%1";
#endif
  }
  void chosenFileFolderAndCaption() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    const bool exists = path.contains("%1");
    path.replace("%1", dir.path());
    folder.replace("%1", dir.path());
    if (exists)
      QVERIFY(QDir().mkpath(folder) && QFile::copy(QUILLFORT_TEST_DATA "/worked_example.sqf", path));
    ed->open(path, !exists);
    QCOMPARE(ed->window.appPath, folder);
    QCOMPARE(ed->window.windowHandle()->title(),
             exists ? "Quillfort - " + path : QStringLiteral("Quillfort"));
    ed->dialogs.cancelOpen();
    ed->click("cmdOpen");
    QCOMPARE(ed->lastAsked().settings.initDir, folder);
  }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
