// Several sides in the window: WEST, EAST and the game master's written with
// the keys, the side buttons and the side button's menu; saved, cleared,
// opened and found again, each save the writer's bytes.
#include "support/EditorDriver.h"

class tst_editor_sides : public QObject {
  Q_OBJECT
  QTemporaryDir scripts; // %1 in the rows

private slots:
  void sides_data() {
    // WEST's Hold, EAST's Intel note and the game master's current Watch.
    const QStringList three{"add Hold",           "key cmdSide Ctrl+2", "page Notes",      "add Intel",
                            "key cmdSide Ctrl+5", "add Watch",          "click cmdCurTask"};
    const QStringList reopened =
        three + QStringList{"save %1/a.sqf", "yes", "click cmdClear", "open %1/a.sqf"};
    // RESISTANCE's Ambush, CIVILIAN's Town note.
    const QStringList two{"create Ambush", "key cmdSide Ctrl+3", "page Notes", "create Town"};
    const QString others = ", RESISTANCE, CIVILIAN, GAME MASTER";
    addRows({
        {"a side aside, another in the window, each with its current task",
         {{{"add A,B", "pick 1", "click cmdCurTask", "key cmdSide Ctrl+2"},
           {.tasks = "",
            .boxes = " / ",
            .current = "",
            .side = "EAST",
            .caption = "Quillfort [EAST]",
            .sideButtons = "WEST (2), EAST*" + others}},
          {{"click cmdEditSide1"}, {.tasks = "[A], B", .current = "B", .side = "WEST"}}}},
        {"three sides saved; Clear names them all and takes them all",
         {{three + QStringList{"save %1/a.sqf"},
           {.side = "LOGIC",
            .saved = "sides_three_by_keys.sqf",
            .sideButtons = "WEST (1), EAST (1), RESISTANCE, CIVILIAN, GAME MASTER*"}},
          {{"yes", "click cmdClear"},
           {.caption = "Quillfort",
            .asked =
                "Clear Quillfort: All data in the work area will be lost, the briefings of WEST, EAST and "
                "the Game Master (LOGIC) with it!\r\n\r\nAre you sure? [YesNo | Critical]",
            .sideButtons = "WEST, EAST, RESISTANCE, CIVILIAN, GAME MASTER*"}}}},
        {"opened again: the first side in the window, the others aside, saved byte for byte",
         {{reopened, {.tasks = "[Hold]", .side = "WEST", .caption = "Quillfort - %1/a.sqf [WEST]"}},
          {{"key cmdSide Ctrl+5", "save %1/b.sqf"},
           {.tasks = "[Watch]", .current = "Watch", .side = "LOGIC", .saved = "sides_three_by_keys.sqf"}}}},
        // The side button moves the window's briefing round the playable
        // sides, past those that hold a briefing, which it can always bring
        // back; the game master's it leaves where it is.
        {"the side button passes over held sides",
         {{two + QStringList{"click cmdSide"}, {.side = "CIVILIAN"}}, {{"click cmdSide"}, {.side = "EAST"}}}},
        {"the side button with every other side held",
         {{two + QStringList{"click cmdSide", "key cmdSide Ctrl+Shift+2", "key cmdSide Ctrl+Shift+3", "yes",
                             "key cmdSide Ctrl+Shift+1"},
           {}},
          {{"ok", "click cmdSide"},
           {.side = "WEST",
            .asked = "Toggle side: Every other side holds a briefing of its own.\r\n\r\nPick a side's "
                     "briefing with Ctrl+1 to Ctrl+5 to edit it. [Information]"}}}},
        {"the side button on the game master's",
         {{{"key cmdSide Ctrl+5", "create Watch", "ok", "click cmdSide"},
           {.side = "LOGIC",
            .asked = "Create Task: Enter the task to create: [input] / Toggle side: The side button moves "
                     "the briefings of WEST, EAST, RESISTANCE and CIVILIAN; the Game Master's briefing "
                     "stays the Game Master's.\r\n\r\nCopy it to a side with Ctrl+Shift+1 to "
                     "Ctrl+Shift+4. [Information]"}}}},
        {"copying to a side that holds a briefing asks",
         {{two, {}},
          {{"no", "key cmdSide Ctrl+Shift+1"},
           {.side = "RESISTANCE",
            .asked =
                "Copy Briefing: The briefing of WEST holds 0 notes and 1 task.\r\n\r\nReplace it with "
                "a copy of this briefing? [YesNo | Question]"}}}},
        // The keys work whatever the menu greyed out for the side it showed.
        {"the side keys after the menu",
         {{{"create Hold", "menu cmdSide", "key cmdSide Ctrl+2", "key cmdSide Ctrl+1"},
           {.tasks = "[Hold]",
            .side = "WEST",
            .menu =
                "Edit the Briefing of WEST (in the window)\tCtrl+1 [off] / Edit the Briefing of EAST\tCtrl+2 "
                "/ "
                "Edit the Briefing of RESISTANCE\tCtrl+3 / Edit the Briefing of CIVILIAN\tCtrl+4 / - / Edit "
                "the Briefing of the Game Master (LOGIC)\tCtrl+5 / - / Copy This Briefing To"}}}},
        // An empty side in the window and one other holding entries: that
        // side's script alone.
        {"an empty side in the window",
         {{{"page Notes", "create First", "create Second", "pick 1", "type Radio silence.",
            "key cmdSide Ctrl+2", "save %1/w.sqf"},
           {.side = "EAST", .saved = "notes_only_west.sqf"}}}},
    });
  }
  void sides() {
    QFETCH(Row, row);
    EditorDriver ed;
    ed.check(row, scripts.path());
  }
};

QTEST_MAIN(tst_editor_sides)
#include "tst_editor_sides.moc"
