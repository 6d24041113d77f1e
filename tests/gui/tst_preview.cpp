// The preview window through the real editor: F5 and the context menu open
// it, it renders the game's tags, and it follows every command live.
#include "gui/preview/frmPreview.h"
#include "support/EditorDriver.h"

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

  void showsWhatTheEditorHolds_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("shown");
    // The preview of two tasks, Take and Hold, with Hold selected, after the
    // steps; "+" stands for it before the steps, "{NC}" for N times the
    // character C. The preview follows each edit in step with the box's working
    // copy; "wait" lets it show what came before the next steps, so that it
    // changes only the lines an edit touches.
    const QString markedLines =
        QStringLiteral("type \na\n<marker name='m'>b\nc</marker>\n\nd &amp;e\nf; wait; ");
    // clang-format off
    const char* const rows[][3] = {
        // The game's structured text.
        {"line breaks", "type  one<br/>two\nthree", "+ one\ntwo\nthree | "},
        {"marker", "type  <marker name='obj 1'>here</marker> now", "+ here now | link here marker:obj%201 tip obj 1"},
        {"marker over a line break", "type  <marker name='m'>a\nb</marker>", "+ a\nb | link a marker:m tip m; link b marker:m tip m"},
        {"execute, never a command", "type <execute expression=\"hint 'x'\">Hint</execute>", "+Hint | link Hint execute:hint%20%27x%27 tip hint 'x'"},
        {"font", "type  <font color='#ff0000' size='2' face='Arial'>red</font> plain", "+ red plain | red in #ff0000 x2 Arial"},
        {"font the game cannot read", "type  <font color='nope' size='11'>plain</font>", "+ plain | "},
        {"picture in the folder", "type <img image='pics\\map.png' width='200' height='200'/>", "+\uFFFC | image map.png 200x200"},
        {"picture Qt cannot read", "type <img image='map.paa'/>", "+\nmap.paa\n | framed map.paa"},
        {"picture not there", "type <img image='gone.jpg'/>", "+\ngone.jpg\n | framed gone.jpg | 1 warning: task 2 \"Hold\", text 1:10: The picture \"gone.jpg\" is not in the mission folder"},
        {"picture with a slash", "type <img image='pics/map.png' width='200' height='200'/>", "+\uFFFC | image map.png 200x200"},
        {"a folder for a picture", "type <img image='pics'/>", "+\npics\n | framed pics | 1 warning: task 2 \"Hold\", text 1:10: The picture \"pics\" is not in the mission folder"},
        {"picture by its full path", "type <img image='%1/pics/map.png'/>", "+\n%1/pics/map.png\n | framed %1/pics/map.png | 1 warning: task 2 \"Hold\", text 1:10: The picture \"%1/pics/map.png\" is not in the mission folder"},
        {"picture outside the folder", "type <img image='..\\pics\\map.png'/>", "+\n..\\pics\\map.png\n | framed ..\\pics\\map.png | 1 warning: task 2 \"Hold\", text 1:10: The picture \"..\\pics\\map.png\" is not in the mission folder"},
        {"picture without a file", "type <img width='9'/>", "+\n(no file)\n | framed (no file) | 1 warning: task 2 \"Hold\", text 1:10: The picture tag <img width='9'/> names no file"},
        {"literal", "type  <b>bold</b> a < b &amp;&lt;i&gt;&#169;</font>", "+ <b>bold</b> a < b &<i>\u00A9</font> |  | 2 warning: task 2 \"Hold\", text 1:18: The game does not know the tag </b>"},
        {"a lone CR and LF from a file", "open " QUILLFORT_TEST_DATA "/texts_and_quotes.sqf; notes",
         "WEST | The \"Old\" Mill | \u25B6 Say \"hi\" | The \"Old\" Mill | Go here\ntyped \nstays lone CR lone LF \n | link here marker:m tip m | 1 warning: task 1 \"Say \"hi\"\", text 2:4: The character U+00E9 \"\u00E9\" is outside ASCII: the game reads the script as UTF-8 and shows another character; save the script as UTF-8 to show it as typed (2 such characters in all)"},
        {"65,536 characters", "fill 65527 x", "+{65527x} |  | 1 warning: the briefing: The script would be 66,166 bytes: it saves, but only its first 32,767 bytes can be opened again"},
        {"65,537 characters", "fill 65528 x", "+{65527x}\n(1 more characters not shown) |  | 1 warning: the briefing: The script would be 66,167 bytes: it saves, but only its first 32,767 bytes can be opened again"},
        {"500 findings", "fill 500 &", "+{500&} |  | 500 warning: task 2 \"Hold\", text 1:509: A bare \"&\" cuts the text here in the game: write it as \"&amp;\""},
        {"501 findings", "fill 501 &", "+{501&} |  | 501 ... and 1 more"},
        // Each command, as it runs.
        {"typing", "type !", "+! | "}, // the preview reads the box; only the editor's own commands store it
        {"undo", "type !; wait; undo", "+ | "},
        {"selection", "pick 0", "WEST |  | Take,Hold | Take | take text | "},
        {"create", "new Rest", "WEST |  | Take,Hold,Rest | Hold | hold text | "},
        {"rename", "rename Stay", "WEST |  | Take,Stay | Stay | hold text | "},
        {"delete", "del", "WEST |  | Take | Take | take text | "},
        {"move", "up", "WEST |  | Hold,Take | Hold | hold text | "},
        {"side", "side", "EAST |  | Take,Hold | Hold | hold text | "},
        {"current task", "cur", "WEST |  | Take,\u25B6 Hold | Hold | hold text | "},
        {"another current task", "cur; wait; pick 0; cur", "WEST |  | \u25B6 Take,Hold | Take | take text | "},
        // Lists in the editor's order; of two tasks of the current title the
        // first is marked, which the script makes current.
        {"order", "new Take; pick 2; cur; notes; add Zulu,Alpha", "WEST | Zulu,Alpha | \u25B6 Take,Hold,Take | Alpha | alpha text |  | 2 warning: task 3 \"Take\", title: Tasks 1 and 3 all carry the current task's title: the game makes task 1 current, but the script reopens with task 3 current"},
        {"page", "notes", "WEST |  | Take,Hold |  |  | "},
        {"marker command", "sel 0 4; marker m", "WEST |  | Take,Hold | Hold | hold text | link hold marker:m tip m"},
        {"picture command", "sel 4 0; pic pics\\map.png", "WEST |  | Take,Hold | Hold | hold\uFFFC text | image map.png 200x200"},
        {"open", "open " QUILLFORT_TEST_DATA "/worked_example.sqf", "EAST | Intel | Take the bridge,\u25B6 Hold the town | Take the bridge | Cross at dawn. | "},
        {"clear", "clear", "WEST |  |  |  |  | "},
    };
    // Edits of a text of lines with a marker over two of them: the lines
    // shown change with the edit alone.
    const char* const edits[][3] = {
        {"inside a line", "sel 11 0; put x", "+\nax\nb\nc\n\nd &e\nf | link b marker:m tip m; link c marker:m tip m"},
        {"a new line in the middle", "sel 30 0; put \nnew", "+\na\nb\nnew\nc\n\nd &e\nf | link b marker:m tip m; link new marker:m tip m; link c marker:m tip m"},
        {"join two lines", "sel 11 1; put ", "+\nab\nc\n\nd &e\nf | link b marker:m tip m; link c marker:m tip m"},
        {"lines removed", "sel 11 31; put ", "+\na\nd &e\nf | "},
        {"empty lines at the end", "sel 53 0; put \n\n", "+\na\nb\nc\n\nd &e\nf\n\n | link b marker:m tip m; link c marker:m tip m"},
        {"a line at the start", "sel 0 0; put top\n", "WEST |  | Take,Hold | Hold | top\nhold text\na\nb\nc\n\nd &e\nf | link b marker:m tip m; link c marker:m tip m"},
        {"a line at the end", "sel 53 0; put \nz", "+\na\nb\nc\n\nd &e\nf\nz | link b marker:m tip m; link c marker:m tip m"},
        {"the last line removed", "sel 51 2; put ", "+\na\nb\nc\n\nd &e | link b marker:m tip m; link c marker:m tip m"},
        {"close the marker early", "sel 30 0; put </marker>", "+\na\nb\nc</marker>\n\nd &e\nf | link b marker:m tip m"},
        {"everything", "sel 0 53; put z", "WEST |  | Take,Hold | Hold | z | "},
    };
    // clang-format on
    const auto preview = [](const char* name, const QString& steps, const char* expected) {
      const QString before = "WEST |  | Take,Hold | Hold | hold text";
      QString shown = QString::fromUtf8(expected).replace(QRegularExpression("^\\+"), before);
      const QRegularExpressionMatch many = QRegularExpression("\\{(\\d+)(.)\\}").match(shown);
      if (many.hasMatch())
        shown.replace(many.capturedStart(), many.capturedLength(),
                      QString(many.captured(1).toInt(), many.captured(2)[0]));
      QTest::newRow(name) << "folder %1; add Take,Hold; pick 0; pick 1; preview >> " + steps
                          << "preview:" + before + " | " + " >> " +
                                 (steps == "type !" ? "taskText:take text,hold text | " : "") +
                                 "preview:" + shown;
    };
    for (const auto& [name, steps, expected] : rows)
      preview(name, steps, expected);
    for (const auto& [name, steps, expected] : edits)
      preview(name, markedLines + steps, expected);
  }
  void showsWhatTheEditorHolds() {
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    EditorDriver driver;
    driver.check(steps, shown, scripts.path());
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
    ed.create("Take");
    QStringList menu;
    QTimer::singleShot(0, this, [&menu] {
      auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(popup);
      for (QAction* action : popup->actions())
        menu << (action->isSeparator() ? QStringLiteral("-")
                                       : action->text() + '\t' + action->shortcut().toString());
      popup->actions().constLast()->trigger();
      popup->close();
    });
    QPlainTextEdit* box = ed.box("txtTasks");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            box->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box->viewport(), &event);
    QVERIFY(menu.size() > 3 && menu.first().startsWith(QStringLiteral("&Undo")));
    QCOMPARE(menu.mid(menu.size() - 2), (QStringList{"-", "Preview Briefing\tF5"}));
    QTRY_VERIFY(preview()->isVisible());
    // Nothing new on the editor window but the preview itself.
    QCOMPARE(ed.window.findChildren<QWidget*>().size() - before,
             preview()->findChildren<QWidget*>().size() + 1);
    ed.window.close();
    QVERIFY(!preview()->isVisible());
  }
};

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
