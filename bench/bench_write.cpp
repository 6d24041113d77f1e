// Composing and saving the largest briefing, against a memcpy and a plain
// file write of the same bytes.
#include "BenchUtil.h"

#include "QuillfortVersion.h"
#include "platform/AnsiCodec.h"
#include "platform/ScriptFile.h"
#include "script_writer/BriefingScriptWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <deque>
#include <string>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// A text of about `size` characters that looks like a briefing: lines of
// prose with line breaks, a marker link, a quote now and then, accented
// letters that the code page holds.
std::u16string briefingText(std::size_t size, int seed) {
  const std::u16string line = u"Advance along the ridge to the <marker name='obj'>village</marker> at "
                              u"dawn; the \"old\" caf\u00e9 is the rally point (\u20ac50 per head).";
  std::u16string text;
  text.reserve(size + line.size() + 16);
  while (text.size() < size) {
    text += line;
    text += static_cast<char16_t>(u'0' + seed % 10);
    text += u"\r\n";
  }
  text.resize(size);
  return text;
}

// The snapshot holds views; the briefing keeps the texts they show.
struct Briefing {
  std::deque<std::u16string> texts;
  BriefingSnapshot snapshot;
};

Briefing largestBriefing(std::size_t textSize) {
  Briefing b;
  BriefingSnapshot& s = b.snapshot;
  s.side = u"RESISTANCE";
  for (int i = 0; i < 255; ++i) {
    const std::u16string letter(1, char16_t(u'A' + i % 26));
    s.notes.push_back({b.texts.emplace_back(u"Intelligence report " + letter),
                       b.texts.emplace_back(briefingText(textSize, i))});
    s.tasks.push_back({b.texts.emplace_back(u"Secure \"sector\" " + letter),
                       b.texts.emplace_back(briefingText(textSize, i))});
  }
  s.currentTask = s.tasks[100].title;
  s.versionMajor = kVersionMajor;
  s.versionMinor = kVersionMinor;
  s.versionPatch = kVersionPatch;
  return b;
}

void plainWrite(const QString& path, const std::string& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
    std::fprintf(stderr, "plain write failed\n");
}

#ifdef Q_OS_UNIX
// The same, then waiting for the data to reach the disk as QSaveFile does
// before it renames the new file over the old one.
void plainWriteSynced(const QString& path, const std::string& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
      !f.flush() || ::fdatasync(f.handle()) != 0)
    std::fprintf(stderr, "plain synced write failed\n");
}
#endif

void benchOne(const char* label, std::size_t textSize, const QTemporaryDir& dir) {
  const Briefing briefing = largestBriefing(textSize);
  const BriefingSnapshot& snapshot = briefing.snapshot;
  const std::string script = composeBriefingScript(snapshot);
  std::printf("\n%s: 255 notes and 255 tasks, texts of %zu characters, script of %.2f MB\n", label, textSize,
              static_cast<double>(script.size()) / 1e6);

  std::string copy(script.size(), '\0');
  const double memcpyNs = bench::bestNs([&] {
    std::memcpy(copy.data(), script.data(), script.size());
    bench::keep(copy);
  });
  const double composeNs = bench::bestNs([&] {
    const std::string out = composeBriefingScript(snapshot);
    bench::keep(out);
  });
  bench::report("compose the script", composeNs, "memcpy", memcpyNs);
  // The code page's share of it: every title and text through AnsiCodec alone.
  const double encodeNs = bench::bestNs([&] {
    for (const auto* list : {&snapshot.notes, &snapshot.tasks})
      for (const auto& e : *list) {
        bench::keep(AnsiCodec::encode(e.title, {}));
        bench::keep(AnsiCodec::encode(e.text, {}));
      }
  });
  bench::report("  of which the code page (AnsiCodec::encode)", encodeNs, "memcpy", memcpyNs);

  const QString plainPath = dir.filePath(QStringLiteral("plain.sqf"));
  const QString savePath = dir.filePath(QStringLiteral("saved.sqf"));
  const double plainNs = bench::bestNs([&] { plainWrite(plainPath, script); });
  const double saveNs = bench::bestNs([&] { ScriptFile::write(savePath, script); });
  bench::report("save (QSaveFile, atomic)", saveNs, "plain write", plainNs);
#ifdef Q_OS_UNIX
  const double syncedNs = bench::bestNs([&] { plainWriteSynced(plainPath, script); });
  bench::report("save (QSaveFile, atomic)", saveNs, "plain write + fdatasync", syncedNs);
#endif
  bench::report("compose and save", composeNs + saveNs, "plain write", plainNs);
}

} // namespace

void benchWrite() {
  const QTemporaryDir dir;
  if (!dir.isValid()) {
    std::printf("benchWrite: no temporary folder\n");
    return;
  }
  benchOne("Largest briefing", 4096, dir);
  benchOne("Large variant", 16384, dir);
}
