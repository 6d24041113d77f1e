// The editor window driven as a user drives it: its controls where they
// belong, the editing commands by real clicks, keys and typing with the
// dialogs answered as each row says; its About dialog, and its colours under
// light and dark themes.
#include "FakeRegistry.h"
#include "gui/platform/ProcessLauncher.h"
#include "support/EditorDriver.h"

#include <cmath>


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

  void check() {
    QFETCH(Row, row);
    ed->check(row);
  }

private slots:
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

  // Create, rename and the current task; selecting an entry stores the box
  // it leaves and loads the one it shows, a page switch stores nothing; every
  // question answered Cancel or No changes nothing.
  void createAndRename_data() {
    const QString spent = "No more %1s can be created: this briefing has used all 32767 %1 numbers.\r\n"
                          "Save it and open it again to renumber its %1s. [64]";
    addRows({
        {"create: the first task selected, later ones keep the selection",
         {{{"page Tasks"},
           {.tasks = "", .current = "", .side = "WEST", .enabled = "", .counts = "0 0 0 0", .caption = "Quillfort"}},
          {{"create Recon"}, {.tasks = "Recon0*", .box = "", .enabled = "cmdEdit cmdDel cmdCurTask txtTasks"}},
          {{"type look first", "create \"  \"", "create Recon"},
           {.tasks = "Recon0*,   1, Recon2", .box = "look first", .counts = "3 0 0 0"}}}},
        {"create, Cancel", {{{"create Entry", "cancel", "click cmdAdd"},
                             {.tasks = "Entry0*", .asked = "Create Task: Enter the task to create: [0] / "
                                                           "Create Task: Enter the task to create: [0]"}}}},
        {"create a note, Cancel", {{{"page Notes", "cancel", "click cmdAdd"},
                                    {.notes = "", .asked = "Create Note: Enter the note to create: [0]"}}}},
        {"the last task slot", {{{"slots 32766", "create A"}, {.tasks = "A32766*", .counts = "32767 32766 0 0"}},
                                {{"ok", "click cmdAdd"}, {.tasks = "A32766*", .asked = "Create Task: " +
                                                                                          spent.arg("task")}}}},
        {"the last note slot", {{{"page Notes", "slots 32766", "create A", "ok", "click cmdAdd"},
                                 {.notes = "A32766*", .asked = "Create Note: Enter the note to create: [0] / "
                                                               "Create Note: " + spent.arg("note")}}}},
        {"rename, Cancel", {{{"create Entry", "cancel", "click cmdEdit"},
                             {.tasks = "Entry0*", .asked = "Create Task: Enter the task to create: [0] / "
                                                           "Edit Task: Edit the selected task: [0]"}}}},
        {"rename a note, the same title", {{{"page Notes", "create Entry", "rename Entry"}, {.notes = "Entry0*"}}}},
        {"current task set, replaced, reset, from the notes page",
         {{{"add A,B", "pick 0", "click cmdCurTask"}, {.current = "A"}},
          {{"pick 1", "click cmdCurTask"}, {.current = "B"}},
          {{"click cmdCurTask"}, {.current = ""}},
          {{"pick 0", "page Notes", "click cmdCurTask"}, {.current = "A", .page = "Notes"}}}},
        {"rename moves the label by title",
         {{{"add Recon,Recon", "pick 0", "click cmdCurTask", "pick 1", "rename Recon in force"},
           {.tasks = "Recon0, Recon in force1*", .box = "recon text", .current = "Recon in force"}}}},
        {"rename another task", {{{"add A,B", "pick 0", "click cmdCurTask", "pick 1", "rename C"},
                                  {.tasks = "A0, C1*", .current = "A"}}}},
        {"rename a note of the current title",
         {{{"add T", "click cmdCurTask", "page Notes", "create T", "rename W"}, {.notes = "W0*", .current = "T"}}}},
        {"side: four presses round", {{{"click cmdSide", "click cmdSide", "click cmdSide"}, {.side = "CIVILIAN"}},
                                      {{"click cmdSide"}, {.side = "WEST"}}}},
        {"a page switch keeps the typing, a selection stores it",
         {{{"add A,B,B", "type \"\nline 2\"", "page Notes", "page Tasks"},
           {.box = "b text\nline 2", .taskText = "a text | b text | "}},
          {{"pick 1"}, {.box = "b text", .taskText = "a text | b text | b text\r\nline 2"}},
          {{"pick 2"}, {.box = "b text\nline 2"}}}},
        {"a click on the selected task stores it", {{{"add A,B", "type \" typed\"", "pick 1", "click cmdUp"},
                                                     {.taskText = "a text | b text typed"}}}},
        {"a Ctrl+click keeps the selection", {{{"page Notes", "create N", "ctrl-pick 0"}, {.notes = "N0*"}}}},
        {"what screen readers hear",
         {{{"page Tasks"}, {.heard = "Quillfort | Side: WEST | Current task: none"}},
          {{"create Take the bridge", "click cmdCurTask"},
           {.heard = "Quillfort | Side: WEST | Current task: Take the bridge"}},
          {{"rename Hold the ford"}, {.heard = "Quillfort | Side: WEST | Current task: Hold the ford"}}}},
    });
  }
  void createAndRename() { check(); }

  // Delete asks first; a neighbour is selected, slots are never reused and
  // the label goes by title. Moving carries the slot and stores nothing.
  void deleteAndMove_data() {
    const QString delNote = "Delete Note: Delete the selected note? [36]";
    addRows({
        {"delete the first", {{{"page Notes", "add A,B,C", "pick 0", "type \" (gone)\"", "yes", "click cmdDel",
                                "create D"},
                               {.notes = "B1*, C2, D3", .box = "b text"}}}},
        {"delete the middle", {{{"page Notes", "add A,B,C", "pick 1", "type \" (gone)\"", "yes", "click cmdDel",
                                 "create D"},
                                {.notes = "A0, C2*, D3", .box = "c text"}}}},
        {"delete the last", {{{"page Notes", "add A,B,C", "pick 2", "yes", "click cmdDel", "create D"},
                              {.notes = "A0, B1*, D3", .box = "b text"}}}},
        {"delete, No", {{{"page Notes", "add A"}, {}}, {{"no", "click cmdDel"}, {.notes = "A0*", .asked = delNote}}}},
        {"delete a task, No", {{{"add A"}, {}},
                               {{"no", "click cmdDel"},
                                {.tasks = "A0*", .asked = "Delete Task: Delete the selected task? [36]"}}}},
        {"delete another case, then the same title",
         {{{"add Extract,extract,Extract", "pick 0", "click cmdCurTask", "pick 1", "yes", "click cmdDel"},
           {.tasks = "Extract0, Extract2*", .current = "Extract"}},
          {{"yes", "click cmdDel"}, {.tasks = "Extract0*", .current = ""}}}},
        {"delete the only task", {{{"add A", "yes", "click cmdDel"},
                                   {.tasks = "", .box = "", .enabled = "", .counts = "1 0 0 0"}}}},
        {"delete the only note", {{{"add T", "page Notes", "create N", "yes", "click cmdDel"},
                                   {.notes = "", .enabled = "cmdCurTask txtTasks", .counts = "1 1 0 0"}}}},
        {"move past the ends", {{{"add A,B,C", "click cmdDown", "type +", "pick 0", "click cmdUp"},
                                 {.tasks = "A0*, B1, C2", .taskText = "a text | b text | c text+"}}}},
        {"move up: the slot travels, the box is not stored",
         {{{"add A,B,C", "type +", "pick 0", "pick 2", "click cmdCurTask", "type \" unsaved\"", "click cmdUp"},
           {.tasks = "A0, C2*, B1", .box = "c text+", .current = "C", .taskText = "a text | b text | c text+"}}}},
        {"clear asks, No", {{{"add A"}, {}},
                            {{"no", "click cmdClear"},
                             {.tasks = "A0*", .asked = "Clear Quillfort: All data in the work area will be lost!\r\n\r\n"
                                       "Are you sure? [20]"}}}},
        {"clear: the start again, the side kept",
         {{{"add Task,Task 2", "click cmdCurTask", "click cmdSide", "page Notes", "add Note,Note 2", "yes",
            "click cmdClear"},
           {.tasks = "", .notes = "", .box = "", .current = "", .side = "EAST", .page = "Tasks", .enabled = "", .counts = "0 0 0 0"}}}},
        {"new entries after clear start empty",
         {{{"add A,B,C", "page Notes", "add A,B,C", "yes", "click cmdClear", "create X", "create Y", "create Z",
            "pick 2", "pick 1", "page Notes", "create X", "create Y", "create Z", "pick 2", "pick 1"},
           {.box = "", .taskText = " |  | ", .noteText = " |  | "}}}},
    });
  }
  void deleteAndMove() { check(); }

  // Each insertion is one edit of the box, which leaves the cursor after it
  // and the box scrolled where it was; one Ctrl+Z takes it back whole. The
  // text reaches the entry's slot when the box is stored.
  void markerAndPicture_data() {
    const QString img = "<img image='N' width='200' height='200'/>";
    QStringList lines; // 40 lines: the box scrolls to show a selection near the end
    for (int i = 0; i < 40; ++i)
      lines << QStringLiteral("l%1").arg(i, 2, 10, QLatin1Char('0'));
    addRows({
        {"marker around a selection",
         {{{"create A", "type go to the bridge now", "select 10 6"}, {.box = "go to the bridge now"}},
          {{"enter N", "click cmdMarker"},
           {.box = "go to the <marker name='N'>bridge</marker> now", .cursor = "42", .taskText = ""}},
          {{"undo"}, {.box = "go to the bridge now"}},
          {{"redo", "pick 0"}, {.taskText = "go to the <marker name='N'>bridge</marker> now"}}}},
        {"marker across a line",
         {{{"page Notes", "create A", "type \"north\nriver\"", "select 6 5", "enter N", "click cmdMarker"},
           {.box = "north\n<marker name='N'>river</marker>", .cursor = "37"}},
          {{"pick 0"}, {.noteText = "north\r\n<marker name='N'>river</marker>"}}}},
        {"marker with nothing selected", {{{"create A", "type text", "select 2 0"}, {}},
                                          {{"ok", "click cmdMarker"},
                                           {.box = "text", .cursor = "2", .asked = "Insert Marker: Highlight the text to be used as marker "
                                                     "link [64]"}}}},
        {"marker name, Cancel", {{{"page Notes", "create A", "type ab", "select 0 1"}, {}},
                                 {{"cancel", "click cmdMarker"},
                                  {.box = "ab", .cursor = "1 a", .asked = "Insert Marker: Enter a marker name: [0]"}}}},
        {"marker of one character", {{{"page Notes", "create A", "type abc", "select 1 1", "enter N",
                                       "click cmdMarker"},
                                      {.box = "a<marker name='N'>b</marker>c", .cursor = "28"}}}},
        {"picture into an empty box",
         {{{"page Notes", "create A", "enter N", "click cmdPic"}, {.box = img, .cursor = "41"}},
          {{"undo"}, {.box = ""}},
          {{"redo", "pick 0"}, {.noteText = img}}}},
        {"picture before a selection", {{{"create A", "type abcdef", "select 2 2", "enter N", "click cmdPic"},
                                         {.box = "ab" + img + "cdef", .cursor = "45 cd"}}}},
        {"picture at the end",
         {{{"page Notes", "create A", "type \"line\nend\"", "select 8 0", "enter N", "click cmdPic"},
           {.box = "line\nend" + img, .cursor = "49"}},
          {{"pick 0"}, {.noteText = "line\r\nend" + img}}}},
        {"picture, Cancel", {{{"page Notes", "create A"}, {}},
                             {{"cancel", "click cmdPic"},
                              {.notes = "A0*", .asked = "Insert Picture: Enter a picture file name: [0]"}}}},
        {"marker far down",
         {{{"create A", "type \"" + lines.join('\n') + "\"", "select 148 3"}, {.cursor = "151 l37"}},
          {{"enter N", "click cmdMarker"}, {.cursor = "177", .scroll = "kept"}},
          {{"pick 0"}, {.taskText = lines.join("\r\n").replace("l37", "<marker name='N'>l37</marker>")}}}},
        {"nothing on an empty page", {{{"page Notes", "click cmdMarker", "click cmdPic"}, {.notes = "", .asked = ""}}}},
    });
  }
  void markerAndPicture() { check(); }

  // A key presses a button: its dialog or its change follows.
  void keys_data() {
    addRows({
        {"Return on Open", {{{"create T", "file open cancel", "key cmdOpen Return"}, {.side = "WEST"}}}},
        {"Enter on Side", {{{"create T", "key cmdSide Num+Enter"}, {.side = "EAST"}}}},
        {"Return on Save", {{{"create T", "file save cancel", "key cmdOK Return"}, {.side = "WEST"}}}},
        {"Ctrl+S in a text box", {{{"create T", "file save cancel", "key txtTasks Ctrl+S"}, {.box = ""}}}},
        {"Ctrl+O in a list", {{{"create T", "file open cancel", "key lstTasks Ctrl+O"}, {.box = ""}}}},
        {"Ctrl+O on Side", {{{"create T", "file open cancel", "key cmdSide Ctrl+O"}, {.box = ""}}}},
        {"Return in a text box", {{{"create T", "key txtTasks Return"}, {.box = "\n"}}}},
        {"Alt+C creates", {{{"enter T", "key lstTasks Alt+C", "wait"}, {.tasks = "T0*"}}}},
    });
  }
  void keys() { check(); }

  // Every command with one list empty and the other not, on each page: which
  // of cmdEdit, cmdDel, cmdCurTask, txtTasks and txtNotes are enabled after it.
  void enabledStates_data() {
    const QString tasks = "cmdEdit cmdDel cmdCurTask txtTasks", notes = "cmdEdit cmdDel txtNotes";
    const struct {
      const char* command;      // where the page shown has entries
      const char* onEmptyPage;  // where it has none (a disabled button asks nothing)
      QString tasksOnlyOnTasksPage, tasksOnlyOnNotesPage, notesOnlyOnTasksPage, notesOnlyOnNotesPage;
    } commands[] = {
        {"page Tasks", "page Tasks", tasks, tasks, "txtNotes", "txtNotes"},
        {"page Notes", "page Notes", "cmdCurTask txtTasks", "cmdCurTask txtTasks", notes, notes},
        {"create X", "create X", tasks, "cmdEdit cmdDel cmdCurTask txtTasks txtNotes",
         "cmdEdit cmdDel cmdCurTask txtTasks txtNotes", notes},
        {"rename X", "click cmdEdit", tasks, "cmdCurTask txtTasks", "txtNotes", notes},
        {"click cmdSide", "click cmdSide", tasks, "cmdCurTask txtTasks", "txtNotes", notes},
        {"yes; click cmdDel", "click cmdDel", "", "cmdCurTask txtTasks", "txtNotes", ""},
        {"yes; click cmdClear", "yes; click cmdClear", "", "", "", ""},
    };
    QTest::addColumn<Row>("row");
    for (const auto& c : commands)
      for (int i = 0; i < 4; ++i) {
        const bool tasksOnly = i < 2, tasksPage = i % 2 == 0;
        const QString name = QStringLiteral("%1, %2 only, %3 page")
                                 .arg(c.command, tasksOnly ? "tasks" : "notes", tasksPage ? "Tasks" : "Notes");
        QStringList steps = tasksOnly ? QStringList{"create T"} : QStringList{"page Notes", "create N"};
        steps << (tasksPage ? "page Tasks" : "page Notes")
              << QString(tasksOnly == tasksPage ? c.command : c.onEmptyPage).split("; ");
        const QString on[] = {c.tasksOnlyOnTasksPage, c.tasksOnlyOnNotesPage, c.notesOnlyOnTasksPage,
                              c.notesOnlyOnNotesPage};
        QTest::newRow(qPrintable(name)) << Row{"", {{steps, {.enabled = on[i]}}}};
      }
  }
  void enabledStates() { check(); }

  // A click on another row than the selected one stores and loads once.
  void clickOnAnotherRowLoadsOnce() {
    ed->run("add A,B");
    QSignalSpy loads(ed->box("txtTasks"), &QPlainTextEdit::textChanged);
    ed->run("pick 0");
    QCOMPARE(ed->shown({.box = ""}).join("") + " loaded " + QString::number(loads.count()), "box: a text loaded 1");
  }

  // Exit with unsaved work asks nothing, closes the window and, as it is the
  // last one, ends the program's event loop.
  void exitEndsTheProgram() {
    ed->run("add Unsaved");
    QVERIFY(qApp->quitOnLastWindowClosed() && ed->window.isVisible());
    QTimer::singleShot(0, &ed->window, [this] { ed->run("click cmdCancel"); });
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
          tool.startsWith("C:\\Gone") ? "|Quillfort: System Information Is Unavailable At This Time [0]" : "";
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
      ed->run("click cmdAbout");
      QCOMPARE(seen,
               (QStringList{"About Quillfort modal", "picIcon QLabel  32x32 sharp",
                            "lblTitle QLabel Quillfort ", "lblVersion QLabel Version 1.0.0 ",
                            "lblDescription QLabel credit ", "lblDisclaimer QLabel credit ",
                            "Line1 QFrame  #808080", "Line2 QFrame  #ffffff", "cmdOK QPushButton OK default",
                            "cmdSysInfo QPushButton &System Info... ", "open", "closed"}));
      QCOMPARE(launcher.started.join('|') + (said.isEmpty() ? "" : '|' + ed->shown({.asked = ""}).join("").mid(7)), tool + said);
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
        ed->run("create Take the bridge");
        ed->run("click cmdCurTask");
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
        QCOMPARE(texts.size(), 22); // the window's 14 and the 8 added beside them
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
