// The open command on the largest readable script, with the window shown,
// against reading the same file.
#include "BenchEditor.h"
#include "support/Bench.h"
#include "support/Scripts.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct OpenFixture {
  QTemporaryDir dir;
  bench::BenchEditor editor;

  OpenFixture() {
    editor.dialogs.path = dir.filePath(QStringLiteral("briefing.sqf"));
    const std::string script = bench::largestReadableScript();
    QFile f(editor.dialogs.path);
    if (!f.open(QIODevice::WriteOnly) || f.write(script.data(), static_cast<qint64>(script.size())) < 0)
      std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(editor.dialogs.path));
    editor.show();
  }
};

bench::Samplers open() {
  auto f = std::make_shared<OpenFixture>();
  return {[f] {
            return bench::timeNs([&] {
              QFile file(f->editor.dialogs.path);
              if (file.open(QIODevice::ReadOnly))
                bench::keep(file.readAll());
            });
          },
          [f] { return bench::timeNs([&] { f->editor.button("cmdOpen")->click(); }); }};
}

} // namespace

BENCH_ROW("open", "open command, largest readable script, shown", "read of the same file", bench::noGoal(),
          open, 21);
