// The editor window driven as a user drives it: real buttons, real boxes,
// scripted answers to the input and message boxes; its About dialog, and its
// colours under light and dark themes.
#include "FakeRegistry.h"
#include "gui/platform/ProcessLauncher.h"
#include "support/EditorDriver.h"

#include <cmath>

#include <unistd.h>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#endif

#ifdef QUILLFORT_TWO_PIXELS_PER_POINT
// The same tests with every screen drawing at two pixels per point, set before
// the application starts.
static void scaleByTwo() { qputenv("QT_SCALE_FACTOR", "2"); }
Q_CONSTRUCTOR_FUNCTION(scaleByTwo)
#endif

namespace {
// WCAG 2 contrast of two colours: 1 (same) to 21 (black on white).
double contrast(QColor a, QColor b) {
  const auto lum = [](QColor c) {
    const auto ch = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF()) + 0.05;
  };
  return std::max(lum(a), lum(b)) / std::min(lum(a), lum(b));
}

// Starts anything but what lies under C:\Gone.
struct FakeLauncher final : ProcessLauncher {
  QStringList started;
  bool start(const QString& path) override {
    started << path;
    return !path.startsWith("C:\\Gone\\");
  }
};

} // namespace

class tst_editor : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;

  QTemporaryDir scripts;
  std::pair<int, int> m_pipeEnds{-1, -1}; // a named pipe among the scripts, held open at both ends

private slots:
  void initTestCase() {
#ifdef Q_OS_WIN
    const char* names[] = {"sub/x.sqf"};
#else
    const char* names[] = {"back\\slash.sqf", "brief[*]ing.sqf"};
#endif
    for (const char* name : names)
      QVERIFY(QDir().mkpath(scripts.filePath("sub")) &&
              QFile::copy(QUILLFORT_TEST_DATA "/worked_example.sqf", scripts.filePath(name)));
    for (const char* name : {"mission1", "mission2", "mission3", "mission4"}) // older, longer scripts
      QVERIFY(QFile::copy(QUILLFORT_TEST_DATA "/old_briefing.sqf", scripts.filePath(name)));
    QFile huge(scripts.filePath("huge.sqf")); // refused before it is read; sparse, it takes no room
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(4) << 30));
#ifndef Q_OS_WIN
    // Held open at both ends, the pipe cannot keep an open command that reads
    // it waiting: that one would find it empty and not say it is a pipe.
    const QByteArray pipe = QFile::encodeName(scripts.filePath("pipe"));
    QVERIFY(::mkfifo(pipe.constData(), 0644) == 0 && QFile::link(pipe, scripts.filePath("link.sqf")));
    m_pipeEnds = {::open(pipe.constData(), O_RDONLY | O_NONBLOCK),
                  ::open(pipe.constData(), O_WRONLY | O_NONBLOCK)};
    QVERIFY(m_pipeEnds.first >= 0 && m_pipeEnds.second >= 0);
