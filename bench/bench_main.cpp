// Runs the benchmark table: `quillfort_bench [FILTER...]` runs the rows whose
// area or subject contains one of the filters, or every row.
#include "support/Bench.h"

#include <QApplication>

#include <string>
#include <vector>

namespace bench {
int runAll(const std::vector<std::string>& filters);
}

int main(int argc, char** argv) {
  // The offscreen platform notes each window call it leaves out ("This plugin
  // does not support raise()"); among the table's lines they are only noise.
  static const QtMessageHandler qtDefault = qInstallMessageHandler(nullptr);
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support")))
      qtDefault(type, context, message);
  });
  QApplication app(argc, argv);
  std::vector<std::string> filters(argv + 1, argv + argc);
  bench::runAll(filters);
  return 0;
}
