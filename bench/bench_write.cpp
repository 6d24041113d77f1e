#include "BenchUtil.h"

void benchWrite() {}
