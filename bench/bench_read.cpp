#include "BenchUtil.h"

void benchRead() {}
