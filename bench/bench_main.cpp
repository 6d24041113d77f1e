#include "BenchUtil.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::printf("Quillfort benchmarks: best of several runs, each against a baseline measured now.\n");
  benchWrite();
  benchRead();
  benchStartup();
  return 0;
}
