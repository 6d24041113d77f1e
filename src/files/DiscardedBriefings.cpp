#include "files/DiscardedBriefings.h"

#include "core/reader/BriefingScriptReader.h"
#include "core/system/RuntimeError.h"
#include "files/QtText.h"
#include "files/ScriptFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

constexpr char kTimeFormat[] = "yyyy-MM-dd HH-mm-ss";
constexpr char kLastRun[] = "last run.txt";

QString counted(std::size_t n, const char* one, const char* many) {
  return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// The kept scripts, oldest first: their names start with the time.
QStringList keptNames() {
  return QDir(DiscardedBriefings::folder()).entryList({QStringLiteral("*.sqf")}, QDir::Files, QDir::Name);
}

} // namespace

QString DiscardedBriefings::folder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
      .filePath(QStringLiteral("discarded"));
}

QString DiscardedBriefings::describe(const Briefing& briefing) {
  QStringList sides; // in the order of the script's blocks
  for (std::size_t i = 0; i < kSides.size(); ++i)
    if (const SideBriefing* side = briefing.find(static_cast<Side>(i)); side && side->holdsEntries())
      sides << toQString(kSides[i].word) + QLatin1Char(' ') + counted(side->notes.size(), "note", "notes") +
                   QLatin1Char(' ') + counted(side->tasks.size(), "task", "tasks");
  return sides.join(QStringLiteral(", "));
}

QString DiscardedBriefings::keep(const std::string& script, const Briefing& briefing, const QDateTime& when) {
  const QDir dir(folder());
  if (!QDir().mkpath(dir.path()))
    return QString();
  const QString stem = when.toString(QLatin1String(kTimeFormat)) + QLatin1Char(' ') + describe(briefing);
  QString path = dir.filePath(stem + QStringLiteral(".sqf"));
  for (int n = 2; QFile::exists(path); ++n)
    path = dir.filePath(stem + QStringLiteral(" (%1).sqf").arg(n));
  try {
    ScriptFile::write(QDir::toNativeSeparators(path), script);
  } catch (const RuntimeError&) {
    return QString();
  }
  const QStringList names = keptNames();
  for (qsizetype i = 0; i + kKept < names.size(); ++i)
    QFile::remove(dir.filePath(names[i]));
  return QDir::toNativeSeparators(path);
}

QList<DiscardedBriefings::Kept> DiscardedBriefings::list() {
  QList<Kept> kept;
  const QDir dir(folder());
  const QStringList names = keptNames();
  for (auto name = names.crbegin(); name != names.crend(); ++name) {
    const QString path = QDir::toNativeSeparators(dir.filePath(*name));
    const QDateTime when = QDateTime::fromString(name->left(19), QLatin1String(kTimeFormat));
    QString shown = when.isValid() ? QLocale().toString(when, QLocale::ShortFormat) : name->left(19);
    try {
      const Briefing briefing = readBriefingScript(ScriptFile::read(path), Side::West).briefing;
      for (const SideBriefing& side : briefing.sides) {
        if (!side.holdsEntries())
          continue;
        QStringList titles;
        for (const auto* list : {&side.tasks, &side.notes})
          for (std::size_t i = 0; i < list->size() && titles.size() < 3; ++i)
            titles << QLatin1Char('"') + toQString((*list)[i].title) + QLatin1Char('"');
        shown += QStringLiteral(" \u2014 %1: %2, %3 (%4)")
                     .arg(toQString(infoOf(side.side).word), counted(side.notes.size(), "note", "notes"),
                          counted(side.tasks.size(), "task", "tasks"), titles.join(QStringLiteral(", ")));
      }
    } catch (const RuntimeError& e) {
      shown += QStringLiteral(" \u2014 cannot be read: Err # %1").arg(e.number);
    }
    kept.append({path, shown});
  }
  return kept;
}

void DiscardedBriefings::markLastRun(const QString& keptPath) {
  QFile marker(QDir(folder()).filePath(QLatin1String(kLastRun)));
  if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
    marker.write(keptPath.toUtf8());
}

QString DiscardedBriefings::takeLastRun() {
  QFile marker(QDir(folder()).filePath(QLatin1String(kLastRun)));
  if (!marker.open(QIODevice::ReadOnly))
    return QString();
  const QString path = QString::fromUtf8(marker.readAll());
  marker.close();
  marker.remove();
  return QFile::exists(path) ? path : QString();
}
