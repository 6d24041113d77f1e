#include "script_reader/BriefingScriptReader.h"
