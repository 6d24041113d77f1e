#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The sides a briefing can be for, in the order of the script's case blocks.
// The four playable sides always have a block; the game master's briefing
// (players in virtual slots, whose side in the game is the logic side) has a
// block of its own after them only when it holds an entry.
struct SideInfo {
  std::u16string_view word; // as the side button shows it
  char letter;              // in the script's first line
  std::string_view caseLine;
};

inline constexpr std::array<SideInfo, 5> kSides = {{{u"WEST", 'W', "case WEST:"},
                                                    {u"EAST", 'E', "case EAST:"},
                                                    {u"RESISTANCE", 'R', "case RESISTANCE:"},
                                                    {u"CIVILIAN", 'C', "case CIVILIAN:"},
                                                    {u"LOGIC", 'L', "case sideLogic:"}}};
inline constexpr std::size_t kPlayableSides = 4;
inline constexpr std::size_t kGameMaster = 4; // the index of LOGIC
inline constexpr std::size_t kNoSide = kSides.size();

// The index of a side by its word or its letter; kNoSide for anything else.
constexpr std::size_t sideByWord(std::u16string_view word) {
  std::size_t i = 0;
  while (i < kSides.size() && kSides[i].word != word)
    ++i;
  return i;
}
// Only the playable sides' letters: a first line with another letter (an "L"
// included) leaves the side as it was.
constexpr std::size_t playableSideByLetter(char letter) {
  std::size_t i = 0;
  while (i < kPlayableSides && kSides[i].letter != letter)
    ++i;
  return i == kPlayableSides ? kNoSide : i;
}

// The side button's step: WEST, EAST, RESISTANCE, CIVILIAN and round again;
// from any other word (the game master's included) to WEST.
constexpr std::size_t nextPlayableSide(std::size_t side) { return side + 1 < kPlayableSides ? side + 1 : 0; }

// Any side's letter, for the line that names the sides of a script of
// several sides.
constexpr std::size_t sideByLetter(char letter) {
  std::size_t i = 0;
  while (i < kSides.size() && kSides[i].letter != letter)
    ++i;
  return i;
}
