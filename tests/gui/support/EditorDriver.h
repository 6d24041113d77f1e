#pragma once

#include "gui/editor/frmBriefing.h"
#include "support/ScriptedDialogs.h"

#include <QtTest>
#include <QtWidgets>

// A file's bytes, or "<no file>" when it cannot be read.
inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

// The editor window on screen, with the steps a user takes: click a button,
// pick a row, type into a box. Input and message boxes are answered from the
// scripted dialogs, which the test fills before each step that asks.
struct EditorDriver {
  ScriptedDialogs dialogs;
  frmBriefing window{dialogs};

  EditorDriver();

  QPushButton* button(const char* name) const;
  QListWidget* list(const char* name) const;
  QPlainTextEdit* box(const char* name) const;

  void click(const char* name);
  // Answer the title, then click Create.
  void create(const QString& title) { dialogs.answerInput(title), click("cmdAdd"); }
  void showPage(int row) { selectRow("lstBriefing", row); } // 0 Tasks, 1 Notes
  void selectRow(const char* list, int row, Qt::KeyboardModifiers keys = {});
  // Types at the end of the text, or at the cursor over the selection; "\n" is Return.
  void type(const char* box, const QString& text, bool atEnd = true);
  void selectText(const char* box, int start, int length); // with the arrow keys
  // Creates entries on the list's page, each with the text "<title> text"
  // (in lower case) typed into its box; the last one stays selected.
  void addEntries(const char* list, const QStringList& titles);
  // Runs steps separated by "; ", each a verb and its argument, on the page
  // shown: "tasks", "notes", "new TITLE", "add A,B" (addEntries), "pick ROW",
  // "unpick ROW" (a Ctrl+click), "type TEXT" (at the end), "put TEXT" (at
  // the cursor; nothing: Delete), "fill N C" (N times the character C pasted at the end), "sel
  // START LENGTH", "undo", "redo", "cur", "side", "up", "down", "clear"
  // (answered Yes), and where the page's list has entries "del" (answered
  // Yes), "rename TITLE", "pic FILE", "marker NAME" (with nothing selected its
  // hint answered OK); "open PATH", "badopen PATH" (its error box answered
  // OK), "expect open" or "expect save" (the next file dialog cancelled),
  // "fail open" or "fail save" (the next file dialog cannot come up),
  // "save PATH" (Save, the dialog answered PATH), "answer BUTTON" (the next
  // message box answered Yes, No or OK), "argv [PATH]" (the program started
  // with PATH on its command line, or nothing), "preview" (F5), "choose LIST
  // ROW" (a click on a row of the preview's list, once it has the row),
  // "wait" (the events so far handled), "folder PATH" (appPath set),
  // "click BUTTON" (nothing answered), "press BUTTON" (a screen reader's
  // press), "key CONTROL KEYS" (KEYS as QKeySequence writes them, with the
  // focus in CONTROL), "ok BUTTON" (a message box answered OK), "no BUTTON"
  // (an input box answered Cancel, a message box No), "slots N" (both slot
  // counters set to N, as after N creates).
  void run(const QString& steps);
  // What the window shows, as "key:value" fields joined by " | ", for the
  // keys that want names (its values are ignored): T and N (each entry's
  // title and slot, "*" on the selected one), box (the shown page's), cursor
  // (its position, a blank and the selected text), scroll ("kept" when the
  // last step left the box scrolled down where it was), cur, side, page, on
  // (which of cmdEdit cmdDel cmdCurTask txtTasks txtNotes are enabled, then
  // "-NAME" for any other button, list or box that is not), taskText,
  // noteText, counts (slot counters, then last indexes), caption (as the
  // window system shows it), path (appPath), heard (what screen readers name
  // the window, cmdSide and lblCurTask), asked (prompt|title|style|default text of the last dialog
  // asked by the last run, empty for none; a file dialog's open or save|cancel
  // error|folder|flags|file name|filter), boxes (both boxes: tasks, notes),
  // saved (which file under tests/data the last "save" wrote the bytes of);
  // last, preview (as a user reads it: side | notes | tasks | title | text |
  // marks, then the number of findings and the last one, where there are any).
  QString state(const QString& want) const;
  // Runs the stages of steps parted by " >> ", each checked against its part
  // of shown as state() gives it; %1 stands for folder in both, and %N for
  // the folder and a separator in the system's own form.
  void check(const QString& steps, const QString& shown, const QString& folder);
  const ScriptedDialogs::Request& lastAsked() const { return dialogs.requests.constLast(); }
  // The last message box as "title|style|prompt".
  QString lastBox() const {
    return lastAsked().title + '|' + QString::number(lastAsked().style) + '|' + lastAsked().prompt;
  }

  QString boxShows(const char* name) const { return box(name)->toPlainText(); }
  QStringList titles(const char* list) const;

private:
  const char* shownBox() const { return list("lstTasks")->isVisible() ? "txtTasks" : "txtNotes"; }
  const char* shownList() const { return list("lstTasks")->isVisible() ? "lstTasks" : "lstNotes"; }
  QString entries(const char* list) const; // title and slot, "*" on the selected entry
  QString enabled() const;                 // the value of "on"
  QString previewShows() const;            // the value of "preview"
  qsizetype m_askedBefore = 0;             // requests made before the last run
  int m_scrollBefore = 0;                  // the shown box's scroll position before the last step
  QString m_saved;                         // the path of the last "save"
};
