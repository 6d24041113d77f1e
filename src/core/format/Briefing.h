#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The briefing: what the editor holds, what a script carries, what the
// check inspects and what the command line turns into JSON. Texts are UTF-16
// with CR LF line breaks, as the user typed them.

// The sides a briefing can be for, in the order of the script's case blocks.
// The four playable sides always have a block; the game master's briefing
// (players in virtual slots, whose side in the game is the logic side) has a
// block of its own after them only when the script holds it.
enum class Side : std::uint8_t { West, East, Resistance, Civilian, Logic };

struct SideInfo {
  std::u16string_view word;  // as the side button shows it
  char letter;               // in the script's first and third lines
  std::string_view caseLine; // the block's first line
};

inline constexpr std::array<SideInfo, 5> kSides = {{{u"WEST", 'W', "case WEST:"},
                                                    {u"EAST", 'E', "case EAST:"},
                                                    {u"RESISTANCE", 'R', "case RESISTANCE:"},
                                                    {u"CIVILIAN", 'C', "case CIVILIAN:"},
                                                    {u"LOGIC", 'L', "case sideLogic:"}}};
inline constexpr std::size_t kPlayableSides = 4;

constexpr const SideInfo& infoOf(Side side) { return kSides[static_cast<std::size_t>(side)]; }
constexpr std::size_t indexOf(Side side) { return static_cast<std::size_t>(side); }
constexpr bool isPlayable(Side side) { return indexOf(side) < kPlayableSides; }
// The side's word as ASCII, for messages.
inline std::string nameOf(Side side) {
  const std::u16string_view word = infoOf(side).word;
  return std::string(word.begin(), word.end());
}

// The side of a word ("WEST" ... "LOGIC"), exactly as written; none for
// anything else.
constexpr std::optional<Side> sideByWord(std::u16string_view word) {
  for (std::size_t i = 0; i < kSides.size(); ++i)
    if (kSides[i].word == word)
      return static_cast<Side>(i);
  return std::nullopt;
}
// The side of a letter; with playableOnly, only W, E, R and C name one (a
// script of one side with another letter, an "L" included, names none).
constexpr std::optional<Side> sideByLetter(char letter, bool playableOnly = false) {
  for (std::size_t i = 0; i < (playableOnly ? kPlayableSides : kSides.size()); ++i)
    if (kSides[i].letter == letter)
      return static_cast<Side>(i);
  return std::nullopt;
}

// How a script's bytes stand for its characters: UTF-8 without a byte-order
// mark, as the game reads scripts, or the ANSI code page older tools wrote
// (Windows-1252, or the system's ANSI code page on Windows). ASCII is the
// same bytes in both.
enum class Encoding : std::uint8_t { Utf8, Ansi };

// A line break inside a text, as the script writes it.
inline constexpr std::u16string_view kLineBreakTag = u"<br/>";

struct BriefingEntry {
  std::u16string title; // one line
  std::u16string text;  // CR LF line breaks

  bool operator==(const BriefingEntry&) const = default;
};

// Which tasks carry the current-task label's title, as list positions: the
// script's first line names the last of them (1-based, 0 for none), its
// setCurrentTask line the first. An empty label names none.
struct CurrentTask {
  int first = -1;
  int last = -1;
  bool any() const { return first >= 0; }
};
CurrentTask currentTaskOf(const std::vector<BriefingEntry>& tasks, std::u16string_view label);

// One side's briefing: its notes and tasks in list order and the current-task
// label (the current task's title, empty for none).
struct SideBriefing {
  Side side = Side::West;
  std::vector<BriefingEntry> notes;
  std::vector<BriefingEntry> tasks;
  std::u16string currentTask;

  bool holdsEntries() const { return !notes.empty() || !tasks.empty(); }
  bool operator==(const SideBriefing&) const = default;
};

// The whole briefing: each side at most once, the first the one the user
// works on (the editor's window, a script's first side), which a script
// holds even when no side holds an entry; and the script's encoding.
struct Briefing {
  std::vector<SideBriefing> sides;
  Encoding encoding = Encoding::Utf8;

  // The side's briefing, or nullptr.
  const SideBriefing* find(Side side) const;
  bool operator==(const Briefing&) const = default;
};
