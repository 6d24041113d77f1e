// The preview window through the real editor: F5 and the context menu open
// it beside the editor, it renders the game's tags, it follows every command
// live, and what is chosen in it is selected in the editor.
#include "gui/preview/frmPreview.h"
#include "support/EditorDriver.h"

namespace {

// Two tasks, Take and Hold, with Hold selected and the preview open, then
// the steps.
Row shows(const char* name, const QStringList& steps, const Shown& shown) {
  return {name, {{{"folder %1", "add Take,Hold", "pick 0", "pick 1", "preview"}, {}}, {steps, shown}}};
}

const QString kHold = "hold text";

} // namespace

class tst_preview : public QObject {
  Q_OBJECT
  QTemporaryDir scripts; // the mission folder

private slots:
  void initTestCase() {
    // Pictures of the mission folder the preview's rows name.
    QVERIFY(QDir(scripts.path()).mkpath("pics") &&
            QImage(8, 8, QImage::Format_RGB32).save(scripts.filePath("pics/map.png")));
    QFile paa(scripts.filePath("map.paa"));
    QVERIFY(paa.open(QIODevice::WriteOnly) && paa.write("not a picture Qt reads") > 0);
  }

  // The game's structured text: line breaks, links, colours, pictures from
  // the mission folder (a framed placeholder for what cannot be shown), text
  // that is no tag shown as it is, a text past what the pane shows; the
  // check's findings below.
  void structuredText_data() {
    const QString framed = "\n%1\n"; // a placeholder's frame holds its file's name on a line of its own
    addRows({
        shows("line breaks and a marker", {"type \" one<br/>two\n<marker name='obj 1'>three</marker>\""},
              {.previewText = kHold + " one\ntwo\nthree",
               .previewMarks = "link three marker:obj%201 tip obj 1"}),
        shows(
            "execute, never a command", {"type <execute expression=\"hint 'x'\">Hint</execute>"},
            {.previewText = kHold + "Hint", .previewMarks = "link Hint execute:hint%20%27x%27 tip hint 'x'"}),
        shows("font", {"type \" <font color='#ff0000' size='2' face='Arial'>red</font> plain\""},
              {.previewText = kHold + " red plain", .previewMarks = "red in #ff0000 x2 Arial"}),
        shows("picture in the folder", {"type <img image='pics\\map.png' width='200' height='200'/>"},
              {.previewText = kHold + "\uFFFC", .previewMarks = "image map.png 200x200"}),
        shows(
            "picture Qt cannot read", {"type <img image='map.paa'/>"},
            {.previewText = kHold + framed.arg("map.paa"), .previewMarks = "framed map.paa", .findings = ""}),
        // The mission folder's rule, the check's too: nothing above it.
        shows("a folder up and back", {"type <img image='pics\\..\\pics\\map.png'/>"},
              {.previewMarks = "framed pics\\..\\pics\\map.png",
               .findings =
                   "warning: task 2 \"Hold\", text 1:10: The picture \"pics\\..\\pics\\map.png\" is not in "
                   "the mission folder"}),
        shows("text that is no tag", {"type \" a < b &amp;&lt;i&gt;&#169;</font>\""},
              {.previewText = kHold + " a < b &<i>\u00A9</font>", .previewMarks = "", .findings = ""}),
        shows("65,537 characters", {"paste 65528 x"},
              {.previewText = kHold + QString(65527, 'x') + "\n(1 more characters not shown)",
               .findings = "warning: the briefing: The script would be 66,167 bytes: it saves, but only its "
                           "first 32,767 bytes can be opened again"}),
    });
  }
  void structuredText() { check(); }

  // Each command, as it runs; of two tasks of the current title the first is
  // marked, which the script makes current. Edits of a text of lines with a
  // marker over two of them change the lines the edit touches.
  void follows_data() {
    const QStringList marked{"type \"\na\n<marker name='m'>b\nc</marker>\n\nd &amp;e\nf\"", "wait"};
    const QString links = "link b marker:m tip m; link c marker:m tip m";
    addRows({
        shows("typing, before anything is stored", {"type !"},
              {.taskText = "take text | hold text", .previewText = kHold + "!"}),
        shows("create, rename, delete, move",
              {"create Rest", "rename Stay", "pick 0", "yes", "click cmdDel", "click cmdUp"},
              {.previewTasks = "Stay, Rest", .previewTitle = "Stay"}),
        shows("side and current task", {"click cmdSide", "click cmdCurTask"},
              {.previewSide = "EAST", .previewTasks = "Take, \u25B6 Hold"}),
        shows("order, and the first of two current tasks marked",
              {"create Take", "pick 2", "click cmdCurTask", "page Notes", "add Zulu,Alpha"},
              {.previewNotes = "Zulu, Alpha",
               .previewTasks = "\u25B6 Take, Hold, Take",
               .previewTitle = "Alpha"}),
        shows("open", {"open " QUILLFORT_TEST_DATA "/worked_example.sqf"},
              {.previewSide = "EAST",
               .previewTasks = "Take the bridge, \u25B6 Hold the town",
               .previewText = "Cross at dawn."}),
        shows("a line changed", marked + QStringList{"select 11 0", "put x"},
              {.previewText = kHold + "\nax\nb\nc\n\nd &e\nf", .previewMarks = links}),
        shows("a line in the middle", marked + QStringList{"select 30 0", "put \"\nnew\""},
              {.previewText = kHold + "\na\nb\nnew\nc\n\nd &e\nf",
               .previewMarks = "link b marker:m tip m; link new marker:m tip m; link c marker:m tip m"}),
        shows("lines removed", marked + QStringList{"select 11 31", "put"},
              {.previewText = kHold + "\na\nd &e\nf", .previewMarks = ""}),
        shows("the marker closed early", marked + QStringList{"select 30 0", "put </marker>"},
              {.previewText = kHold + "\na\nb\nc</marker>\n\nd &e\nf",
               .previewMarks = "link b marker:m tip m"}),
    });
  }
  void follows() { check(); }

