// The preview window through the real editor: F5 and the context menu open
// it, it renders the game's tags, follows every command live, and choosing a
// title or a finding in it selects the entry in the editor.
#include "preview/StructuredTextHtml.h"
#include "preview/frmPreview.h"
#include "support/EditorDriver.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>

namespace {

// What the document shows of its fragments that are not plain text: links
// with their tooltips, colours, pictures with their size, framed tables.
QString marks(const QTextDocument* doc) {
  QStringList out;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat format = f.charFormat();
      if (format.isImageFormat()) {
        const QTextImageFormat image = format.toImageFormat();
        out << QStringLiteral("image %1 %2x%3")
                   .arg(QFileInfo(QUrl(image.name()).toLocalFile()).fileName())
                   .arg(image.width())
                   .arg(image.height());
      } else if (format.isAnchor()) {
        out << QStringLiteral("link %1 %2 tip %3").arg(f.text(), format.anchorHref(), format.toolTip());
      } else if (format.foreground().style() != Qt::NoBrush && format.foreground().color() != Qt::black) {
        out << QStringLiteral("%1 in %2").arg(f.text(), format.foreground().color().name());
      }
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
  // The preview as a user reads it: side | notes | tasks | title | text | marks.
  QString shows() const {
    return QStringList{preview()->findChild<QLabel*>("lblPreviewSide")->text(),
                       ed->titles("lstPreviewNotes").join(','),
                       ed->titles("lstPreviewTasks").join(','),
                       preview()->findChild<QLabel*>("lblPreviewTitle")->text(),
                       preview()->document()->toPlainText(),
                       ::marks(preview()->document())}
        .join(QLatin1String(" | "));
  }
  void openPreview() {
    QTest::keyClick(&ed->window, Qt::Key_F5);
    QVERIFY(preview() && preview()->isVisible());
  }

private slots:
  void init() {
    ed.reset(new EditorDriver);
    ed->window.appPath = QDir::toNativeSeparators(dir.path());
  }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

  void rendersTheGameTags_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("marks");
    const char* rows[][4] = {
        {"line breaks", "one<br/>two\nthree", "one\ntwo\nthree", ""},
        {"marker", "Go <marker name='obj 1'>here</marker> now", "Go here now",
         "link here marker:obj%201 tip obj 1"},
        {"execute, never a command", "<execute expression=\"hint 'x'\">Hint</execute>", "Hint",
         "link Hint execute:hint%20%27x%27 tip hint 'x'"},
        {"font colour", "<font color='#ff0000' size='2' face='Arial'>red</font> plain", "red plain",
         "red in #ff0000"},
        {"picture in the folder", "<img image='pics\\map.png' width='200' height='200'/>", "\uFFFC",
         "image map.png 200x200"},
        {"picture Qt cannot read", "<img image='map.paa'/>", "\nmap.paa\n", "framed map.paa"},
        {"picture not there", "<img image='gone.jpg'/>", "\ngone.jpg\n", "framed gone.jpg"},
        {"literal", "<b>bold</b> a < b & c &amp; &lt;i&gt; </font>", "<b>bold</b> a < b & c & <i> </font>",
         ""},
    };
    for (const auto& row : rows)
      QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]) << QString(row[3]);
  }
  void rendersTheGameTags() {
    QFETCH(QString, text);
    QFETCH(QString, plain);
    QFETCH(QString, marks);
    QDir(dir.path()).mkpath("pics");
    QImage(8, 8, QImage::Format_RGB32).save(dir.filePath("pics/map.png"));
    QFile paa(dir.filePath("map.paa"));
    QVERIFY(paa.open(QIODevice::WriteOnly) && paa.write("not a picture Qt reads") > 0);
    paa.close();
    ed->showPage(1);
    ed->create("Intel");
    ed->type("txtNotes", text);
    openPreview();
    QCOMPARE(preview()->document()->toPlainText(), plain);
    QCOMPARE(::marks(preview()->document()), marks);
  }

  // Typing changes only the lines it touches in the shown document; what is
  // shown stays what a fresh rendering of the whole text shows.
  void keepsTheTextInStepWhileTyping_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed"); // empty: Delete
    QTest::newRow("inside a line") << 2 << 0 << "x";
    QTest::newRow("a new line in the middle") << 6 << 0 << "\nnew";
    QTest::newRow("join two lines") << 1 << 1 << "";
    QTest::newRow("lines removed") << 1 << 30 << "";
    QTest::newRow("empty lines at the end") << 40 << 0 << "\n\n";
    QTest::newRow("a line at the start") << 0 << 0 << "top\n";
    QTest::newRow("a line at the end") << 44 << 0 << "\nz";
    QTest::newRow("the last line removed") << 42 << 2 << "";
    QTest::newRow("close the marker early") << 20 << 0 << "</marker>";
    QTest::newRow("everything") << 0 << 40 << "z";
  }
  void keepsTheTextInStepWhileTyping() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, typed);
    ed->create("Hold");
    ed->type("txtTasks", "a\n<marker name='m'>b\nc</marker>\n\nd &amp; e\nf");
    openPreview();
    QTRY_COMPARE(preview()->document()->blockCount(), 6);
    ed->selectText("txtTasks", start, length);
    if (typed.isEmpty())
      QTest::keyClick(ed->box("txtTasks"), Qt::Key_Delete);
    const QStringList lines = typed.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i)
        QTest::keyClick(ed->box("txtTasks"), Qt::Key_Return);
      QTest::keyClicks(ed->box("txtTasks"), lines[i]);
    }
    QTextDocument fresh;
    fresh.setHtml(structuredTextToHtml(ed->window.boxText(ed->box("txtTasks")), {}, 10));
    QTRY_COMPARE(preview()->document()->toPlainText(), fresh.toPlainText());
    QCOMPARE(::marks(preview()->document()), ::marks(&fresh));
    QCOMPARE(preview()->document()->blockCount(), fresh.blockCount());
  }

  void followsEveryCommand_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    const char* rows[][3] = {
        {"typing", "type !", "WEST |  | Take,Hold | Hold | hold text! | "},
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
        {"order", "new Take; pick 2; cur; notes; add Zulu,Alpha",
         "WEST | Zulu,Alpha | \u25B6 Take,Hold,Take | Alpha | alpha text | "},
        {"page", "notes", "WEST |  | Take,Hold |  |  | "},
        {"marker", "sel 0 4; marker m", "WEST |  | Take,Hold | Hold | hold text | link hold marker:m tip m"},
        {"open", "open " QUILLFORT_TEST_DATA "/worked_example.sqf",
         "EAST | Intel | Take the bridge,\u25B6 Hold the town | Take the bridge | Cross at dawn. | "},
        {"clear", "clear", "WEST |  |  |  |  | "},
    };
    for (const auto& row : rows)
      QTest::newRow(row[0]) << QString(row[1]) << QString::fromUtf8(row[2]);
  }
  void followsEveryCommand() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    ed->addEntries("lstTasks", {"Take", "Hold"});
    ed->selectRow("lstTasks", 0); // stores Hold's text: a move would not
    ed->selectRow("lstTasks", 1);
    openPreview();
    QTRY_COMPARE(shows(), QStringLiteral("WEST |  | Take,Hold | Hold | hold text | "));
    for (const QString& phase : steps.split(QLatin1String(" / "))) { // " / ": shown before what follows
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

  // A title or a finding chosen in the preview selects its entry as a click in
  // the editor would: the outgoing box stored, the incoming loaded, the page
  // switched; a finding also puts the cursor at its place.
  void choosingInThePreviewSelectsInTheEditor_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    QTest::newRow("title")
        << "lstPreviewTasks" << 0
        << "page:Tasks | T:Take0*,Hold1 | box:take text | Take | hold text\r\nfish & chips";
    QTest::newRow("finding") << "lstFindings" << 1
                             << "page:Tasks | T:Take0,Hold1* | box:hold text\nfish & chips | Hold | 2:6";
  }
  void choosingInThePreviewSelectsInTheEditor() {
    QFETCH(QString, list);
    QFETCH(int, row);
    QFETCH(QString, expected);
    ed->run("add Take,Hold; type \nfish & chips; notes; add Intel; type  <img image='gone.jpg'/>");
    openPreview();
    QListWidget* chosen = ed->list(qPrintable(list));
    QTRY_COMPARE(
        ed->titles("lstFindings").join(','),
        QStringLiteral("warning: note 1 \"Intel\", text 1:12: The picture \"gone.jpg\" is not in the "
                       "mission folder,warning: task 2 \"Hold\", text 2:6: A bare \"&\" cuts the text "
                       "here in the game: write it as \"&amp;\""));
    QTest::mouseClick(chosen->viewport(), Qt::LeftButton, {},
                      chosen->visualItemRect(chosen->item(row)).center());
    // The title row also shows the outgoing text stored, the finding row the cursor.
    const QTextCursor cursor = ed->box("txtTasks")->textCursor();
    const QString after =
        row ? QStringLiteral("%1:%2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1)
            : ed->window.taskText.value(1);
    QTRY_COMPARE(ed->state("page | T | box") + " | " +
                     preview()->findChild<QLabel*>("lblPreviewTitle")->text() + " | " + after,
                 expected);
    QCOMPARE(ed->boxShows("txtNotes"), QStringLiteral("intel text <img image='gone.jpg'/>"));
  }

  // F5 opens one preview and raises it again; the boxes' context menus end
  // with the same command, F5 beside it, after Qt's own entries.
  void f5AndTheContextMenuOpenThePreview() {
    const auto before = ed->window.findChildren<QWidget*>().size();
    QTest::keyClick(&ed->window, Qt::Key_F5);
    QVERIFY(preview());
    QCOMPARE(preview()->windowTitle(), QStringLiteral("Briefing Preview"));
    QVERIFY(preview()->isWindow() && preview()->isVisible() && !preview()->isModal());
    preview()->close();
    QTest::keyClick(&ed->window, Qt::Key_F5);
    QVERIFY(preview()->isVisible());
    QCOMPARE(ed->window.findChildren<frmPreview*>().size(), 1);
    preview()->close();

    ed->create("Take");
    QStringList menu;
    QTimer::singleShot(0, this, [&menu] {
      auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(popup);
      for (QAction* action : popup->actions())
        menu << (action->isSeparator() ? QStringLiteral("-")
                                       : action->text() + QLatin1Char('\t') + action->shortcut().toString());
      popup->actions().constLast()->trigger();
      popup->close();
    });
    QPlainTextEdit* box = ed->box("txtTasks");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            box->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box->viewport(), &event);
    QVERIFY(menu.size() > 3);
    QCOMPARE(menu.mid(menu.size() - 2), (QStringList{"-", "Preview Briefing\tF5"}));
    QVERIFY(menu.first().startsWith(QStringLiteral("&Undo")));
    QTRY_VERIFY(preview()->isVisible());
    // Nothing new on the editor window but the preview itself.
    QCOMPARE(ed->window.findChildren<QWidget*>().size() - before,
             preview()->findChildren<QWidget*>().size() + 1);
    // Closing the editor closes the preview with it.
    ed->window.close();
    QVERIFY(!preview()->isVisible());
  }
};

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
