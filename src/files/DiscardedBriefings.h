#pragma once

#include "core/format/Briefing.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <string>

// Briefings that a command discarded without a save (Exit, the window's close
// box, Open, a confirmed Clear), kept as scripts in the user's own data
// folder, so that nothing typed is lost for good. Keeping never asks and
// never fails a command: a briefing that cannot be kept is lost as before.
namespace DiscardedBriefings {

// How many are kept: a new one removes the oldest past this.
inline constexpr int kKept = 20;

// Qt's standard folder for the program's local data, "discarded" in it.
QString folder();

// Writes the script, atomically, as a new file named by the time and the
// briefing's sides and counts, then removes all but the newest kKept. The
// file's path, or an empty string when it could not be kept.
QString keep(const std::string& script, const Briefing& briefing,
             const QDateTime& when = QDateTime::currentDateTime());

struct Kept {
  QString path;
  QString shown; // its time, sides, counts and first titles, on one line
};
// The kept briefings, newest first.
QList<Kept> list();

// Remembers that the run ends with this briefing kept; the next start asks
// for it once (an empty string: nothing to tell).
void markLastRun(const QString& keptPath);
QString takeLastRun();

// The briefing's sides and counts, as a file name and a list name them:
// "WEST 2 notes 3 tasks, EAST 1 note 0 tasks".
QString describe(const Briefing& briefing);

} // namespace DiscardedBriefings