#endif
  }
  void cleanupTestCase() {
    for (const int end : {m_pipeEnds.first, m_pipeEnds.second}) // none on Windows
      end < 0 || ::close(end);
  }
  void init() { ed.reset(new EditorDriver); }
  void cleanup() {
    Registry::setInstance(nullptr);
    ProcessLauncher::setInstance(nullptr);
    QCOMPARE(ed->dialogs.pending(), 0);
  }

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
      const QString name = row.simplified().section(' ', 0, 0), kind = row.simplified().section(' ', 1, 1),
                    tab = row.section('|', 4, 4).trimmed();
      QWidget* w = ed->window.findChild<QWidget*>(name);
      QVERIFY2(w, qPrintable(name));
      const QFont f = w->font();
      const QString font =
          f == ed->window.font()
              ? "default"
              : QStringLiteral("%1 %2%3").arg(f.family()).arg(f.pointSizeF()).arg(f.bold() ? " bold" : "");
      const QStringList shown{
          name + ' ' + (w->inherits(qPrintable(kind)) ? kind : w->metaObject()->className()) + ' ' +
              w->parentWidget()->objectName(),
          qobject_cast<QListWidget*>(w) ? ed->titles(qPrintable(name)).join(',')
                                        : w->property("text").toString() + w->property("title").toString(),
          w->toolTip(),
          QStringLiteral("%1 %2 %3 %4")
              .arg(w->x() * 15)
              .arg(w->y() * 15)
              .arg(w->width() * 15)
              .arg(w->height() * 15),
          tab,
          font};
      QCOMPARE(shown.join(" | ").simplified(), row.simplified());
      if (w->focusPolicy() & Qt::TabFocus)
        byTab[tab.toInt()] = name;
    }
    QStringList chain;
    for (QWidget* w = ed->window.nextInFocusChain(); w != &ed->window; w = w->nextInFocusChain())
      if (byTab.values().contains(w->objectName()))
        chain << w->objectName();
    const qsizetype first = chain.indexOf(byTab.first());
    QCOMPARE(chain.mid(first) + chain.mid(0, first), byTab.values());
    QCOMPARE(ed->button("cmdAbout")->iconSize(), QSize(32, 32));
    // The icons hold pictures for the screen's pixels per point.
    QVERIFY(
        ed->window.windowIcon().availableSizes().contains(QSize(64, 64) * qApp->devicePixelRatio()) &&
        ed->button("cmdAbout")->icon().availableSizes().contains(QSize(32, 32) * qApp->devicePixelRatio()));
    QCOMPARE(ed->window.size(), QSize(1101, 621));
    QVERIFY(!(ed->window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(ed->window.appPath, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  }

  // The window draws the map picture at its natural size, clipped to the
  // window, pixel for pixel, also when only part of it is to be repainted;
  // at two pixels per point it draws the @2x picture.
  void backgroundIsTheMapPicture() {
    const qreal scale = qApp->devicePixelRatio();
    const QImage map =
        QImage(scale > 1 ? ":/background@2x.png" : ":/background.png").convertToFormat(QImage::Format_RGB32);
    for (const QRect& part : {ed->window.rect(), QRect(517, 33, 250, 70), QRect(1100, 0, 1, 621),
                              QRect(0, 620, 1101, 1), QRect(99, 99, 3, 3)}) {
      QImage drawn(part.size() * scale, QImage::Format_RGB32); // the part is drawn at 0, 0
      drawn.setDevicePixelRatio(scale);
      drawn.fill(Qt::black);
      ed->window.render(&drawn, QPoint(), QRegion(part), QWidget::DrawWindowBackground);
      QCOMPARE(drawn, map.copy(QRect(part.topLeft() * scale, part.size() * scale)));
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
    const auto row = [](const QString& name, const QString& steps, const QString& shown) {
      QTest::newRow(qPrintable(name)) << steps << shown;
    };
    // clang-format off
    // Every question, answered Cancel or No: nothing changes.
    const QString both = " | T:Entry0* | N:Entry0* | on:cmdEdit cmdDel cmdCurTask txtTasks txtNotes";
    row("asks: create task", "new Entry; no cmdAdd", "asked:Enter the task to create:|Create Task|0| | T:Entry0*");
    row("asks: create note", "notes; new Entry; no cmdAdd", "asked:Enter the note to create:|Create Note|0| | N:Entry0* | on:cmdEdit cmdDel txtNotes");
    row("asks: edit task", "new Entry; no cmdEdit", "asked:Edit the selected task:|Edit Task|0|Entry | T:Entry0*");
    row("asks: edit note", "notes; new Entry; no cmdEdit", "asked:Edit the selected note:|Edit Note|0|Entry | N:Entry0*");
    row("asks: delete task", "new Entry; notes; new Entry; tasks; no cmdDel", "asked:Delete the selected task?|Delete Task|36|" + both);
    row("asks: delete note", "new Entry; notes; new Entry; no cmdDel", "asked:Delete the selected note?|Delete Note|36|" + both);
    row("asks: marker hint", "new Entry; no cmdMarker", "asked:Highlight the text to be used as marker link|Insert Marker|64| | T:Entry0*");
    row("asks: marker name", "notes; new Entry; type ab; sel 0 1; no cmdMarker", "asked:Enter a marker name:|Insert Marker|0| | box:ab | cursor:1 a");
    row("asks: picture", "notes; new Entry; no cmdPic", "asked:Enter a picture file name:|Insert Picture|0| | N:Entry0*");
    row("asks: clear", "new Entry; notes; new Entry; no cmdClear", "asked:All data in the work area will be lost!\r\n\r\nAre you sure?|Clear Quillfort|20|" + both);
    // The last slot is handed out; past it the window says so and asks nothing.
    const QString spent = "No more %1s can be created: this briefing has used all 32767 %1 numbers.\r\nSave it and open it again to renumber its %1s.|Create %2|64|";
    row("the last task slot", "slots 32766; new A >> ok cmdAdd", "T:A32766* | counts:32767,32766,0,0 >> asked:" + spent.arg("task", "Task") + " | T:A32766*");
    row("the last note slot", "notes; slots 32766; new A >> ok cmdAdd", "N:A32766* | counts:32766,32767,0,0 >> asked:" + spent.arg("note", "Note") + " | N:A32766*");
    // Create, rename, current task, side.
    row("first task selected, later ones keep the selection", "tasks >> new Recon >> type look first; new   ; new Recon; new ",
        "caption:Quillfort | page:Tasks | T: | N: | on: | cur: | side:WEST | counts:0,0,0,0 >> T:Recon0* | box: | on:cmdEdit cmdDel cmdCurTask txtTasks >> "
        "T:Recon0*,  1,Recon2 | box:look first | counts:3,0,0,0");
    row("current task set, replaced, reset, from the notes page", "add A,B; pick 0; cur >> pick 1; cur >> cur >> pick 0; notes; cur", "cur:A >> cur:B >> cur: >> cur:A | page:Notes");
    row("rename moves the label by title", "add Recon,Recon; pick 0; cur; pick 1; rename Recon in force", "cur:Recon in force | T:Recon0,Recon in force1* | box:recon text");
    row("rename another task", "add A,B; pick 0; cur; pick 1; rename C", "cur:A | T:A0,C1*");
    row("rename a note of the current title", "add T; cur; notes; new T; rename W", "cur:T | N:W0*");
    row("side", "side; side; side >> side", "side:CIVILIAN >> side:WEST");
    // Selection stores the outgoing box, then loads; a page switch stores nothing.
    row("page switch keeps the typing, selection stores it", "add A,B,B; type \nline 2; notes; tasks >> pick 1 >> pick 2",
        "taskText:a text,b text, | box:b text\nline 2 >> taskText:a text,b text,b text\r\nline 2 | box:b text >> box:b text\nline 2");
    row("click on the selected task", "add A,B; type  typed; pick 1; up", "taskText:a text,b text typed");
    row("click on the selected note", "notes; add A,B; type  typed; pick 1; down", "noteText:a text,b text typed | N:A0,B1*");
    row("a Ctrl+click keeps the selection", "notes; new N; unpick 0", "N:N0*");
    // Delete: a neighbour is selected, slots are never reused, the label goes by title.
    row("delete the first", "notes; add A,B,C; pick 0; type  (gone); del; new D", "N:B1*,C2,D3 | box:b text");
    row("delete the middle", "notes; add A,B,C; pick 1; type  (gone); del; new D", "N:A0,C2*,D3 | box:c text");
    row("delete the last", "notes; add A,B,C; pick 2; type  (gone); del; new D", "N:A0,B1*,D3 | box:b text");
    row("delete another case, then the same title", "add Extract,extract,Extract; pick 0; cur; pick 1; del >> del", "cur:Extract | T:Extract0,Extract2* >> cur: | T:Extract0*");
    row("delete the only task", "add A; del", "T: | box: | on: | counts:1,0,0,0");
    row("delete the only note", "add T; notes; new N; del", "N: | on:cmdCurTask txtTasks | counts:1,1,0,0");
    // Move: the slot travels, the box is not stored, nothing moves past the ends.
    row("move past the ends", "add A,B,C; down; type +; pick 0; up", "T:A0*,B1,C2 | taskText:a text,b text,c text+");
    row("move up", "add A,B,C; type +; pick 0; pick 2; cur; type  unsaved; up", "T:A0,C2*,B1 | box:c text+ | taskText:a text,b text,c text+ | cur:C");
    // Clear and open start afresh; new entries start empty whatever the slots held.
    row("clear", "add Task,Task 2; cur; side; notes; add Note,Note 2; clear", "page:Tasks | T: | N: | box: | on: | cur: | side:EAST | counts:0,0,0,0");
    row("clear names no file", open + "worked_example.sqf; clear", "caption:Quillfort");
    const QString xyz = QStringLiteral("new X; new Y; new Z; pick 2; pick 1");
    row("new entries after clear", "add A,B,C; notes; add A,B,C; clear; " + xyz + "; notes; " + xyz, "box: | taskText:,, | noteText:,,");
    row("open notes only, tasks only, notes only", "add T; " + open + "read_notes_only.sqf >> " + open + "tasks_only_civilian.sqf >> " + open + "read_notes_only.sqf",
        "on:txtNotes >> on:cmdEdit cmdDel cmdCurTask txtTasks >> on:txtNotes");
    // The chosen file's folder is the next dialog's (%1 a folder of scripts);
    // the caption names the file as it is.
#ifdef Q_OS_WIN
    row("a file in the root of C:", "badopen C:\\quillfort-none.sqf", "path:C: | caption:Quillfort");
    row("a folder in the name", "open %1/sub\\x.sqf", "path:%1/sub | caption:Quillfort - %1/sub\\x.sqf");
#else
    row("a file in the root folder", "badopen /quillfort-none.sqf", "path:/ | caption:Quillfort");
    row("a backslash in the name", "open %1/back\\slash.sqf", "path:%1 | caption:Quillfort - %1/back\\slash.sqf");
    row("[*] in the name", "open %1/brief[*]ing.sqf", "path:%1 | caption:Quillfort - %1/brief[*]ing.sqf");
#endif
    // What screen readers hear; the captions on screen stay bare.
    row("heard", "tasks >> side >> press cmdSide >> new Take the bridge; cur >> rename Hold the ford >> cur",
        "heard:Quillfort|Side: WEST|Current task: none >> heard:Quillfort|Side: EAST|Current task: none >> "
        "heard:Quillfort|Side: RESISTANCE|Current task: none >> heard:Quillfort|Side: RESISTANCE|Current task: Take the bridge >> "
        "heard:Quillfort|Side: RESISTANCE|Current task: Hold the ford >> heard:Quillfort|Side: RESISTANCE|Current task: none");
    // A key presses a button: its dialog or its change follows.
    row("Return on Open", "new T; expect open; key cmdOpen Return", "side:WEST | box:");
    row("Enter on Side", "new T; key cmdSide Num+Enter", "side:EAST | box:");
    row("Return on Save", "new T; expect save; key cmdOK Return", "side:WEST | box:");
    row("Ctrl+S in a text box", "new T; expect save; key txtTasks Ctrl+S", "side:WEST | box:");
    row("Ctrl+O in a list", "new T; expect open; key lstTasks Ctrl+O", "side:WEST | box:");
    row("Ctrl+O on Side", "new T; expect open; key cmdSide Ctrl+O", "side:WEST | box:");
    row("Return in a text box", "new T; key txtTasks Return", "side:WEST | box:\n");
    const QString app = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()), filter = "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*";
    // A file dialog that cannot come up ends the command quietly: no message, nothing changed.
    row("the save dialog fails", "add Hold; fail save; click cmdOK", "T:Hold0* | box:hold text | asked:save|cancel error|" + app + "|2050||" + filter);
    row("the open dialog fails", "add Hold; fail open; click cmdOpen", "T:Hold0* | box:hold text | asked:open|cancel error|" + app + "|4||" + filter);
    // Saved over a longer script whose name has no extension, each entry
    // with its own text in list order, what is still in a box included, also
    // when the other list is empty; the chosen folder is the next dialog's, a
    // cancelled dialog's is not.
    row("save: nothing to save", "ok cmdOK", "asked:Nothing to save!|Save Briefing|0|");
    row("save: Cancel", "add A; expect save; click cmdOK", "path:" + app + " | asked:save|cancel error|" + app + "|2050||" + filter);
    row("save: the typed line still in the box", "add Take the bridge,Hold the town; cur; side; notes; add Intel; type \nLine two; save %1/mission1", "saved:saved_by_clicks.sqf | path:%1");
    // A's text stays behind, unreachable; the last note's typing is still in the box.
    row("save: after edits", "add A,B,C; pick 1; rename Bravo; pick 0; del; pick 1; cur; up; notes; add N1,N2; type , still in the box; save %1/mission2", "saved:editor_after_edits.sqf");
    row("save: notes only", "notes; new First; new Second; pick 1; type Radio silence.; save %1/mission3", "saved:notes_only_west.sqf");
    row("save: tasks only", "new Evacuate; type Leave by boat.; side; side; side; save %1/mission4", "saved:tasks_only_civilian.sqf");
    // Each insertion is one edit of the box, which leaves the cursor after it
    // and the box scrolled where it was; one Ctrl+Z takes it back whole. The
    // text reaches the entry's slot when the box is stored.
    const QString img = "<img image='N' width='200' height='200'/>";
    row("marker around a selection", "new A; type go to the bridge now; sel 10 6 >> marker N >> undo >> redo; pick 0",
        "box:go to the bridge now >> box:go to the <marker name='N'>bridge</marker> now | cursor:42 | taskText: >> box:go to the bridge now >> "
        "taskText:go to the <marker name='N'>bridge</marker> now");
    row("marker across a line", "notes; new A; type north\nriver; sel 6 5; marker N >> pick 0", "box:north\n<marker name='N'>river</marker> | cursor:37 >> noteText:north\r\n<marker name='N'>river</marker>");
    row("marker with no selection", "new A; type text; sel 2 0; marker N", "asked:Highlight the text to be used as marker link|Insert Marker|64| | box:text | cursor:2");
    row("marker of one character", "notes; new A; type abc; sel 1 1; marker N", "box:a<marker name='N'>b</marker>c | cursor:28");
    row("picture into an empty box", "notes; new A; pic N >> undo >> redo; pick 0", "box:" + img + " | cursor:41 >> box: >> noteText:" + img);
    row("picture before a selection", "new A; type abcdef; sel 2 2; pic N", "box:ab" + img + "cdef | cursor:45 cd");
    row("picture at the end", "notes; new A; type line\nend; sel 8 0; pic N >> pick 0", "box:line\nend" + img + " | cursor:49 >> noteText:line\r\nend" + img);
    QStringList lines; // 40 lines: the box scrolls to show a selection near the end
    for (int i = 0; i < 40; ++i)
      lines << QStringLiteral("l%1").arg(i, 2, 10, QLatin1Char('0'));
    row("marker far down", "new A; type " + lines.join('\n') + "; sel 148 3 >> marker N >> pick 0",
        "cursor:151 l37 >> scroll:kept | cursor:177 >> taskText:" + lines.join("\r\n").replace("l37", "<marker name='N'>l37</marker>"));
    // A saved briefing comes back: quotes, script text, a typed "<br/>", two
    // tasks of one title and a moved task, so that slots and list positions
    // differ before the save; picking row 1 stores the typed text, a move would
    // not. Opened, slots are list positions, each list on its first entry, the
    // counters the list lengths. The next dialog starts in the file's folder,
    // and Cancel there changes nothing.
    const QString back = "N:Diary\",[\"Intel0*,Weather1 | T:Take \"the\" hill0*,Hold1,Hold2 | cur:Hold | side:WEST | on:cmdEdit cmdDel cmdCurTask txtTasks txtNotes | caption:Quillfort - %1/briefing.sqf | path:%1 | "
                         "taskText:take \"the\" hill text,hold text\r\n\r\ncreateSimpleTask [\"x\"];,hold text | noteText:diary\",[\"intel text,weather text | counts:3,2,0,0 | page:Tasks | boxes:take \"the\" hill text,diary\",[\"intel text";
    row("saved, opened, Cancel", "add Take \"the\" hill,Hold,Hold; type \n<br/>createSimpleTask [\"x\"];; cur; pick 1; down; notes; new Diary\",[\"Intel; pick 0; type diary\",[\"intel text; add Weather; save %1/briefing.sqf; side; open %1/briefing.sqf >> expect open; click cmdOpen",
        back + " >> " + back + " | asked:open|cancel error|%1|4||" + filter);
    // A title or a finding chosen in the preview selects its entry as a click
    // in the editor would: the outgoing box stored, the incoming loaded, the
    // page switched; a finding also puts the cursor at its place.
    const QString choose = "add Take,Hold; type \nfish & chips; notes; add Intel; type  <img image='gone.jpg'/>; preview; choose ";
    row("preview: a title chosen", choose + "lstPreviewTasks 0", "page:Tasks | T:Take0*,Hold1 | box:take text | taskText:take text,hold text\r\nfish & chips | boxes:take text,intel text <img image='gone.jpg'/>");
    row("preview: a finding chosen", choose + "lstFindings 1", "page:Tasks | T:Take0,Hold1* | box:hold text\nfish & chips | cursor:15 | boxes:hold text\nfish & chips,intel text <img image='gone.jpg'/>");
    // Several sides: WEST, EAST and the game master's written with the keys,
    // saved, cleared, opened and found again, each save the writer's bytes;
    // the side button passes over sides that hold a briefing; copying to a
    // side that holds one asks first.
    const QString three = "add Hold; key cmdSide Ctrl+2; notes; add Intel; key cmdSide Ctrl+5; add Watch; cur",
                  two = "add Ambush; key cmdSide Ctrl+3; notes; add Town; side", copied = two + "; side; answer Yes; key cmdSide Ctrl+Shift+1",
                  reopened = three + "; save %1/a.sqf; clear; open %1/a.sqf", saved = " | saved:sides_three_by_keys.sqf",
                  none = " | T: | N: | cur: | boxes:,", watch = " | T:Watch0* | N: | cur:Watch | boxes:watch text,", town = " | T: | N:Town0* | cur: | boxes:,town text";
    const auto at = [](const QString& side, const QString& caption) { return "side:" + side + " | caption:Quillfort" + caption + " [" + side + "]"; };
    row("sides: WEST aside", "add Hold; key cmdSide Ctrl+2", at("EAST", "") + none);
    row("sides: three", three, at("LOGIC", "") + watch);
    row("sides: clear takes all", three + "; save %1/a.sqf; clear; key cmdSide Ctrl+2", "side:EAST | caption:Quillfort" + none + saved);
    row("sides: opened, WEST", reopened, at("WEST", " - %1/a.sqf") + " | T:Hold0* | N: | cur: | boxes:hold text," + saved);
    row("sides: opened, EAST", reopened + "; key cmdSide Ctrl+2", at("EAST", " - %1/a.sqf") + " | T: | N:Intel0* | cur: | boxes:,intel text");
    row("sides: opened, LOGIC, saved again", reopened + "; key cmdSide Ctrl+5; save %1/b.sqf", at("LOGIC", " - %1/a.sqf") + watch + saved);
    row("sides: to CIVILIAN", two, at("CIVILIAN", "") + town);
    row("sides: past WEST", two + "; side", at("EAST", "") + town);
    row("sides: copy asks, No", two + "; side; answer No; key cmdSide Ctrl+Shift+1", at("EAST", "") + town + " | asked:The briefing of WEST holds 0 notes and 1 task.\r\n\r\nReplace it with a copy of this briefing?|Copy Briefing|36|");
    row("sides: copy, Yes", copied, at("WEST", "") + town);
    row("sides: copy keeps", copied + "; key cmdSide Ctrl+2", at("EAST", "") + town);
    row("sides: every side held", copied + "; key cmdSide Ctrl+2; key cmdSide Ctrl+Shift+3; key cmdSide Ctrl+Shift+4; ok cmdSide",
        at("CIVILIAN", "") + town + " | asked:Every other side holds a briefing of its own.\r\n\r\nPick a side's briefing with Ctrl+1 to Ctrl+5 to edit it.|Toggle side|64|");
    // A failed open leaves an empty work area (EAST was the script's before)
    // and a caption naming no file, the next dialog in the file's folder; a
    // pipe or device ends in the box before anything is read, and never holds
    // the window. %N is the folder of scripts and a separator in the system's own form.
    const QString data = QStringLiteral(QUILLFORT_TEST_DATA), before = open + "read_before.sqf; ", failed = "N: | T: | cur: | side:EAST | on: | caption:Quillfort | path:%1 | asked:The following error has occured:\r\nErr # ",
                  opened = " | caption:Quillfort - " + data + "/", tasksOn = " | on:cmdEdit cmdDel cmdCurTask txtTasks";
    row("open: missing", before + "badopen %1/read_none.sqf", failed + "53 - File not found: %Nread_none.sqf|Open Error|16|");
    row("open: 4 GiB", before + "badopen %1/huge.sqf", failed + "57 - Device I/O error: the file %Nhuge.sqf could not be read (it is larger than 16 MiB, more than any briefing)|Open Error|16|");
    row("open: too long", before + "bad" + open + "read_tasks_past_32767.sqf", "N:First0*,Second1 | T: | cur: | side:EAST | on:txtNotes | caption:Quillfort | asked:The following error has occured:\r\nErr # 6 - Overflow: a task record lies past byte 32767 of the script|Open Error|16|");
    row("open: lower-case side", before + open + "read_lowercase_side.sqf", "N: | T:T0* | cur:T | side:EAST" + tasksOn + opened + "read_lowercase_side.sqf | path:" + data);
    row("open: current past tasks", before + open + "read_current_past_tasks.sqf", "N: | T:T0* | cur: | side:CIVILIAN" + tasksOn + opened + "read_current_past_tasks.sqf");
    row("open: notes only", before + open + "read_notes_only.sqf", "N:N0* | T: | cur: | side:WEST | on:txtNotes" + opened + "read_notes_only.sqf");
#ifndef Q_OS_WIN
    row("open: named pipe", before + "badopen %1/pipe", failed + "75 - Path/File access error: %Npipe is a named pipe, not a regular file|Open Error|16|");
    row("open: link to a named pipe", before + "badopen %1/link.sqf", failed + "75 - Path/File access error: %Nlink.sqf is a named pipe, not a regular file|Open Error|16|");
    row("open: character device", before + "badopen /dev/null", QString(failed).replace("%1", "/dev") + "75 - Path/File access error: /dev/null is a character device, not a regular file|Open Error|16|");
#else
    // Windows keeps named pipes out of folders (\\.\pipe\), where no dialog
    // reaches; its devices are names in every folder, never read.
    row("open: device NUL", before + "badopen %1/NUL", failed + "53 - File not found: %NNUL|Open Error|16|");
#endif
    // The file named on the command line, here relative to the current
    // folder, opens as the same file chosen in the Open dialog does; no file, nothing.
    row("command line: no file", "argv", "caption:Quillfort | T: | N:");
    row("command line: a file", "argv " + QDir::current().relativeFilePath(data + "/worked_example.sqf"),
        "caption:Quillfort - " + QDir::toNativeSeparators(data + "/worked_example.sqf") + " | N:Intel0* | T:Take the bridge0*,Hold the town1 | cur:Hold the town | side:EAST | path:" + QDir::toNativeSeparators(data));
    // clang-format off
    // Every command with one list empty and the other not, on each page: which
    // of cmdEdit (E), cmdDel (D), cmdCurTask (C), txtTasks (T) and txtNotes (N)
    // are enabled afterwards, every other control enabled throughout.
    const char* const enabled[][5] = {
        // command                          tasks only: Tasks page, Notes page; notes only: Tasks page, Notes page
        {"tasks",                             "EDCT", "EDCT",  "N",     "N"},
        {"notes",                             "CT",   "CT",    "EDN",   "EDN"},
        {"new X",                             "EDCT", "EDCTN", "EDCTN", "EDN"},
        {"rename X",                          "EDCT", "CT",    "N",     "EDN"},
        {"cur",                               "EDCT", "CT",    "N",     "EDN"},
        {"side",                              "EDCT", "CT",    "N",     "EDN"},
        {"up; down",                          "EDCT", "CT",    "N",     "EDN"},
        {"type ab; sel 0 1; marker m; pic p", "EDCT", "CT",    "N",     "EDN"},
        {"del",                               "",     "CT",    "N",     ""},
        {"clear",                             "",     "",      "",      ""},
    };
    // clang-format on

    for (const auto& command : enabled)
      for (int i = 1; i < 5; ++i) {
        QStringList on; // each named by its fourth letter
        for (const QString name : {"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"})
          if (QString(command[i]).contains(name[3]))
            on << name;
        row(QStringLiteral("enabled: %1, %2 only, %3 page")
                .arg(command[0], i < 3 ? "tasks" : "notes", i % 2 ? "Tasks" : "Notes"),
            QStringLiteral("%1; %2; %3")
                .arg(i < 3 ? "new T" : "notes; new N", i % 2 ? "tasks" : "notes", command[0]),
            "on:" + on.join(' '));
      }
  }
  void commands() {
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    ed->check(steps, shown, scripts.path());
  }

  // A click on another row than the selected one stores and loads once.
  void clickOnAnotherRowLoadsOnce() {
    ed->run("add A,B");
    QSignalSpy loads(ed->box("txtTasks"), &QPlainTextEdit::textChanged);
    ed->run("pick 0");
    QCOMPARE(ed->state("box") + " " + QString::number(loads.count()), "box:a text 1");
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

  // What the dialog shows, each control as kind, text (a credit's wording is
  // free: it must say something) and its picture's size, line colour or
  // default button; then what was started and said (a tool that does not
  // start), and whether the dialog was still open after each click.
  void aboutBox() {
    FakeRegistry registry;
    FakeLauncher launcher;
    Registry::setInstance(&registry);
    ProcessLauncher::setInstance(&launcher);
    for (const QString tool : {"C:\\Tools\\msinfo.exe", "C:\\Gone\\msinfo.exe"}) { // started; does not start
      registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {RegCode::RegSz,
                                                                            tool.toStdString() + '\0'};
      const QString said =
          tool.startsWith("C:\\Gone") ? "|Quillfort|0|System Information Is Unavailable At This Time" : "";
      if (!said.isEmpty())
        ed->dialogs.answerMessage(MsgAnswer::OK);
      QStringList seen;
      QTimer::singleShot(0, &ed->window, [&] { // runs inside the dialog's own event loop
        QWidget* about = QApplication::activeModalWidget();
        QVERIFY(about);
        seen << about->windowTitle() + (about->windowModality() == Qt::ApplicationModal ? " modal" : "") +
                    (about->parentWidget() ? " owned" : "") +
                    (about->windowIcon().availableSizes().contains(QSize(64, 64) * qApp->devicePixelRatio())
                         ? ""
                         : " without its sharp icon");
        for (const char* name : {"picIcon", "lblTitle", "lblVersion", "lblDescription", "lblDisclaimer",
                                 "Line1", "Line2", "cmdOK", "cmdSysInfo"}) {
          auto* w = about->findChild<QWidget*>(name);
          QVERIFY2(w && w->parentWidget() == about && about->rect().contains(w->geometry()), name);
          const QString text = w->property("text").toString();
          const auto* label = qobject_cast<QLabel*>(w);
          // The picture, in points, and whether it is the file for the screen's pixels per point.
          const QPixmap pic = label ? label->pixmap() : QPixmap();
          const QString file = qApp->devicePixelRatio() > 1 ? ":/about@2x.png" : ":/about.png";
          const bool sharp = pic.toImage().convertToFormat(QImage::Format_ARGB32) ==
                             QImage(file).convertToFormat(QImage::Format_ARGB32);
          const QString detail = !pic.isNull() ? QStringLiteral("%1x%2 %3")
                                                     .arg(pic.deviceIndependentSize().width())
                                                     .arg(pic.deviceIndependentSize().height())
                                                     .arg(sharp ? "sharp" : "not its file")
                                 : w->inherits("QPushButton")
                                     ? (w->property("default").toBool() ? "default" : "")
                                 : !label ? w->palette().color(QPalette::Window).name()
                                          : "";
          seen << QStringList{name, w->metaObject()->className(), text.size() > 40 ? "credit" : text, detail}
                      .join(' ');
        }
        for (const char* name : {"cmdSysInfo", "cmdOK"}) {
          QTest::mouseClick(about->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
          seen << (about->isVisible() ? "open" : "closed");
        }
        about->close();
      });
      launcher.started.clear();
      ed->click("cmdAbout");
      QCOMPARE(seen,
               (QStringList{"About Quillfort modal", "picIcon QLabel  32x32 sharp",
                            "lblTitle QLabel Quillfort ", "lblVersion QLabel Version 1.0.0 ",
                            "lblDescription QLabel credit ", "lblDisclaimer QLabel credit ",
                            "Line1 QFrame  #808080", "Line2 QFrame  #ffffff", "cmdOK QPushButton OK default",
                            "cmdSysInfo QPushButton &System Info... ", "open", "closed"}));
      QCOMPARE(launcher.started.join('|') + (said.isEmpty() ? "" : '|' + ed->lastBox()), tool + said);
    }
  }

  // Every caption keeps 4.5:1 against the picture under it and its button
  // face, under light and dark themes, under both styles. Last: it changes
  // the application's style.
  void textContrast() {
    QPalette darkDesktop(QColor(53, 53, 53), QColor(45, 45, 45));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
      darkDesktop.setColor(role, QColor(240, 240, 240));
    for (const char* style : {"Fusion", "Windows"})
      for (const int dark : {0, 1, 2}) { // light, dark before the window opens, dark while it is open
        QApplication::setStyle(style);
        QApplication::setPalette(dark == 1 ? darkDesktop : QApplication::style()->standardPalette());
        ed.reset(new EditorDriver);
        ed->run("new Take the bridge; cur");
        if (dark == 2) {
          QApplication::setPalette(darkDesktop); // the desktop's theme changes under the open window
          QCoreApplication::processEvents();
        }
        QImage picture(ed->window.size(), QImage::Format_RGB32); // the window's own drawing, no controls
        ed->window.render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        QList<QWidget*> texts{ed->window.findChild<QLabel*>(QStringLiteral("lblCurTask"))};
        for (QPushButton* b : ed->window.findChildren<QPushButton*>())
          if (!b->text().isEmpty())
            texts.append(b);
        QCOMPARE(texts.size(), 21); // the window's 14 and the 7 added beside them
        for (QWidget* w : texts) {
          const QColor ink = w->palette().color(QPalette::Active, w->foregroundRole());
          double worst =
              qobject_cast<QPushButton*>(w) ? contrast(ink, w->palette().color(QPalette::Button)) : 21;
          const QRect area(w->mapTo(&ed->window, QPoint(0, 0)), w->size());
          for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
              worst = std::min(worst, contrast(ink, picture.pixelColor(x, y)));
          QVERIFY2(
              worst >= 4.5,
              qPrintable(
                  QStringLiteral("%1 %2 %3: %4:1").arg(style).arg(dark).arg(w->objectName()).arg(worst)));
        }
      }
  }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
