#pragma once
#include <string>

namespace bench {

// The largest script the reader accepts: 255 notes and as many tasks as fit
// below its 32,767-byte limit, their texts filling the script to just under
// the limit with prose, quotes and line breaks.
std::string largestReadableScript();

} // namespace bench
