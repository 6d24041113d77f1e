#pragma once

#include "gui/editor/frmBriefing.h"
#include "support/ScriptedDialogs.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

// A file's bytes, or "<no file>" when it cannot be read.
inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

// What a row expects the window to show after a stage. Only the fields the
// row names (in the order they are declared here) are compared; a list is
// its titles parted by ", ", the selected one in [brackets]; a text box's
// line breaks are "\n".
struct Shown {
  using Want = std::optional<QString>;
  Want tasks = {}, notes = {};         // lstTasks, lstNotes: "[Recon], Hold"
  Want taskSlots = {}, noteSlots = {}; // each entry's slot, in list order: "0 1"
  Want box = {};                       // the text box of the page shown
  Want boxes = {};                     // txtTasks, then txtNotes: "task text / note text"
  Want cursor = {};                    // the shown box's cursor position, and the selected text after a blank
  Want scroll = {};                    // "kept" when the stage left the shown box scrolled down where it was
  Want current = {};                   // lblCurTask
  Want side = {};                      // cmdSide
  Want page = {};                      // "Tasks" or "Notes"
  Want enabled = {};  // the enabled ones of cmdEdit, cmdDel, cmdCurTask, txtTasks, txtNotes, then
                      // "-NAME" for any other button, list, box or choice that is disabled
  Want taskText = {}; // taskText's slots, parted by " | "
  Want noteText = {};
  Want counts = {};      // "taskSlotCount noteSlotCount lastTaskIndex lastNoteIndex"
  Want caption = {};     // as the window system shows it
  Want path = {};        // appPath
  Want heard = {};       // what screen readers name the window, cmdSide and lblCurTask, parted by " | "
  Want asked = {};       // every dialog the stage showed, in order, parted by " / ": a message box
                         // "Title: prompt [YesNo | Question]", an input box "Title: prompt [input]", a
                         // file dialog "Open|Save in FOLDER, HideReadOnly", a list "Title: the lines"
  Want saved = {};       // which file under tests/data the stage's last save wrote, byte for byte
  Want encoding = {};    // cboEncoding's text
  Want sideButtons = {}; // the side buttons' captions, "*" on the pressed one
  Want hint = {};        // lblHint's text while it shows
  Want menu = {};        // the last context menu's entries (shortcut after a tab, "[off]" when greyed)
  Want kept = {};        // the briefings kept of discarded work, newest first, by sides and counts
  Want files = {};       // what the folder the test gives holds, every file and folder in it, sorted
  // The preview window, as a user reads it.
  Want previewSide = {}, previewNotes = {}, previewTasks = {}; // its lists: titles, U+25B6 on the current
  Want previewTitle = {}, previewText = {};                    // the selected entry's, as plain text
  Want previewMarks = {}; // links, colours, pictures and frames in the text
  Want findings = {};     // the check's lines, parted by " / "
};

// A stage of a row: the user's steps, then what the window shows.
struct Stage {
  QStringList steps;
  Shown shown;
};
struct Row {
  const char* name;
  QList<Stage> stages;
};
Q_DECLARE_METATYPE(Row)

// A data function's rows, in one column "row".
inline void addRows(std::initializer_list<Row> rows) {
  QTest::addColumn<Row>("row");
  for (const Row& row : rows)
    QTest::newRow(row.name) << row;
}

// The editor window on screen, with the steps a user takes. Each step is a
// verb and its argument (in double quotes where blanks at its ends matter):
//   click BUTTON        a mouse click on the button
//   key CONTROL KEYS    KEYS (as QKeySequence writes them) with the focus in CONTROL
//   page Tasks|Notes    a click on that row of lstBriefing
//   pick ROW            a click on that row of the shown page's list; ctrl-pick ROW with Ctrl
//   type TEXT           typed at the end of the shown box ("\n" is Return); put TEXT at the cursor
//                       (nothing: Delete); select START LENGTH with the arrow keys; paste N C:
//                       N times the character C (or U+XXXX) pasted at the end; undo; redo
//   yes, no, ok         the next message box answered with that button
//   enter TEXT          the next input box answered TEXT; cancel: the next input box cancelled
//   file PATH           the next file dialog answered PATH; file cancel: cancelled; file broken:
//                       it cannot come up
//   choose LINE         the next list to choose from answered with that line (0 the first)
//   create TITLE        enter TITLE, then click cmdAdd; rename TITLE: enter TITLE, click cmdEdit
//   add A,B,C           create each on the shown page, pick it and type "a text" (its title in lower
//                       case and " text")
//   save PATH, open PATH, import PATH: file PATH, then click cmdOK, cmdOpen or cmdImport
//   preview             F5; show LIST ROW: a click on a row of one of the preview's lists
//   menu CONTROL        the control's context menu opened, then closed with Escape
//   slots N             both slot counters set to N, as after N creates; folder PATH: appPath set
//   lock PATH           the file or folder made read-only; pipe PATH: a named pipe made there
//   argv [PATH]         the program started with PATH on its command line, or with nothing
//   wait                the events so far handled
// %1 in a step or an expectation is the folder the test gives; %N in an
// expectation that folder and a separator in the system's own form.
struct EditorDriver {
  ScriptedDialogs dialogs;
  frmBriefing window{dialogs};

  EditorDriver();

  template <class T> T* find(const QString& name) const {
    auto* w = window.findChild<T*>(name);
    if (!w)
      QTest::qFail(qPrintable("no control named " + name), __FILE__, __LINE__);
    return w;
  }
  QPushButton* button(const QString& name) const { return find<QPushButton>(name); }
  QListWidget* list(const QString& name) const { return find<QListWidget>(name); }
  QPlainTextEdit* box(const QString& name) const { return find<QPlainTextEdit>(name); }

  void run(const QString& step);
  // Runs each stage's steps and compares what the window then shows; the
  // answers a stage gives must all have been asked for.
  void check(const Row& row, const QString& folder = {});
  // The fields of want, each as "field: value", from what the window shows.
  QStringList shown(const Shown& want) const;
  QStringList titles(const QString& list) const;

private:
  QString shownList() const { return list("lstTasks")->isVisible() ? "lstTasks" : "lstNotes"; }
  QString shownBox() const { return list("lstTasks")->isVisible() ? "txtTasks" : "txtNotes"; }
  void type(const QString& box, const QString& text, bool atEnd = true);
  void clickRow(const QString& list, int row, Qt::KeyboardModifiers keys = {});
  void openMenu(QWidget* control);
  QString value(const QString& field) const; // a field of Shown as the window shows it
  qsizetype m_askedBefore = 0;               // requests made before the stage
  int m_scrollBefore = 0;                    // the shown box's scroll position before the last step
  QString m_saved;                           // the path of the last save
  QString m_folder;                          // the folder the test gives
  QStringList m_menu;                        // the last context menu's entries
};
