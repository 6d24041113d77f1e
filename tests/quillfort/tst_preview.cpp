// The preview window through the real editor: F5 and the context menu open
// it, it renders the game's tags, follows every command live, and choosing a
// title or a finding in it selects the entry in the editor.
#include "preview/frmPreview.h"
#include "support/EditorDriver.h"

namespace {

// What the document shows of its fragments that are not plain text: links
// with their tooltips, colours, sizes (as a multiple of the text's) and
// faces, pictures with their size, framed tables.
QString marks(const QTextDocument* doc) {
  QStringList out;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat format = f.charFormat();
      QString font = format.foreground().style() != Qt::NoBrush && format.foreground().color() != Qt::black
                         ? " in " + format.foreground().color().name()
                         : QString();
      if (format.fontPointSize() > 0)
        font += QStringLiteral(" x%1").arg(format.fontPointSize() / doc->defaultFont().pointSizeF());
      if (!format.fontFamilies().toStringList().isEmpty())
        font += " " + format.fontFamilies().toStringList().join(',');
      if (format.isImageFormat())
        out << QStringLiteral("image %1 %2x%3")
                   .arg(QFileInfo(QUrl(format.toImageFormat().name()).toLocalFile()).fileName())
                   .arg(format.toImageFormat().width())
                   .arg(format.toImageFormat().height());
      else if (format.isAnchor())
        out << QStringLiteral("link %1 %2 tip %3").arg(f.text(), format.anchorHref(), format.toolTip());
      else if (!font.isEmpty())
        out << f.text() + font;
    }
  }
  for (QTextFrame* frame : doc->rootFrame()->childFrames())
    if (auto* table = qobject_cast<QTextTable*>(frame))
      out << QStringLiteral("framed %1").arg(table->cellAt(0, 0).firstCursorPosition().block().text());
  return out.join(QLatin1String("; "));
}

} // namespace

class tst_preview : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;
  QTemporaryDir dir;

  frmPreview* preview() const { return ed->window.findChild<frmPreview*>(); }
  // The preview as a user reads it: side | notes | tasks | title | text |
  // marks, then the number of findings and the last one, where there are any.
  QString shows() const {
    QStringList shown{preview()->findChild<QLabel*>("lblPreviewSide")->text(),
                      ed->titles("lstPreviewNotes").join(','),
                      ed->titles("lstPreviewTasks").join(','),
                      preview()->findChild<QLabel*>("lblPreviewTitle")->text(),
                      preview()->document()->toPlainText(),
                      ::marks(preview()->document())};
    if (const QStringList findings = ed->titles("lstFindings"); !findings.isEmpty())
      shown << QString::number(findings.size()) + " " + findings.constLast();
    return shown.join(QLatin1String(" | "));
  }
  void openPreview() {
    QTest::keyClick(&ed->window, Qt::Key_F5);
    QVERIFY(preview() && preview()->isVisible());
  }

