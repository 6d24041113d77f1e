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
    const QStringList three{"add Hold", "key cmdSide Ctrl+2", "page Notes", "add Intel", "key cmdSide Ctrl+5",
                            "add Watch", "click cmdCurTask"};
    const QStringList reopened = three + QStringList{"save %1/a.sqf", "yes", "click cmdClear", "open %1/a.sqf"};
    // RESISTANCE's Ambush, CIVILIAN's Town note.
    const QStringList two{"add Ambush", "key cmdSide Ctrl+3", "page Notes", "add Town", "click cmdSide"};
    const QStringList copied = two + QStringList{"click cmdSide", "yes", "key cmdSide Ctrl+Shift+1"};
    const QString held = ", RESISTANCE, CIVILIAN, GAME MASTER";
    addRows({
        {"WEST aside", {{{"add Hold", "key cmdSide Ctrl+2"},
                         {.tasks = "", .notes = "", .boxes = " / ", .current = "", .side = "EAST", .caption = "Quillfort [EAST]", .sideButtons = "WEST (1), EAST*" + held}}}},
        {"three", {{three, {.tasks = "Watch0*", .notes = "", .boxes = "watch text / ", .current = "Watch", .side = "LOGIC", .caption = "Quillfort [LOGIC]", .sideButtons = "WEST (1), EAST (1), RESISTANCE, CIVILIAN, GAME MASTER*"}}}},
        {"Clear names the sides it clears, and takes them all",
         {{three + QStringList{"save %1/a.sqf"}, {.saved = "sides_three_by_keys.sqf"}},
          {{"yes", "click cmdClear", "key cmdSide Ctrl+2"},
           {.tasks = "", .notes = "", .side = "EAST", .caption = "Quillfort", .asked = "Clear Quillfort: All data in the work area will be lost, the briefings of WEST, EAST and the "
                     "Game Master (LOGIC) with it!\r\n\r\nAre you sure? [20]", .sideButtons = "WEST, EAST*" + held}}}},
        {"opened, WEST", {{reopened, {.tasks = "Hold0*", .notes = "", .boxes = "hold text / ", .current = "", .side = "WEST", .caption = "Quillfort - %1/a.sqf [WEST]"}}}},
        {"opened, EAST", {{reopened + QStringList{"click cmdEditSide2"},
                           {.tasks = "", .notes = "Intel0*", .boxes = " / intel text", .side = "EAST", .caption = "Quillfort - %1/a.sqf [EAST]"}}}},
        {"opened, LOGIC, saved again", {{reopened + QStringList{"key cmdSide Ctrl+5", "save %1/b.sqf"},
                                         {.tasks = "Watch0*", .current = "Watch", .side = "LOGIC", .saved = "sides_three_by_keys.sqf"}}}},
        {"to CIVILIAN", {{two, {.notes = "Town0*", .side = "CIVILIAN", .caption = "Quillfort [CIVILIAN]"}}}},
        {"past WEST", {{two + QStringList{"click cmdSide"}, {.notes = "Town0*", .side = "EAST"}}}},
        {"copy asks, No", {{two + QStringList{"click cmdSide"}, {}},
                           {{"no", "key cmdSide Ctrl+Shift+1"},
                            {.notes = "Town0*", .side = "EAST", .asked = "Copy Briefing: The briefing of WEST holds 0 notes and 1 task.\r\n\r\nReplace it "
                                      "with a copy of this briefing? [36]"}}}},
        {"copy, Yes", {{copied, {.notes = "Town0*", .side = "WEST", .sideButtons = "WEST*, EAST (1)" + held}}}},
        {"every side held", {{copied + QStringList{"key cmdSide Ctrl+2", "key cmdSide Ctrl+Shift+3",
                                                   "key cmdSide Ctrl+Shift+4"}, {}},
                             {{"ok", "click cmdSide"},
                              {.side = "CIVILIAN", .asked = "Toggle side: Every other side holds a briefing of its own.\r\n\r\nPick a "
                                        "side's briefing with Ctrl+1 to Ctrl+5 to edit it. [64]"}}}},
        // The side button moves only the four playable sides' briefings,
        // which it can always bring back; the game master's stays.
        {"the side button on the game master's", {{{"key cmdSide Ctrl+5", "create Watch"}, {}},
                                                  {{"ok", "click cmdSide"},
                                                   {.tasks = "Watch0*", .side = "LOGIC", .asked = "Toggle side: The side button moves the briefings of "
                                                             "WEST, EAST, RESISTANCE and CIVILIAN; the Game Master's "
                                                             "briefing stays the Game Master's.\r\n\r\nCopy it to a "
                                                             "side with Ctrl+Shift+1 to Ctrl+Shift+4. [64]"}}}},
        // The keys work whatever the menu greyed out for the side it showed.
        {"the side keys after the menu",
         {{{"add Hold", "menu cmdSide", "key cmdSide Ctrl+2", "key cmdSide Ctrl+1"},
           {.tasks = "Hold0*", .side = "WEST", .menu = "Edit the Briefing of WEST (in the window)\tCtrl+1 [off] / Edit the Briefing of EAST\tCtrl+2 / "
                    "Edit the Briefing of RESISTANCE\tCtrl+3 / Edit the Briefing of CIVILIAN\tCtrl+4 / - / Edit the "
                    "Briefing of the Game Master (LOGIC)\tCtrl+5 / - / Copy This Briefing To"}}}},
        // The current task goes with its side's briefing and comes back with it.
        {"the current task across a side switch",
         {{{"add A,B", "pick 1", "click cmdCurTask", "key cmdSide Ctrl+2"}, {.current = ""}},
          {{"key cmdSide Ctrl+1"}, {.tasks = "A0*, B1", .current = "B"}}}},
        // An empty side in the window and one other holding entries: that
        // side's script alone.
        {"an empty side in the window", {{{"page Notes", "create First", "create Second", "pick 1",
                                           "type Radio silence.", "key cmdSide Ctrl+2", "save %1/w.sqf"},
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
