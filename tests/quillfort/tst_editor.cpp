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

class tst_editor : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

  // Every control against the window's control table: positions in twips, 15
  // to a pixel, inside the control's parent; then Tab's way by tab index, the
  // window's size and the first folder offered.
  void fixedLayout() {
    // name kind parent | caption (list items joined by ",") | tooltip | left top width height | tab | font
    const QString table = QStringLiteral(R"(
      Frame1 QGroupBox frmBriefing | | | 0 -120 16575 735 | 18 | default
      cmdCurTask QPushButton Frame1 | Current &Task | Set/reset the selected task as current | 120 240 1935 375 | 9 | MS Sans Serif 9.75
      lblCurTask QLabel Frame1 | | | 2280 240 9135 375 | 19 | MS Sans Serif 12 bold
      cmdAbout QPushButton Frame1 | | About | 13800 240 615 375 | 20 | default
      cmdSide QPushButton Frame1 | WEST | Toggle side | 14520 240 1935 375 | 10 | MS Sans Serif 9.75 bold
      lstBriefing QListWidget frmBriefing | Tasks,Notes | | 120 600 1095 660 | 0 | MS Sans Serif 12 bold
      lstTasks QListWidget frmBriefing | | | 1320 600 4215 2760 | 17 | MS Sans Serif 12 bold
      lstNotes QListWidget frmBriefing | | | 1320 600 4215 2760 | 16 | MS Sans Serif 12 bold
      txtTasks QPlainTextEdit frmBriefing | | | 5640 600 10815 3255 | 15 | MS Sans Serif 12 bold
      txtNotes QPlainTextEdit frmBriefing | | | 5640 600 10815 3255 | 13 | MS Sans Serif 12 bold
      cmdUp QPushButton frmBriefing | Up | Move task/note up | 1320 3480 1935 375 | 11 | default
      cmdDown QPushButton frmBriefing | Down | Move task/note down | 3600 3480 1935 375 | 12 | default
      Frame2 QGroupBox frmBriefing | | | 0 8760 16575 615 | 14 | default
      cmdAdd QPushButton Frame2 | &Create | Create task/note | 120 120 1335 375 | 1 | MS Sans Serif 9.75
      cmdEdit QPushButton Frame2 | &Edit | Edit selected task/note | 1560 120 1335 375 | 2 | MS Sans Serif 9.75
      cmdDel QPushButton Frame2 | &Delete | Delete selected task/note | 3000 120 1335 375 | 3 | MS Sans Serif 9.75
      cmdMarker QPushButton Frame2 | Insert &Marker | Insert marker at cursor position | 5760 120 1815 375 | 4 | MS Sans Serif 9.75
      cmdPic QPushButton Frame2 | Insert &Picture | Insert picture at cursor position | 7680 120 1815 375 | 5 | MS Sans Serif 9.75
      cmdOpen QPushButton Frame2 | &Open | Open a briefing file | 10800 120 1335 375 | 6 | MS Sans Serif 9.75
      cmdOK QPushButton Frame2 | &Save | Save current briefing file | 12240 120 1335 375 | 7 | MS Sans Serif 9.75
      cmdClear QPushButton Frame2 | Clear | Start a new briefing: empty the work area | 13680 120 1335 375 | 21 | MS Sans Serif 9.75
      cmdCancel QPushButton Frame2 | E&xit | Be sure to save your work before closing | 15120 120 1335 375 | 8 | MS Sans Serif 9.75
    )");
    QMap<int, QString> byTab; // the controls that take the focus
    for (const QString& row : table.trimmed().split(QLatin1Char('\n'))) {
      const QString name = row.simplified().section(' ', 0, 0), kind = row.simplified().section(' ', 1, 1);
      QWidget* w = ed->window.findChild<QWidget*>(name);
      QVERIFY2(w, qPrintable(name));
      QStringList items{w->property("text").toString() + w->property("title").toString()};
      if (auto* list = qobject_cast<QListWidget*>(w))
        for (int i = 0; i < list->count(); ++i)
          items << list->item(i)->text();
      const QFont f = w->font();
      QString at; // left top width height, in twips
      for (int v : {w->x(), w->y(), w->width(), w->height()})
        at += QString::number(v * 15) + ' ';
      QCOMPARE(QStringLiteral("%1 %2 %3 | %4 | %5 | %6 | %7 | %8")
                   .arg(name, w->inherits(qPrintable(kind)) ? kind : w->metaObject()->className(),
                        w->parentWidget()->objectName(), items.join(',').mid(items.size() > 1), w->toolTip(),
                        at, row.section('|', 4, 4),
                        f == ed->window.font()
                            ? QStringLiteral("default")
                            : QStringLiteral("%1 %2%3").arg(f.family(), QString::number(f.pointSizeF()),
                                                            f.bold() ? QStringLiteral(" bold") : QString()))
                   .simplified(),
               row.simplified());
      if (w->focusPolicy() & Qt::TabFocus)
        byTab[row.section('|', 4, 4).trimmed().toInt()] = name;
    }
    QStringList chain;
    for (QWidget* w = ed->window.nextInFocusChain(); w != &ed->window; w = w->nextInFocusChain())
      if (byTab.values().contains(w->objectName()))
        chain << w->objectName();
    const qsizetype first = chain.indexOf(byTab.first());
    QCOMPARE(chain.mid(first) + chain.mid(0, first), byTab.values());
    QCOMPARE(ed->button("cmdAbout")->iconSize(), QSize(32, 32)); // the icon itself: tst_highdpi
    QCOMPARE(ed->window.size(), QSize(1101, 621));
    QVERIFY(!(ed->window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(ed->window.appPath, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  }

  // The window draws the map picture at its natural size, clipped to the
  // window, pixel for pixel, also when only part of it is to be repainted.
  void backgroundIsTheMapPicture() {
    const QImage map = QImage(QStringLiteral(":/background.png")).convertToFormat(QImage::Format_RGB32);
    for (const QRect& part : {ed->window.rect(), QRect(517, 33, 250, 70), QRect(1100, 0, 1, 621),
                              QRect(0, 620, 1101, 1), QRect(99, 99, 3, 3)}) {
      QImage drawn(part.size(), QImage::Format_RGB32); // the part is drawn at 0, 0
      drawn.fill(Qt::black);
      ed->window.render(&drawn, QPoint(), QRegion(part), QWidget::DrawWindowBackground);
      QCOMPARE(drawn, map.copy(part));
    }
  }

  // The commands as a user gives them (the steps of EditorDriver::run), and
  // what the window shows afterwards; " >> " parts the stages of a row, each
  // checked as it ends. "add" gives each entry the text "<title> text" in
  // lower case; T and N list title, slot and "*" on the selected entry.
  void commands_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("shown");
    const QString open = QStringLiteral("open " QUILLFORT_TEST_DATA "/");
    const auto row = [](const char* name, const QString& steps, const QString& shown) {
      QTest::newRow(name) << steps << shown;
    };
    // Every question, answered Cancel or No: nothing changes.
    const QString both = " | T:Entry0* | N:Entry0*";
    row("asks: create task", "new Entry; no cmdAdd",
        "asked:Enter the task to create:|Create Task|0| | T:Entry0*");
    row("asks: create note", "notes; new Entry; no cmdAdd",
        "asked:Enter the note to create:|Create Note|0| | N:Entry0*");
    row("asks: edit task", "new Entry; no cmdEdit",
        "asked:Edit the selected task:|Edit Task|0|Entry | T:Entry0*");
    row("asks: edit note", "notes; new Entry; no cmdEdit",
        "asked:Edit the selected note:|Edit Note|0|Entry | N:Entry0*");
    row("asks: delete task", "new Entry; notes; new Entry; tasks; no cmdDel",
        "asked:Delete the selected task?|Delete Task|36|" + both);
    row("asks: delete note", "new Entry; notes; new Entry; no cmdDel",
        "asked:Delete the selected note?|Delete Note|36|" + both);
    row("asks: marker", "new Entry; no cmdMarker",
        "asked:Highlight the text to be used as marker link|Insert Marker|64| | T:Entry0*");
    row("asks: picture", "notes; new Entry; no cmdPic",
        "asked:Enter a picture file name:|Insert Picture|0| | N:Entry0*");
    row("asks: clear", "new Entry; notes; new Entry; no cmdClear",
        "asked:All data in the work area will be lost!\r\n\r\nAre you sure?|Clear Quillfort|20|" + both);
    // Create, rename, current task, side.
    row("first task selected, later ones keep the selection",
        "tasks >> new Recon >> type look first; new   ; new Recon; new ",
        "caption:Quillfort | page:Tasks | T: | N: | on: | cur: | side:WEST | counts:0,0,0,0 >> "
        "T:Recon0* | box: | on:cmdEdit cmdDel cmdCurTask txtTasks >> "
        "T:Recon0*,  1,Recon2 | box:look first | counts:3,0,0,0");
    row("first note", "notes; new N", "N:N0* | on:cmdEdit cmdDel txtNotes");
    row("current task set, replaced, reset, from the notes page",
        "add A,B; pick 0; cur >> pick 1; cur >> cur >> pick 0; notes; cur",
        "cur:A >> cur:B >> cur: >> cur:A | page:Notes");
    row("rename moves the label by title", "add Recon,Recon; pick 0; cur; pick 1; rename Recon in force",
        "cur:Recon in force | T:Recon0,Recon in force1* | box:recon text");
    row("rename another task", "add A,B; pick 0; cur; pick 1; rename C", "cur:A | T:A0,C1*");
    row("rename a note of the current title", "add T; cur; notes; new T; rename W", "cur:T | N:W0*");
    row("side", "side; side; side >> side", "side:CIVILIAN >> side:WEST");
    // Selection stores the outgoing box, then loads; a page switch stores nothing.
    row("page switch keeps the typing, selection stores it",
        "add A,B,B; type \nline 2; notes; tasks >> pick 1 >> pick 2",
        "taskText:a text,b text, | box:b text\nline 2 >> "
        "taskText:a text,b text,b text\r\nline 2 | box:b text >> box:b text\nline 2");
    row("click on the selected task", "add A,B; type  typed; pick 1; up", "taskText:a text,b text typed");
    row("click on the selected note", "notes; add A,B; type  typed; pick 1; down",
        "noteText:a text,b text typed | N:A0,B1*");
    // Delete: a neighbour is selected, slots are never reused, the label goes by title.
    row("delete the first", "notes; add A,B,C; pick 0; type  (gone); del; new D", "N:B1*,C2,D3 | box:b text");
    row("delete the middle", "notes; add A,B,C; pick 1; type  (gone); del; new D",
        "N:A0,C2*,D3 | box:c text");
    row("delete the last", "notes; add A,B,C; pick 2; type  (gone); del; new D", "N:A0,B1*,D3 | box:b text");
    row("delete another case, then the same title",
        "add Extract,extract,Extract; pick 0; cur; pick 1; del >> del",
        "cur:Extract | T:Extract0,Extract2* >> cur: | T:Extract0*");
    row("delete the only task", "add A; del", "T: | box: | on: | counts:1,0,0,0");
    row("delete the only note", "add T; notes; new N; del", "N: | on:cmdCurTask txtTasks | counts:1,1,0,0");
    // Move: the slot travels, the box is not stored, nothing moves past the ends.
    row("move past the ends", "add A,B,C; down; type +; pick 0; up",
        "T:A0*,B1,C2 | taskText:a text,b text,c text+");
    row("move up", "add A,B,C; type +; pick 0; pick 2; cur; type  unsaved; up",
        "T:A0,C2*,B1 | box:c text+ | taskText:a text,b text,c text+ | cur:C");
    // Clear and open start afresh; new entries start empty whatever the slots held.
    row("clear", "add Task,Task 2; cur; side; notes; add Note,Note 2; clear",
        "page:Tasks | T: | N: | box: | on: | cur: | side:EAST | counts:0,0,0,0");
    row("clear names no file", open + "worked_example.sqf; clear", "caption:Quillfort");
    const QString xyz = QStringLiteral("new X; new Y; new Z; pick 2; pick 1");
    row("new entries after clear", "add A,B,C; notes; add A,B,C; clear; " + xyz + "; notes; " + xyz,
        "box: | taskText:,, | noteText:,,");
    // cmdCurTask follows the tasks on either page.
    row("notes only, then tasks", "notes; new N; tasks >> new T; notes",
        "on:txtNotes >> on:cmdEdit cmdDel cmdCurTask txtTasks txtNotes");
    row("open notes only, tasks only, notes only",
        "add T; " + open + "read_notes_only.sqf >> " + open + "tasks_only_civilian.sqf >> " + open +
            "read_notes_only.sqf",
        "on:txtNotes >> on:cmdEdit cmdDel cmdCurTask txtTasks >> on:txtNotes");
  }
  void commands() {
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    const QStringList stages = steps.split(" >> "), checks = shown.split(" >> ");
    QCOMPARE(stages.size(), checks.size());
    for (qsizetype i = 0; i < stages.size(); ++i) {
      ed->run(stages[i]);
      QCOMPARE(ed->state(checks[i]), checks[i]);
    }
  }

  // Each insertion is one edit of the box: the text as the table says, the
  // cursor where the edit leaves it, the scroll position kept; one Ctrl+Z
  // takes back exactly the insertion, and redoing it stores it as before.
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
      const char* step;  // of EditorDriver::run
      QString stored;    // the entry's text once stored back
      int cursor;        // where the box's cursor is afterwards
      QString selection; // and what it selects
    } cases[] = {
        {"go to the bridge now", 10, 6, "marker N", "go to the <marker name='N'>bridge</marker> now", 42, ""},
        {"north\nriver", 6, 5, "marker N", "north\r\n<marker name='N'>river</marker>", 37, ""},
        {"text", 2, 0, "marker", "text", 2, ""}, // no selection: a hint, no question
        {"abc", 1, 1, "marker N", "a<marker name='N'>b</marker>c", 28, ""},
        {"", 0, 0, "pic N", "<img image='N" + pic, 41, ""},
        {"abcdef", 2, 2, "pic N", "ab<img image='N" + pic + "cdef", 45, "cd"},
        {"line\nend", 8, 0, "pic N", "line\r\nend<img image='N" + pic, 49, ""},
        {lines, 148, 3, "marker N", longStored, 177, ""},
    };
    int page = 0;
    for (const auto& c : cases) {
      page = 1 - page; // both pages, in turn
      EditorDriver d;
      const char* box = page ? "txtNotes" : "txtTasks";
      d.run(QStringLiteral("%1; new first; new second; type %2; sel %3 %4")
                .arg(page ? "notes" : "tasks", c.typed, QString::number(c.start), QString::number(c.length)));
      const int scrolled = d.box(box)->verticalScrollBar()->value();
      d.run(c.step);
      QCOMPARE(d.box(box)->verticalScrollBar()->value(), scrolled);
      QCOMPARE(d.box(box)->textCursor().position(), c.cursor);
      QCOMPARE(d.box(box)->textCursor().selectedText(), c.selection);
      if (c.stored != c.typed) { // something was inserted
        QTest::keyClick(d.box(box), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(d.boxShows(box), c.typed);
        QTest::keyClick(d.box(box), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
      }
      const QStringList& texts = page ? d.window.noteText : d.window.taskText;
      QCOMPARE(texts[0], QString()); // in the box only, until stored back
      d.run("pick 1");
      QCOMPARE(texts[0], c.stored);
      d.run("pick 0");
      QCOMPARE(d.window.boxText(d.box(box)), c.stored); // loaded back as stored
    }
  }

  // A click on another row than the selected one stores and loads once.
  void clickOnAnotherRowLoadsOnce() {
    ed->run("add A,B");
    QSignalSpy loads(ed->box("txtTasks"), &QPlainTextEdit::textChanged);
    ed->run("pick 0");
    QCOMPARE(ed->state("box") + " " + QString::number(loads.count()), "box:a text 1");
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
    ed->run("notes; new N"); // the selection cannot be taken away: Ctrl+click keeps it
    QListWidget* notes = ed->list("lstNotes");
    QTest::mouseClick(notes->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      notes->visualItemRect(notes->item(0)).center());
    QVERIFY(notes->item(0)->isSelected());
  }

  void saveAfterEditsWritesEachEntryWithItsText() {
    // A's text stays behind, unreachable; the last note's typing is still in the box.
    ed->run("add A,B,C; pick 1; rename Bravo; pick 0; del; pick 1; cur; up; notes; add N1,N2; type , still "
            "in the box");
    QTemporaryDir dir;
    ed->dialogs.answerSave(dir.filePath(QStringLiteral("edited.sqf")));
    ed->click("cmdOK");
    QCOMPARE(readFile(dir.filePath("edited.sqf")), readFile(QUILLFORT_TEST_DATA "/editor_after_edits.sqf"));
  }

  // Exit with unsaved work asks nothing, closes the window and, as it is the
  // last one, ends the program's event loop.
  void exitEndsTheProgram() {
    ed->run("add Unsaved");
    QVERIFY(qApp->quitOnLastWindowClosed() && ed->window.isVisible());
    QTimer::singleShot(0, &ed->window, [this] { ed->click("cmdCancel"); });
    QTimer stuck; // a loop that does not end fails the test instead of hanging it
    stuck.callOnTimeout([] { QCoreApplication::exit(1); });
    stuck.start(20000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!ed->window.isVisible());
  }

  // The folder of the chosen file becomes the next dialog's folder; the
  // caption shows the file name as it is.
  void chosenFileFolderAndCaption() {
    // "path|folder", %1 a temporary folder, where a script is put
#ifdef Q_OS_WIN
    for (QString row : {"C:\\quillfort-none.sqf|C:", "%1/sub\\x.sqf|%1/sub"}) {
#else
    for (QString row : {"/quillfort-none.sqf|/", "%1/back\\slash.sqf|%1", "%1/brief[*]ing.sqf|%1"}) {
#endif
      ed.reset(new EditorDriver);
      QTemporaryDir dir;
      const bool exists = row.contains("%1");
      row.replace("%1", dir.path());
      const QString path = row.section('|', 0, 0), folder = row.section('|', 1);
      if (exists)
        QVERIFY(QDir().mkpath(folder) && QFile::copy(QUILLFORT_TEST_DATA "/worked_example.sqf", path));
      ed->open(path, !exists);
      ed->dialogs.answerOpen({});
      ed->click("cmdOpen");
      QCOMPARE(QStringList({ed->window.appPath, ed->window.windowHandle()->title(),
                            ed->lastAsked().settings.initDir}),
               QStringList({folder, exists ? "Quillfort - " + path : QStringLiteral("Quillfort"), folder}));
    }
  }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