private slots:
  void initTestCase() {
    QDir(dir.path()).mkpath("pics");
    QImage(8, 8, QImage::Format_RGB32).save(dir.filePath("pics/map.png"));
    QFile paa(dir.filePath("map.paa"));
    QVERIFY(paa.open(QIODevice::WriteOnly) && paa.write("not a picture Qt reads") > 0);
  }
  void init() {
    ed.reset(new EditorDriver);
    ed->window.appPath = QDir::toNativeSeparators(dir.path());
  }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

  // The steps of EditorDriver::run on two tasks, Take and Hold, with Hold
  // selected: what the preview shows afterwards, in step with the box's
  // working copy. " / " lets the preview show what came before the next steps,
  // so that it changes only the lines an edit touches.
  void showsWhatTheEditorHolds_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    const QString lines = QStringLiteral("type \na\n<marker name='m'>b\nc</marker>\n\nd &amp;e\nf / ");
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
        {"picture outside the folder", "type <img image='..\\pics\\map.png'/>", "+\n..\\pics\\map.png\n | framed ..\\pics\\map.png | 1 warning: task 2 \"Hold\", text 1:10: The picture \"..\\pics\\map.png\" is not in the mission folder"},
        {"picture without a file", "type <img width='9'/>", "+\n(no file)\n | framed (no file) | 1 warning: task 2 \"Hold\", text 1:10: The picture tag <img width='9'/> names no file"},
        {"literal", "type  <b>bold</b> a < b &amp;&lt;i&gt;&#169;</font>", "+ <b>bold</b> a < b &<i>\u00A9</font> |  | 2 warning: task 2 \"Hold\", text 1:18: The game does not know the tag </b>"},
        {"a lone CR and LF from a file", "open " QUILLFORT_TEST_DATA "/texts_and_quotes.sqf; notes",
         "WEST | The \"Old\" Mill | \u25B6 Say \"hi\" | The \"Old\" Mill | Go here\ntyped \nstays lone CR lone LF \n | link here marker:m tip m | 1 warning: task 1 \"Say \"hi\"\", text 2:4: The character U+00E9 \"\u00E9\" is outside ASCII: the game reads the script as UTF-8 and shows another character (2 such characters in all)"},
        {"65,536 characters", "fill 65527 x", "+{65527x} |  | 1 warning: the briefing: The script would be 66,166 bytes: it saves, but only its first 32,767 bytes can be opened again"},
        {"65,537 characters", "fill 65528 x", "+{65527x}\n(1 more characters not shown) |  | 1 warning: the briefing: The script would be 66,167 bytes: it saves, but only its first 32,767 bytes can be opened again"},
        {"500 findings", "fill 500 &", "+{500&} |  | 500 warning: task 2 \"Hold\", text 1:509: A bare \"&\" cuts the text here in the game: write it as \"&amp;\""},
        {"501 findings", "fill 501 &", "+{501&} |  | 501 ... and 1 more"},
        // Each command, as it runs.
        {"typing", "type !", "+! | "},
        {"undo", "type ! / undo", "+ | "},
        {"selection", "pick 0", "WEST |  | Take,Hold | Take | take text | "},
        {"create", "new Rest", "WEST |  | Take,Hold,Rest | Hold | hold text | "},
        {"rename", "rename Stay", "WEST |  | Take,Stay | Stay | hold text | "},
        {"delete", "del", "WEST |  | Take | Take | take text | "},
        {"move", "up", "WEST |  | Hold,Take | Hold | hold text | "},
        {"side", "side", "EAST |  | Take,Hold | Hold | hold text | "},
        {"current task", "cur", "WEST |  | Take,\u25B6 Hold | Hold | hold text | "},
        {"another current task", "cur / pick 0; cur", "WEST |  | \u25B6 Take,Hold | Take | take text | "},
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
    // "+" stands for the preview before the steps, "{NC}" for N times the character C.
    const auto row = [](const char* name, const QString& steps, const char* expected) {
      QString shown = QString::fromUtf8(expected).replace(QRegularExpression("^\\+"),
                                                          "WEST |  | Take,Hold | Hold | hold text");
      const QRegularExpressionMatch many = QRegularExpression("\\{(\\d+)(.)\\}").match(shown);
      if (many.hasMatch())
        shown.replace(many.capturedStart(), many.capturedLength(),
                      QString(many.captured(1).toInt(), many.captured(2)[0]));
      QTest::newRow(name) << steps << shown;
    };
    for (const auto& [name, steps, expected] : rows)
      row(name, steps, expected);
    for (const auto& [name, steps, expected] : edits)
      row(name, lines + steps, expected);
  }
  void showsWhatTheEditorHolds() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    ed->addEntries("lstTasks", {"Take", "Hold"});
    ed->selectRow("lstTasks", 0); // stores Hold's text: a move would not
    ed->selectRow("lstTasks", 1);
    openPreview();
    QTRY_COMPARE(shows(), QStringLiteral("WEST |  | Take,Hold | Hold | hold text | "));
    for (const QString& phase : steps.split(QLatin1String(" / "))) {
      ed->run(phase);
      QCoreApplication::processEvents();
    }
    QTRY_COMPARE(shows(), expected);
    for (int i = 0; i < ed->list("lstPreviewTasks")->count(); ++i) // the current task in bold too
      QCOMPARE(ed->list("lstPreviewTasks")->item(i)->font().bold(),
               ed->titles("lstPreviewTasks")[i].startsWith(u'\u25B6'));
    // The preview reads the box; only the editor's own commands store it.
    if (steps == "type !")
      QCOMPARE(ed->window.taskText.value(1), QStringLiteral("hold text"));
  }

  // F5 opens one preview and raises it again; the boxes' context menus end
  // with the same command, F5 beside it, after Qt's own entries. The preview
  // closes with the editor.
  void f5AndTheContextMenuOpenThePreview() {
    const auto before = ed->window.findChildren<QWidget*>().size();
    for (int i = 0; i < 2; ++i) {
      QTest::keyClick(&ed->window, Qt::Key_F5);
      QVERIFY(preview() && preview()->isWindow() && preview()->isVisible() && !preview()->isModal());
      QCOMPARE(preview()->windowTitle(), QStringLiteral("Briefing Preview"));
      preview()->close();
    }
    QCOMPARE(ed->window.findChildren<frmPreview*>().size(), 1);
    ed->create("Take");
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
    QPlainTextEdit* box = ed->box("txtTasks");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            box->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box->viewport(), &event);
    QVERIFY(menu.size() > 3 && menu.first().startsWith(QStringLiteral("&Undo")));
    QCOMPARE(menu.mid(menu.size() - 2), (QStringList{"-", "Preview Briefing\tF5"}));
    QTRY_VERIFY(preview()->isVisible());
    // Nothing new on the editor window but the preview itself.
    QCOMPARE(ed->window.findChildren<QWidget*>().size() - before,
             preview()->findChildren<QWidget*>().size() + 1);
    ed->window.close();
    QVERIFY(!preview()->isVisible());
  }
};

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