  // Opening the preview selects nothing. A title or a finding chosen in the
  // preview selects its entry as a click in the editor would: the outgoing
  // box stored, the incoming loaded, the page switched (another side's
  // briefing brought into the window); a finding also puts the cursor at its
  // place.
  void chosen_data() {
    const QStringList two{"add Take,Hold", "type \"\nfish & chips\"", "page Notes", "add Intel", "preview"};
    addRows({
        {"nothing: the preview opened and its list took the focus",
         {{{"add Take,Hold", "page Notes", "add Intel", "page Tasks", "preview", "wait"},
           {.tasks = "Take, [Hold]", .page = "Tasks"}}}},
        {"a title",
         {{two + QStringList{"show lstPreviewTasks 0"},
           {.tasks = "[Take], Hold", .page = "Tasks", .taskText = "take text | hold text\r\nfish & chips"}}}},
        {"a finding",
         {{two + QStringList{"show lstFindings 0"},
           {.tasks = "Take, [Hold]", .box = "hold text\nfish & chips", .cursor = "15"}}}},
        {"a finding of another side",
         {{two + QStringList{"key cmdSide Ctrl+2", "create Q", "wait", "show lstFindings 0"},
           {.tasks = "Take, [Hold]", .cursor = "15", .side = "WEST"}}}},
    });
  }
  void chosen() { check(); }

  // At most 500 findings are listed, and each shows whole: wrapped to the
  // pane, and in full on hover and for screen readers.
  void findingsShowWhole() {
    EditorDriver ed;
    ed.check({"", {{{"create A", "paste 501 &", "preview"}, {}}}});
    QListWidget* findings = ed.list("lstFindings");
    QTRY_COMPARE(findings->count(), 501);
    QCOMPARE(findings->item(500)->text(), "... and 1 more");
    QVERIFY(findings->wordWrap() && findings->textElideMode() == Qt::ElideNone);
    const QString whole = findings->item(0)->text();
    QCOMPARE(findings->item(0)->toolTip() + findings->item(0)->data(Qt::AccessibleTextRole).toString(),
             whole + whole);
  }

  // Beside the editor, where it covers the least of it: on a screen with
  // room, not at all; on a small one, as little as a usable size allows.
  void placeBeside_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("editor");
    QTest::addColumn<QRect>("preview");
    QTest::newRow("1920 x 1080, room on the right")
        << QRect(0, 0, 1920, 1080) << QRect(40, 60, 1117, 660) << QRect(1157, 60, 763, 680);
    QTest::newRow("1280 x 800, the editor in the middle")
        << QRect(0, 0, 1280, 800) << QRect(81, 70, 1117, 660) << QRect(81, 500, 900, 300);
    QTest::newRow("1280 x 800, the editor at the left")
        << QRect(0, 0, 1280, 800) << QRect(0, 0, 1117, 660) << QRect(0, 500, 900, 300);
    QTest::newRow("2560 x 1440, room on either side")
        << QRect(0, 0, 2560, 1440) << QRect(1000, 300, 1117, 660) << QRect(100, 300, 900, 680);
  }
  void placeBeside() {
    QFETCH(QRect, screen);
    QFETCH(QRect, editor);
    QFETCH(QRect, preview);
    QCOMPARE(frmPreview::placeBeside(screen, editor, QSize(900, 680)), preview);
  }

  // F5 opens one preview and raises it again; the boxes' context menus end
  // with the same command, F5 beside it, after Qt's own entries. The preview
  // closes with the editor.
  void f5AndTheContextMenuOpenThePreview() {
    EditorDriver ed;
    const auto preview = [&ed] { return ed.window.findChild<frmPreview*>(); };
    const auto before = ed.window.findChildren<QWidget*>().size();
    for (int i = 0; i < 2; ++i) {
      QTest::keyClick(&ed.window, Qt::Key_F5);
      QVERIFY(preview() && preview()->isWindow() && preview()->isVisible() && !preview()->isModal());
      QCOMPARE(preview()->windowTitle(), QStringLiteral("Briefing Preview"));
      preview()->close();
    }
    QCOMPARE(ed.window.findChildren<frmPreview*>().size(), 1);
    ed.run("create Take");
    ed.run("menu txtTasks");
    const QStringList menu = ed.shown({.menu = ""}).join("").mid(6).split(" / ");
    QVERIFY2(menu.size() > 3 && menu.first().startsWith(QStringLiteral("&Undo")), qPrintable(menu.join('|')));
    QCOMPARE(menu.mid(menu.size() - 2), (QStringList{"-", "Preview Briefing\tF5"}));
    // Nothing new on the editor window but the preview itself.
    QCOMPARE(ed.window.findChildren<QWidget*>().size() - before,
             preview()->findChildren<QWidget*>().size() + 1);
    ed.window.close();
    QVERIFY(!preview()->isVisible());
  }

private:
  void check() {
    QFETCH(Row, row);
    EditorDriver ed;
    ed.check(row, scripts.path());
  }
};

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
