#pragma once

#include "core/format/Briefing.h"
#include "core/system/RuntimeError.h"

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

// The bytes of a script under tests/data, by its name without ".sqf".
inline std::string scriptFile(const std::string& name) {
  std::ifstream in(QUILLFORT_TEST_DATA "/" + name + ".sqf", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// RuntimeError's number and description, or what was made instead.
template <class Work> std::string failure(Work work) {
  try {
    return "made " + std::to_string(work().size());
  } catch (const RuntimeError& e) {
    return std::to_string(e.number) + ' ' + e.description;
  }
}

// A briefing of one side, in the code page unless told otherwise.
inline Briefing briefingOf(Side side, std::vector<BriefingEntry> notes, std::vector<BriefingEntry> tasks,
                           std::u16string current = {}, Encoding encoding = Encoding::Ansi) {
  return {{{side, std::move(notes), std::move(tasks), std::move(current)}}, encoding};
}

// How GoogleTest shows a briefing that differs from the one expected.
inline void PrintTo(const Briefing& briefing, std::ostream* out) {
  const auto utf8 = [](const std::u16string& s) { return std::string(s.begin(), s.end()); }; // ASCII here
  *out << (briefing.encoding == Encoding::Utf8 ? "UTF-8" : "ANSI");
  for (const SideBriefing& side : briefing.sides) {
    *out << " | " << nameOf(side.side) << " current \"" << utf8(side.currentTask) << '"';
    for (const auto& [list, kind] : {std::pair{&side.notes, " note "}, std::pair{&side.tasks, " task "}})
      for (const BriefingEntry& e : *list)
        *out << kind << '"' << utf8(e.title) << "\"=\"" << utf8(e.text) << '"';
  }
}
