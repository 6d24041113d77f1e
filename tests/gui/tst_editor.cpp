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
    // name kind parent | caption (list items joined by ",") | tooltip | left top width height | tab
    const QString table = QStringLiteral(R"(
Frame1 QGroupBox frmBriefing | | | 0 -120 16575 735 | 18
cmdCurTask QPushButton Frame1 | Current &Task | Set/reset the selected task as current | 120 240 1935 375 | 9
lblCurTask QLabel Frame1 | | | 2280 240 9135 375 | 19
cmdAbout QPushButton Frame1 | | About | 13800 240 615 375 | 20
cmdSide QPushButton Frame1 | WEST | Toggle side | 14520 240 1935 375 | 10
lstBriefing QListWidget frmBriefing | Tasks,Notes | | 120 600 1095 660 | 0
lstTasks QListWidget frmBriefing | | | 1320 600 4215 2760 | 17
lstNotes QListWidget frmBriefing | | | 1320 600 4215 2760 | 16
txtTasks QPlainTextEdit frmBriefing | | | 5640 600 10815 3255 | 15
txtNotes QPlainTextEdit frmBriefing | | | 5640 600 10815 3255 | 13
cmdUp QPushButton frmBriefing | Up | Move task/note up | 1320 3480 1935 375 | 11
cmdDown QPushButton frmBriefing | Down | Move task/note down | 3600 3480 1935 375 | 12
Frame2 QGroupBox frmBriefing | | | 0 8760 16575 615 | 14
cmdAdd QPushButton Frame2 | &Create | Create task/note | 120 120 1335 375 | 1
cmdEdit QPushButton Frame2 | &Edit | Edit selected task/note | 1560 120 1335 375 | 2
cmdDel QPushButton Frame2 | &Delete | Delete selected task/note | 3000 120 1335 375 | 3
cmdMarker QPushButton Frame2 | Insert &Marker | Insert marker at cursor position | 5760 120 1815 375 | 4
cmdPic QPushButton Frame2 | Insert &Picture | Insert picture at cursor position | 7680 120 1815 375 | 5
cmdOpen QPushButton Frame2 | &Open | Open a briefing file | 10800 120 1335 375 | 6
cmdOK QPushButton Frame2 | &Save | Save current briefing file | 12240 120 1335 375 | 7
cmdClear QPushButton Frame2 | Clear | Start a new briefing: empty the work area | 13680 120 1335 375 | 21
cmdCancel QPushButton Frame2 | E&xit | Be sure to save your work before closing | 15120 120 1335 375 | 8
    )");
    // The fonts set; the other controls have the window's own.
    const std::pair<const char*, QString> fonts[] = {
        {"MS Sans Serif 12 bold", "lblCurTask lstBriefing lstTasks lstNotes txtTasks txtNotes"},
        {"MS Sans Serif 9.75 bold", "cmdSide"},
        {"MS Sans Serif 9.75",
         "cmdCurTask cmdAdd cmdEdit cmdDel cmdMarker cmdPic cmdOpen cmdOK cmdClear cmdCancel"}};
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
      QString wanted = "default";
      for (const auto& [font, names] : fonts)
        wanted = names.split(' ').contains(name) ? font : wanted;
      QCOMPARE(shown.join(" | ").simplified(), row.simplified() + " | " + wanted);
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
    // The row added below the text box: each control shows its caption whole, inside the window.
    for (QWidget* w : ed->find<QWidget>("Frame3")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      QVERIFY2(w->width() >= w->sizeHint().width() &&
                   ed->window.rect().contains(QRect(w->mapTo(&ed->window, QPoint()), w->size())),
               qPrintable(QStringLiteral("%1 %2 wide, needs %3").arg(w->objectName()).arg(w->width())
                              .arg(w->sizeHint().width())));
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
  // it leaves and loads the one it shows, a page switch stores nothing.
  void createAndRename_data() {
    addRows({
        {"create: the first task selected, later ones keep the selection",
         {{{"create Recon"},
           {.tasks = "[Recon]", .box = "", .enabled = "cmdEdit cmdDel cmdCurTask txtTasks"}},
          {{"type look first", "create \"  \"", "create Recon"},
           {.tasks = "[Recon],   , Recon", .taskSlots = "0 1 2", .box = "look first"}}}},
        {"create, Cancel: nothing changes",
         {{{"create Entry"}, {}},
          {{"cancel", "click cmdAdd"},
           {.tasks = "[Entry]", .asked = "Create Task: Enter the task to create: [input]"}}}},
        {"the last slot: no more are asked for",
         {{{"page Notes", "slots 32766", "create A"}, {.noteSlots = "32766"}},
          {{"ok", "click cmdAdd"},
           {.notes = "[A]",
            .asked = "Create Note: No more notes can be created: this briefing has used all 32767 note "
                     "numbers.\r\nSave it and open it again to renumber its notes. [Information]"}}}},
        {"the current task set, replaced, reset, and set from the Notes page",
         {{{"add A,B", "pick 0", "click cmdCurTask"}, {.current = "A"}},
          {{"pick 1", "click cmdCurTask"}, {.current = "B"}},
          {{"click cmdCurTask"}, {.current = ""}},
          {{"pick 0", "page Notes", "click cmdCurTask"}, {.current = "A"}}}},
        {"rename moves the label by title",
         {{{"add Recon,Recon", "pick 0", "click cmdCurTask", "pick 1", "rename Recon in force"},
           {.tasks = "Recon, [Recon in force]", .box = "recon text", .current = "Recon in force"}}}},
        {"a page switch keeps the typing, a selection stores it",
         {{{"add A,B,B", "type \"\nline 2\"", "page Notes", "page Tasks"},
           {.box = "b text\nline 2", .taskText = "a text | b text | "}},
          {{"pick 1"}, {.box = "b text", .taskText = "a text | b text | b text\r\nline 2"}}}},
        {"a click on the selected entry stores its box",
         {{{"add A,B", "type \" typed\"", "pick 1", "ctrl-pick 1", "click cmdUp"},
           {.tasks = "[B], A", .taskText = "a text | b text typed"}}}},
        {"what screen readers hear",
         {{{"click cmdSide"}, {.heard = "Quillfort | Side: EAST | Current task: none"}},
          {{"create Take the bridge", "click cmdCurTask"},
           {.heard = "Quillfort | Side: EAST | Current task: Take the bridge"}}}},
    });
  }
  void createAndRename() { check(); }

  // Delete asks first; the next entry (or the new last) is selected, slots
  // are never reused, the label goes by title. Moving carries the slot and
  // stores nothing. Clear starts again, keeping the side.
  void deleteAndMove_data() {
    addRows({
        {"delete the first, the middle, the last",
         {{{"page Notes", "add A,B,C,D", "pick 0", "type \" (gone)\"", "yes", "click cmdDel"},
           {.notes = "[B], C, D", .noteSlots = "1 2 3", .box = "b text"}},
          {{"pick 1", "yes", "click cmdDel"}, {.notes = "B, [D]", .box = "d text"}},
          {{"yes", "click cmdDel", "create E"}, {.notes = "[B], E", .noteSlots = "1 4"}}}},
        {"delete asks, No",
         {{{"add A"}, {}},
          {{"no", "click cmdDel"},
           {.tasks = "[A]", .asked = "Delete Task: Delete the selected task? [YesNo | Question]"}}}},
        {"delete by title, exactly",
         {{{"add Extract,extract,Extract", "pick 0", "click cmdCurTask", "pick 1", "yes", "click cmdDel"},
           {.current = "Extract"}},
          {{"yes", "click cmdDel"}, {.tasks = "[Extract]", .current = ""}}}},
        {"delete the only task",
         {{{"add A", "yes", "click cmdDel"}, {.tasks = "", .box = "", .enabled = "", .counts = "1 0 0 0"}}}},
        {"move: the slot travels, the box is not stored, nothing past the ends",
         {{{"add A,B,C", "type +", "pick 0", "pick 2", "click cmdCurTask", "type \" unsaved\"",
            "click cmdUp"},
           {.tasks = "A, [C], B", .taskSlots = "0 2 1", .box = "c text+", .current = "C"}},
          {{"pick 0", "click cmdUp", "pick 2", "click cmdDown"},
           {.tasks = "A, C, [B]", .taskSlots = "0 2 1"}}}},
        {"clear asks",
         {{{"no", "click cmdClear"},
           {.asked = "Clear Quillfort: All data in the work area will be lost!\r\n\r\nAre you sure? "
                     "[YesNo | Critical]"}}}},
        {"clear: the start again, the side kept; new entries start empty",
         {{{"add A,B", "click cmdCurTask", "click cmdSide", "page Notes", "add N", "yes", "click cmdClear"},
           {.tasks = "",
            .notes = "",
            .current = "",
            .side = "EAST",
            .page = "Tasks",
            .enabled = "",
            .counts = "0 0 0 0"}},
          {{"create X", "create Y", "pick 1"}, {.box = "", .taskText = " | "}}}},
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
         {{{"create A", "type go to the bridge now", "select 10 6", "enter N", "click cmdMarker"},
           {.box = "go to the <marker name='N'>bridge</marker> now", .cursor = "42", .taskText = ""}},
          {{"undo"}, {.box = "go to the bridge now"}},
          {{"redo", "pick 0"}, {.taskText = "go to the <marker name='N'>bridge</marker> now"}}}},
        {"marker across a line",
         {{{"page Notes", "create A", "type \"north\nriver\"", "select 6 5", "enter N", "click cmdMarker",
            "pick 0"},
           {.noteText = "north\r\n<marker name='N'>river</marker>"}}}},
        {"marker with nothing selected: a hint, no name asked",
         {{{"create A", "type text", "select 2 0"}, {}},
          {{"ok", "click cmdMarker"},
           {.box = "text",
            .asked = "Insert Marker: Highlight the text to be used as marker link [Information]"}}}},
        {"picture before a selection, which stays",
         {{{"create A", "type abcdef", "select 2 2", "enter N", "click cmdPic"},
           {.box = "ab" + img + "cdef", .cursor = "45 cd"}}}},
        {"picture into an empty note",
         {{{"page Notes", "create A", "enter N", "click cmdPic"}, {.box = img}},
          {{"undo"}, {.box = ""}},
          {{"redo", "pick 0"}, {.noteText = img}}}},
        {"marker far down, the box not scrolled away",
         {{{"create A", "type \"" + lines.join('\n') + "\"", "select 148 3", "enter N", "click cmdMarker"},
           {.cursor = "177", .scroll = "kept"}}}},
        {"nothing on an empty page", {{{"page Notes", "click cmdMarker", "click cmdPic"}, {.asked = ""}}}},
    });
  }
  void markerAndPicture() { check(); }

  // A key presses a button: its dialog or its change follows.
  void keys_data() {
    addRows({
        {"Return on Open", {{{"create T", "file open cancel", "key cmdOpen Return"}, {.tasks = "[T]"}}}},
        {"Enter on Side", {{{"key cmdSide Num+Enter"}, {.side = "EAST"}}}},
        {"Ctrl+S in a text box", {{{"create T", "file save cancel", "key txtTasks Ctrl+S"}, {.box = ""}}}},
        {"Return in a text box", {{{"create T", "key txtTasks Return"}, {.box = "\n"}}}},
        {"Alt+C creates", {{{"enter T", "key lstTasks Alt+C"}, {.tasks = "[T]"}}}},
    });
  }
  void keys() { check(); }

  // A command with one list empty and the other not, on each page: which of
  // cmdEdit, cmdDel, cmdCurTask, txtTasks and txtNotes are enabled after it.
  void enabledStates_data() {
    const QString tasks = "cmdEdit cmdDel cmdCurTask txtTasks", notes = "cmdEdit cmdDel txtNotes";
    const struct {
      const char* command;     // where the page shown has entries
      const char* onEmptyPage; // where it has none (a disabled button asks nothing)
      QString tasksOnlyOnTasksPage, tasksOnlyOnNotesPage, notesOnlyOnTasksPage, notesOnlyOnNotesPage;
    } commands[] = {
        {"page Tasks", "page Tasks", tasks, tasks, "txtNotes", "txtNotes"},
        {"page Notes", "page Notes", "cmdCurTask txtTasks", "cmdCurTask txtTasks", notes, notes},
        {"create X", "create X", tasks, "cmdEdit cmdDel cmdCurTask txtTasks txtNotes",
         "cmdEdit cmdDel cmdCurTask txtTasks txtNotes", notes},
        {"yes; click cmdDel", "click cmdDel", "", "cmdCurTask txtTasks", "txtNotes", ""},
    };
    QTest::addColumn<Row>("row");
    for (const auto& c : commands)
      for (int i = 0; i < 4; ++i) {
        const bool tasksOnly = i < 2, tasksPage = i % 2 == 0;
        QStringList steps = tasksOnly ? QStringList{"create T"} : QStringList{"page Notes", "create N"};
        steps << (tasksPage ? "page Tasks" : "page Notes")
              << QString(tasksOnly == tasksPage ? c.command : c.onEmptyPage).split("; ");
        const QString on[] = {c.tasksOnlyOnTasksPage, c.tasksOnlyOnNotesPage, c.notesOnlyOnTasksPage,
                              c.notesOnlyOnNotesPage};
        QTest::newRow(
            qPrintable(QStringLiteral("%1, %2 only, %3 page")
                           .arg(c.command, tasksOnly ? "tasks" : "notes", tasksPage ? "Tasks" : "Notes")))
            << Row{"", {{steps, {.enabled = on[i]}}}};
      }
  }
  void enabledStates() { check(); }

  // A click on another row than the selected one stores and loads once.
  void clickOnAnotherRowLoadsOnce() {
    ed->run("add A,B");
    QSignalSpy loads(ed->box("txtTasks"), &QPlainTextEdit::textChanged);
    ed->run("pick 0");
    QCOMPARE(ed->shown({.box = ""}).join("") + " loaded " + QString::number(loads.count()),
             "box: a text loaded 1");
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
  // default button; whether it is still open after each click; then what was
  // started, and said where the tool does not start.
  void aboutBox() {
    FakeRegistry registry;
    FakeLauncher launcher;
    Registry::setInstance(&registry);
    ProcessLauncher::setInstance(&launcher);
    const QString file = qApp->devicePixelRatio() > 1 ? ":/about@2x.png" : ":/about.png";
    const auto describe = [&file](QWidget* w) {
      const auto* label = qobject_cast<QLabel*>(w);
      const QPixmap pic = label ? label->pixmap() : QPixmap();
      const bool sharp = pic.toImage().convertToFormat(QImage::Format_ARGB32) ==
                         QImage(file).convertToFormat(QImage::Format_ARGB32);
      const QString text = w->property("text").toString(),
                    size = QStringLiteral("%1x%2 ")
                               .arg(pic.deviceIndependentSize().width())
                               .arg(pic.deviceIndependentSize().height());
      return QStringList{w->objectName(), w->metaObject()->className(), text.size() > 40 ? "credit" : text,
                         !pic.isNull()                     ? size + (sharp ? "sharp" : "not its file")
                         : w->property("default").toBool() ? "default"
                         : w->inherits("QFrame") && !label ? w->palette().color(QPalette::Window).name()
                                                           : ""}
          .join(' ');
    };
    for (const QString tool : {"C:\\Tools\\msinfo.exe", "C:\\Gone\\msinfo.exe"}) { // starts; does not
      registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {RegCode::RegSz,
                                                                            tool.toStdString() + '\0'};
      const bool gone = tool.startsWith("C:\\Gone");
      if (gone)
        ed->dialogs.answerMessage(MsgAnswer::OK);
      QStringList seen;
      QTimer::singleShot(0, &ed->window, [&] { // runs inside the dialog's own event loop
        QWidget* about = QApplication::activeModalWidget();
        QVERIFY(about);
        const bool sharpIcon =
            about->windowIcon().availableSizes().contains(QSize(64, 64) * qApp->devicePixelRatio());
        seen << about->windowTitle() + (about->windowModality() == Qt::ApplicationModal ? " modal" : "") +
                    (sharpIcon ? "" : " without its sharp icon");
        for (const char* name : {"picIcon", "lblTitle", "lblVersion", "lblDescription", "lblDisclaimer",
                                 "Line1", "Line2", "cmdOK", "cmdSysInfo"}) {
          auto* w = about->findChild<QWidget*>(name);
          QVERIFY2(w && w->parentWidget() == about && about->rect().contains(w->geometry()), name);
          seen << describe(w);
        }
        for (const char* name : {"cmdSysInfo", "cmdOK"}) {
          QTest::mouseClick(about->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
          seen << (about->isVisible() ? "open" : "closed");
        }
        about->close(); // a failed check leaves no dialog holding the test
      });
      launcher.started.clear();
      ed->run("click cmdAbout");
      QCOMPARE(seen,
               (QStringList{"About Quillfort modal", "picIcon QLabel  32x32 sharp",
                            "lblTitle QLabel Quillfort ", "lblVersion QLabel Version 1.0.0 ",
                            "lblDescription QLabel credit ", "lblDisclaimer QLabel credit ",
                            "Line1 QFrame  #808080", "Line2 QFrame  #ffffff", "cmdOK QPushButton OK default",
                            "cmdSysInfo QPushButton &System Info... ", "open", "closed"}));
      QCOMPARE(launcher.started, QStringList{tool});
      QCOMPARE(ed->shown({.asked = ""}).join(""),
               gone ? "asked: Quillfort: System Information Is Unavailable At This Time [OKOnly]"
                    : "asked: ");
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
