#include "core/format/Briefing.h"

#include <algorithm>

CurrentTask currentTaskOf(const std::vector<BriefingEntry>& tasks, std::u16string_view label) {
  CurrentTask current;
  if (label.empty())
    return current;
  for (std::size_t i = 0; i < tasks.size(); ++i)
    if (tasks[i].title == label) {
      if (current.first < 0)
        current.first = static_cast<int>(i);
      current.last = static_cast<int>(i);
    }
  return current;
}

const SideBriefing* Briefing::find(Side side) const {
  const auto it = std::find_if(sides.begin(), sides.end(), [side](const SideBriefing& b) { return b.side == side; });
  return it == sides.end() ? nullptr : &*it;
}
