#pragma once

#include "core/format/Briefing.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The briefing check: what would make the save fail, or the game show the
// briefing other than the mission maker meant, found on the same briefing the
// writer takes. The editor's preview and the command line both show these.

enum class FindingSeverity { Error, Warning };

enum class FindingKind {
  // errors: the save would fail
  UnencodableCharacter, // a character the script's encoding cannot hold
  TooManyEntries,       // more than 255 notes or tasks
  // warnings: the game would show it wrongly (a script of several sides that
  // the reader could not reach whole is an error: it does not save)
  NonAsciiCharacter,       // outside ASCII in an ANSI script: the game reads scripts as UTF-8
  BareAmpersand,           // the game cuts the text at an "&" that starts no entity
  MarkerWithoutName,       // <marker> with no or an empty name
  MarkerWithoutClosingTag, // <marker ...> with no </marker> after it
  NestedMarker,            // <marker> inside another marker's link text
  PictureWithoutFile,      // <img> with no or an empty image
  PictureNotInFolder,      // <img image='f'> where f is not in the mission folder
  UnknownTag,              // a tag the game does not know
  DuplicateCurrentTask,    // several tasks carry the current task's title
  ScriptTooLarge,          // saves, but cannot be opened again
  EmptyTitle,
  NotAsWritten, // a script's line differs from what the writer writes (a bare quote: the game cannot parse it)
  LeftOut,      // an import took a statement of the script it read as it stands
};

enum class FindingList { Briefing, Notes, Tasks }; // Briefing: the briefing as a whole
// Script: line and column are the script's own (a finding about the file).
enum class FindingField { None, Title, Text, Script };

struct BriefingFinding {
  FindingSeverity severity = FindingSeverity::Warning;
  FindingKind kind = FindingKind::EmptyTitle;
  FindingList list = FindingList::Briefing;
  int index = -1;       // 0-based position in the list, -1 for the briefing as a whole
  std::u16string title; // the entry's title
  FindingField field = FindingField::None;
  int line = 0;   // 1-based, in the text as the editor shows it (lines end at CR LF); 0 when not applicable
  int column = 0; // 1-based, in UTF-16 units; 0 when not applicable
  std::string message; // UTF-8, one sentence
  // The side whose briefing holds it where the script holds several.
  std::optional<Side> side;
};

// Answers whether a picture file named in a picture tag is in the mission
// folder. The name is as the tag writes it, relative to the mission folder.
using PictureLookup = std::function<bool(std::u16string_view file)>;

// A lookup in a folder on disk (see missionFile): the file exists there and
// is a regular file.
PictureLookup picturesInFolder(std::filesystem::path folder);

// The file a picture tag's name stands for in the mission folder: the game's
// paths are relative to the mission folder, backslashes (or slashes) parting
// folders. Nothing for an empty name, an absolute one, or one that holds
// ".." (a packed mission has no folder above it).
std::optional<std::filesystem::path> missionFile(const std::filesystem::path& folder, std::u16string_view name);

// Every finding for the briefing, in this order: the briefing as a whole,
// then the notes, then the tasks, each entry's title before its text, and
// within a field by position. Without a lookup, picture files are not looked
// for. A briefing whose script holds several sides gives each side's findings
// in this order, side after side in the script's order, each naming its side.
std::vector<BriefingFinding> checkBriefing(const Briefing& briefing, const PictureLookup& pictureExists = {});

// Where a script's bytes differ from what the writer writes for the briefing
// read from it (the version digits of the first line aside): a finding at the
// first line that differs, saying why it matters; none where they agree.
std::optional<BriefingFinding> checkAsWritten(std::string_view script, const Briefing& read);
