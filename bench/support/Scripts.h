#pragma once
#include "core/format/Briefing.h"

#include <string>

namespace bench {

// The largest script the reader accepts: 255 notes and as many tasks as fit
// below its 32,767-byte limit, their texts filling the script to just under
// the limit with prose, quotes and line breaks; in UTF-8 the prose is Russian
// (two bytes a letter), in the code page English with accents.
std::string largestReadableScript(Encoding encoding = Encoding::Ansi);

} // namespace bench
