// Nothing typed is lost: what Exit, the close box, Open and Clear discard
// without a save is kept in the user's data folder, Recover brings it back,
// and the start after a run that ended so says it in the window.
#include "files/DiscardedBriefings.h"
#include "support/EditorDriver.h"

class tst_kept : public QObject {
  Q_OBJECT
  QTemporaryDir scripts; // %1 in the rows
  const QString worked = QStringLiteral("open " QUILLFORT_TEST_DATA "/worked_example.sqf");

private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() {
    QDir(DiscardedBriefings::folder()).removeRecursively();
    QFile::remove(DiscardedBriefings::folder());
  }

  // Each discarding command, with changes and without: kept by sides and
  // counts, newest first, or not at all.
  void discarding_data() {
    addRows({
        {"Clear with changes",
         {{{"add A", "yes", "click cmdClear"}, {.tasks = "", .kept = "WEST 0 notes 1 task"}}}},
        {"Clear of an empty window", {{{"yes", "click cmdClear"}, {.kept = ""}}}},
        {"Clear after a save", {{{"add A", "save %1/a.sqf", "yes", "click cmdClear"}, {.kept = ""}}}},
        {"Clear after an open", {{{worked, "yes", "click cmdClear"}, {.kept = ""}}}},
        {"Clear after an open and a change",
         {{{worked, "type x", "yes", "click cmdClear"}, {.kept = "EAST 1 note 2 tasks"}}}},
        {"Open with changes, kept before the window empties",
         {{{"add A", worked}, {.tasks = "[Take the bridge], Hold the town", .kept = "WEST 0 notes 1 task"}}}},
        {"a failed Open",
         {{{"add A", "ok", "open %1/none.sqf"}, {.tasks = "", .kept = "WEST 0 notes 1 task"}}}},
        {"every side",
         {{{"add Hold", "key cmdSide Ctrl+2", "create Intel", "yes", "click cmdClear"},
           {.kept = "WEST 0 notes 1 task, EAST 0 notes 1 task"}}}},
        {"newest first",
         {{{"add A", "yes", "click cmdClear", "add A,B", "yes", "click cmdClear"},
           {.kept = "WEST 0 notes 2 tasks / WEST 0 notes 1 task"}}}},
        // The briefing comes back as Open opens it, byte for byte, under no
        // file's name: Save asks where.
        {"Recover",
         {{{"add Take the bridge,Hold the town", "click cmdCurTask", "click cmdSide", "page Notes",
            "add Intel", "type \"\nLine two\"", "yes", "click cmdClear"},
           {.tasks = ""}},
          {{"choose 0", "click cmdRecover", "save %1/back.sqf"},
           {.tasks = "[Take the bridge], Hold the town",
            .side = "EAST",
            .caption = "Quillfort",
            .path = "%1",
            .saved = "saved_by_clicks.sqf"}}}},
        {"Recover with nothing kept",
         {{{"ok", "click cmdRecover"},
           {.asked =
                "Recover a Briefing: No briefing has been kept yet.\r\n\r\nWhen Exit, the close box, Open, "
                "Import or Clear discard a briefing that was not saved, Quillfort keeps it here. "
                "[Information]"}}}},
        {"Recover, Cancel",
         {{{"add A", "yes", "click cmdClear", "choose none", "click cmdRecover"}, {.tasks = ""}}}},
    });
  }
  void discarding() {
    QFETCH(Row, row);
    EditorDriver ed;
    ed.check(row, scripts.path());
  }

  // The last 20 are kept; a folder that cannot be written keeps nothing and
  // fails nothing.
  void theLastTwentyKept() {
    EditorDriver ed;
    for (int i = 0; i < 21; ++i)
      for (const QString& step : {"create " + QString::number(i), QString("yes"), QString("click cmdClear")})
        ed.run(step);
    QCOMPARE(DiscardedBriefings::list().size(), 20);
    QVERIFY(QDir(DiscardedBriefings::folder()).removeRecursively());
    QVERIFY(QFile(DiscardedBriefings::folder()).open(QIODevice::WriteOnly)); // a file where the folder goes
    ed.check({"", {{{"add A", "yes", "click cmdClear"}, {.tasks = "", .kept = ""}}}});
  }

  // Exit keeps the unsaved briefing; the next start says so in the window,
  // its caption and controls as at every start, and Recover brings it back.
  void theNextStartSaysSo() {
    {
      EditorDriver ed;
      ed.run("add Take the bridge");
      ed.run("click cmdCancel");
    }
    EditorDriver next;
    next.check({"",
                {{{},
                  {.tasks = "",
                   .caption = "Quillfort",
                   .hint = "The briefing you closed last time without saving was kept (WEST 0 notes 1 "
                           "task). Press Recover to bring it back."}},
                 {{"choose 0", "click cmdRecover"}, {.tasks = "[Take the bridge]", .hint = "not shown"}}}});
    EditorDriver third; // said once
    third.check({"", {{{"wait"}, {.hint = "not shown"}}}});
  }
};

QTEST_MAIN(tst_kept)
#include "tst_kept.moc"
