#include "about/SysInfo.h"
