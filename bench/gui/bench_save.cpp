// The save command with two 1 MB texts (a 2 MB script) against writing the
// same bytes to a new file, fdatasync and rename over the old one: what any
// safe save has to do.
#include "BenchEditor.h"
#include "support/Bench.h"
#include "support/Texts.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct SaveFixture {
  QTemporaryDir dir;
  bench::BenchEditor editor;
  QByteArray bytes; // the script the save command writes
  QString floorPath = dir.filePath(QStringLiteral("floor.sqf"));
  QString floorTemp = dir.filePath(QStringLiteral("floor.sqf.new"));

  SaveFixture() {
    editor.dialogs.path = dir.filePath(QStringLiteral("saved.sqf"));
    editor.addTask(QStringLiteral("Hold the bridge"),
                   QString::fromStdU16String(bench::briefingText(bench::MB, 1)));
    editor.addTask(QStringLiteral("Fall back"), QString::fromStdU16String(bench::briefingText(bench::MB, 2)));
    editor.show();
    editor.button("cmdOK")->click();
    QFile saved(editor.dialogs.path);
    if (saved.open(QIODevice::ReadOnly))
      bytes = saved.readAll();
    if (bytes.size() < 2 * 1000 * 1000)
      std::fprintf(stderr, "bench: the save command wrote %lld bytes\n",
                   static_cast<long long>(bytes.size()));
  }

  void writeSyncRename() {
    const QByteArray temp = QFile::encodeName(floorTemp);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) != bytes.size() ||
        ::fdatasync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(temp.constData(), QFile::encodeName(floorPath).constData()) != 0)
      std::fprintf(stderr, "bench: write + fdatasync + rename failed\n");
  }
};

bench::Samplers save() {
  auto f = std::make_shared<SaveFixture>();
  return {[f] { return bench::timeNs([&] { f->writeSyncRename(); }); },
          [f] { return bench::timeNs([&] { f->editor.button("cmdOK")->click(); }); }};
}

} // namespace

BENCH_ROW("save", "save command, two 1 MB texts (2 MB script)", "write + fdatasync + rename",
          bench::ratioAtMost(1.5), save, 21);
