#include "BenchUtil.h"

void benchStartup() {}
