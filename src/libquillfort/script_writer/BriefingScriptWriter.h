#pragma once

#include <string>
#include <string_view>
#include <vector>

// One task or note as the script carries it. Texts keep CR LF line breaks.
// The fields are views: whoever takes the snapshot keeps the texts alive
// while the script is composed (the editor passes views of its QStrings).
struct BriefingEntry {
  std::u16string_view title;
  std::u16string_view text;
};

// What a briefing script is made from: the model, after the text boxes'
// working copies have been stored into their slots. Views, like the entries.
struct BriefingSnapshot {
  std::u16string_view side;          // "WEST", "EAST", "RESISTANCE" or "CIVILIAN"
  std::vector<BriefingEntry> notes;  // in list order
  std::vector<BriefingEntry> tasks;  // in list order
  std::u16string_view currentTask;   // the current-task label, empty for none
  int versionMajor = 0;
  int versionMinor = 0;
  int versionPatch = 0;
};

// The header's counts (notes, tasks, the current task's 1-based position)
// are raw bytes inside a comment. When one of them is a CR or LF, which would
// end a "//" comment, the first line is written as a block comment instead:
// "/*" in place of "//" and " */" before its CR LF, every other byte at its
// position.
bool headerNeedsBlockComment(std::size_t notes, std::size_t tasks, std::size_t currentTask);

// The exact bytes of the briefing script for a snapshot, in the file's code
// page. Throws RuntimeError 5 when a list has more than 255 entries or a
// character has no byte in the code page; nothing is to be written then.
std::string composeBriefingScript(const BriefingSnapshot& snapshot);
