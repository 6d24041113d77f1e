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
  QApplication app(argc, argv);
  std::vector<std::string> filters(argv + 1, argv + argc);
  bench::runAll(filters);
  return 0;
}
