#pragma once

#include "core/format/Briefing.h"

#include <string>
#include <string_view>
#include <vector>

// Importing a briefing.sqf written by hand (not by Quillfort): its notes
// (createDiaryRecord on the "Diary" subject) and tasks (createSimpleTask with
// setSimpleTaskDescription and setCurrentTask, or BIS_fnc_taskCreate), side
// by side where the script branches on the player's side. Nothing is guessed:
// every statement not taken as it stands is listed as left out.

// A statement, or a part of one, that the import does not take as it stands.
struct LeftOut {
  int line = 0;    // 1-based, of the statement's first token
  int column = 0;  // 1-based, in bytes
  std::string why; // UTF-8, one short sentence
};

struct Imported {
  Briefing briefing;            // the sides holding entries, in the order of kSides; always UTF-8
  std::vector<LeftOut> leftOut; // in file order
};

// Imports the script's bytes: UTF-8 when they are valid UTF-8 (a byte-order
// mark skipped), Windows-1252 otherwise. Records that no side branch holds
// are for every side the script branches on, or for `fallback` alone when it
// branches on none. Throws RuntimeError 5 for a string or comment never
// closed, a file with nothing to import, or a side with more than 255 notes or
// tasks.
Imported importBriefing(std::string_view bytes, Side fallback);
