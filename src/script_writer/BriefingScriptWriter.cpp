#include "script_writer/BriefingScriptWriter.h"
