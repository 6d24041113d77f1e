// Importing hand-written briefing scripts: the tokenizer's tokens, the
// importer's rules one by one, what it refuses, and the scripts under
// tests/data/import as mission makers write them.
#include "core/import/BriefingImport.h"
#include "core/import/SqfTokenizer.h"
#include "core/system/RuntimeError.h"
#include "core/text/Utf8.h"

#include <gtest/gtest.h>


namespace {

// The lines of a script, each ending in LF.
std::string lines(std::initializer_list<std::string_view> each) {
  std::string out;
  for (std::string_view line : each)
    (out += line) += '\n';
  return out;
}

// Tokens as "line:column text", a string as <what it holds>; or the error.
std::string tokens(std::string_view script) {
  try {
    std::string out;
    for (const Sqf::Token& t : Sqf::tokenize(script)) {
      const bool isString = t.kind == Sqf::TokenKind::String;
      out += (out.empty() ? "" : " ") + std::to_string(t.line) + ':' + std::to_string(t.column) + ' ' +
             (isString ? '<' + Sqf::stringContents(t) + '>' : std::string(t.text));
    }
    return out;
  } catch (const RuntimeError& e) {
    return std::to_string(e.number) + ' ' + e.description;
  }
}

TEST(Import, Tokens) {
  struct Row {
    std::string script;
    const char* tokens;
  };
  const Row rows[] = {
      {.script = R"(a = "x ""y"""; // "z")", .tokens = R"(1:1 a 1:3 = 1:5 <x "y"> 1:14 ;)"},
      {.script = R"('it''s' + "a // b" + '/* "hi" */')",
       .tokens = R"(1:1 <it's> 1:9 + 1:11 <a // b> 1:20 + 1:22 </* "hi" */>)"},
      {.script = "/* \"q\" */ b /* two\r\nlines */ c\r\n\td", .tokens = "1:11 b 2:10 c 3:2 d"},
      {.script = "\"one\ntwo\" # x", .tokens = "1:1 <one\ntwo> 2:6 # 2:8 x"},
      {.script = "1.5e-3 0x1F $ff .5 7", .tokens = "1:1 1.5e-3 1:8 0x1F 1:13 $ff 1:17 .5 1:20 7"},
      {.script = "a==b!=c>=d>>e&&!f||g#0:h",
       .tokens = "1:1 a 1:2 == 1:4 b 1:5 != 1:7 c 1:8 >= 1:10 d 1:11 >> 1:13 e 1:14 && 1:16 ! 1:17 f "
                 "1:18 || 1:20 g 1:21 # 1:22 0 1:23 : 1:24 h"},
      {.script = "  #define A(x) x \\\r\n  + 1\r\nb # c",
       .tokens = "1:3 #define A(x) x \\\r\n  + 1 3:1 b 3:3 # 3:5 c"},
      {.script = "x;\n  y = 'never\n closed",
       .tokens =
           "5 Invalid procedure call or argument: line 2, column 7: a string opened here is never closed"},
      {.script = "x /* \"s\" */ y /* z",
       .tokens =
           "5 Invalid procedure call or argument: line 1, column 15: a comment opened here is never closed"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(tokens(row.script), row.tokens) << row.script;
}

// A briefing a side a line: "WEST notes: Title=text, ... tasks: Title*=text"
// (* marks the current task, | a line break).
std::string shown(const Briefing& briefing) {
  const auto entries = [](const std::vector<BriefingEntry>& list, std::u16string_view current) {
    std::string out;
    for (const BriefingEntry& e : list) {
      std::string text = Utf8::fromUtf16(e.text);
      for (std::size_t i; (i = text.find("\r\n")) != std::string::npos;)
        text.replace(i, 2, "|");
      out += (out.empty() ? "" : ", ") + Utf8::fromUtf16(e.title) + (e.title == current ? "*=" : "=") + text;
    }
    return out;
  };
  std::string out;
  for (const SideBriefing& side : briefing.sides) {
    out += (out.empty() ? "" : "\n") + nameOf(side.side);
    if (!side.notes.empty())
      out += " notes: " + entries(side.notes, u"");
    if (!side.tasks.empty())
      out += " tasks: " + entries(side.tasks, side.currentTask);
  }
  return out;
}

TEST(Import, Rules) {
  struct Row {
    const char* rule;
    std::string script;
    const char* briefing;
    std::vector<std::string> leftOut = {}; // "line:column why"
    Side fallback = Side::West;
  };
  const Row rows[] = {
      {.rule = "no side branch: one briefing for the fallback side, the newest entry first",
       .script = lines({R"(player createDiaryRecord ["Diary", ["Old", "o"]];)",
                        R"(_unit createDiaryRecord ["diary", ["New", ""]];)",
                        R"(_a = player createSimpleTask ["A"]; _b = player createSimpleTask ["B"];)"}),
       .briefing = "EAST notes: New=, Old=o tasks: B=, A=",
       .fallback = Side::East},
      {.rule = "literals joined, both quote kinds, <br/> and line breaks in a text, a title on one line",
       .script = lines({"player createDiaryRecord ['DIARY', [\"Two\r\nlines\",",
                        R"(  "a ""b""" + ('c''s<BR/>' + "d") + ")", R"(e<br/>"]];)"}),
       .briefing = R"(WEST notes: Two lines=a "b"c's|d|e|)",
       .leftOut = {"1:1 the line break in the title (a blank stands for it)"}},
      {.rule = "a task's description and the current task, variables in any letter case",
       .script =
           lines({R"(tsk1 = player createSimpleTask ["t1"]; tsk2 = player createSimpleTask ["t2"];)",
                  R"(TSK1 setSimpleTaskDescription ["Go", "Take", "HUD"]; player setCurrentTask tsk1;)"}),
       .briefing = "WEST tasks: t2=, Take*=Go"},
      {.rule = "a title, text or name that is not a literal string leaves the statement out",
       .script = lines({R"(player createDiaryRecord ["Diary", [format ["%1", 1], "x"]];)",
                        R"(_t = player createSimpleTask [_n];)",
                        R"(player createDiaryRecord ["Diary", ["T", "a" + localize "STR_A"]];)",
                        R"(player createDiaryRecord ["Diary", ["N", "n"]];)"}),
       .briefing = "WEST notes: N=n",
       .leftOut = {"1:1 the title is not a literal string: format",
                   "2:1 the task name is not a literal string: _n",
                   "3:1 the text is not a literal string: localize"}},
      {.rule = "statements of other kinds are reported, boilerplate and wrappers are not",
       .script = lines({R"(waitUntil {!isNull player}; if (!hasInterface) exitWith {}; sleep 1;)",
                        R"(private ["_t"]; if (!isDedicated) then { [] spawn { call {)",
                        R"(  _t = player createSimpleTask ["T"]; }; }; };)", R"(_t setTaskState "Assigned";)",
                        R"(_t setSimpleTaskDestination [0,0,0];)",
                        R"(hint "Hi"; _x = 1; player createDiarySubject ["Radio", "Radio"];)",
                        R"(player createDiaryRecord ["Radio", ["R", ""]];)"}),
       .briefing = "WEST tasks: T=",
       .leftOut = {"4:1 Quillfort's tasks have no state: setTaskState",
                   "5:1 Quillfort's tasks have no destination: setSimpleTaskDestination",
                   "6:1 the statement is not a note or a task: hint",
                   "6:12 the value given to _x is not a note or a task",
                   "6:20 Quillfort's notes are all on the Diary subject: createDiarySubject",
                   "7:1 the record is on the subject \"Radio\", not on Diary"}},
      {.rule = "preprocessor lines and macros, brackets that do not pair up",
       .script = lines({"#define NOTE(a) a\r", R"(NOTE(1); player createDiaryRecord ["Diary", ["A", "a"];)",
                        R"(player createDiaryRecord ["Diary", ["N", "n"]];)"}),
       .briefing = "WEST notes: N=n",
       .leftOut = {"1:1 Quillfort does not run the preprocessor: #define",
                   "2:1 Quillfort does not expand macros: NOTE",
                   "2:10 the brackets of the statement do not pair up"}},
      {.rule =
           "a switch on the side: falling through, any letter case, default for the sides named elsewhere",
       .script = lines({R"(switch (side (group player)) do {)",
                        R"(  case WEST; case Opfor: { _t = player createSimpleTask ["Both"] };)",
                        R"(  default { player createDiaryRecord ["Diary", ["Rest", ""]] };)", "};",
                        R"(if (side player == civilian) then {}; player setCurrentTask _t;)"}),
       .briefing = "WEST tasks: Both*=\nEAST tasks: Both*=\nCIVILIAN notes: Rest="},
      {.rule = "if on the side, then and else; records outside every branch go to each side in order",
       .script =
           lines({R"(player createDiaryRecord ["Diary", ["First", ""]];)",
                  R"(if (playerSide isEqualTo west) then { player createDiaryRecord ["Diary", ["W", ""]] })",
                  R"(else { player createDiaryRecord ["Diary", ["E", ""]] };)",
                  R"(if (opfor == side player) then { _t = player createSimpleTask ["T"]; };)",
                  R"(player createDiaryRecord ["Diary", ["Last", ""]]; player setCurrentTask _t;)"}),
       .briefing = "WEST notes: Last=, W=, First=\nEAST notes: Last=, E=, First= tasks: T*="},
      {.rule = "an exitWith on the side ends the block for the sides it holds for; what runs for none",
       .script =
           lines({R"(switch (playerSide) do { case west: {}; case east: {}; case sideLogic: {}; };)",
                  R"(if (side player != sideLogic) exitWith {};)",
                  R"(player createDiaryRecord ["Diary", ["N", "n"]];)",
                  R"(if (side player == west) then { player createDiaryRecord ["Diary", ["W", ""]]; };)"}),
       .briefing = "LOGIC notes: N=n",
       .leftOut = {"4:33 the statement runs for no side"}},
      {.rule = "else and default standing for no side; a condition or switch on the side not read",
       .script =
           lines({R"(switch (side player) do { case west: {}; default {}; };)",
                  R"(if (side player == west) then {} else {};)", R"(if (side player in [west]) then {};)",
                  R"(switch (typeOf player) do {}; player createDiaryRecord ["Diary", ["N", "n"]];)"}),
       .briefing = "WEST notes: N=n",
       .leftOut = {"1:42 the default branch (it stands for no side the script names elsewhere)",
                   "2:1 the else branch (it stands for no side the script names elsewhere)",
                   "3:1 the condition on the side is not one Quillfort reads",
                   "4:1 the switch is not on the player's side"}},
      {.rule = "the task framework: owners, the assigned state, what is left out of a task",
       .script = lines({R"([west, "a", ["A text", "A", "mkA"], getMarkerPos "mkA", "assigned"])",
                        "  call BIS_fnc_taskCreate;",
                        R"([true, ["b", "a"], ["B text", "B", ""], objNull, true] call BIS_fnc_taskCreate;)",
                        "if (side player == east) then {",
                        R"(  [player, "c", ["C text", "C"], [], "Succeeded"] spawn BIS_fnc_taskCreate;)",
                        R"(  [group player, "d", "descD", nil, false] call BIS_fnc_taskCreate;)", "};"}),
       .briefing = "WEST tasks: B*=B text, A=A text\nEAST tasks: C=C text, B*=B text",
       .leftOut = {"1:1 the task's marker (Quillfort's tasks have none)",
                   "1:1 the task's destination (Quillfort's tasks have none)",
                   "3:1 the parent task (the task is imported as one of its own)",
                   "5:3 the task's state \"Succeeded\" (Quillfort's tasks have none)",
                   "6:3 the task's description is a class name, not [text, title, marker]"}},
      {.rule = "a sub-task of createSimpleTask stands on its own",
       .script = R"(_p = player createSimpleTask ["P"]; _c = player createSimpleTask ["C", _p];)",
       .briefing = "WEST tasks: C=, P=",
       .leftOut = {"1:37 the parent task (the task is imported as one of its own)"}},
      {.rule = "Windows-1252 where the file is not UTF-8",
       .script = "player createDiaryRecord [\"Diary\", [\"Caf\xE9\", \"\x80\"]];",
       .briefing = "WEST notes: Caf\u00E9=\u20AC"},
      {.rule = "UTF-8, its byte-order mark skipped and not counted in columns",
       .script = "\xEF\xBB\xBFhint \"\u00E9\"; player createDiaryRecord [\"Diary\", [\"\u00E9\", \"\"]];",
       .briefing = "WEST notes: \u00E9=",
       .leftOut = {"1:1 the statement is not a note or a task: hint"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    const Imported imported = importBriefing(row.script, row.fallback);
    EXPECT_EQ(shown(imported.briefing), row.briefing);
    std::vector<std::string> leftOut;
    for (const LeftOut& l : imported.leftOut)
      leftOut.push_back(std::to_string(l.line) + ':' + std::to_string(l.column) + ' ' + l.why);
    EXPECT_EQ(leftOut, row.leftOut);
    EXPECT_EQ(imported.briefing.encoding, Encoding::Utf8);
  }
}

TEST(Import, Refused) {
  std::string tooMany = "if (side player == east) then {\n";
  for (int i = 0; i < 256; ++i)
    tooMany += "  [player, 't', ['', 'T', ''], objNull] call BIS_fnc_taskCreate;\n";
  const std::pair<std::string, const char*> rows[] = {
      {"hint 'only this'; player createDiaryRecord ['Notes', ['A', '']];",
       "the file holds no note and no task that Quillfort can import"},
      {tooMany + "};", "line 257, column 3: the EAST briefing gets its 256th task here, but Quillfort holds "
                       "at most 255 tasks a side"},
      {"player createDiaryRecord ['Diary', ['A', 'a]];",
       "line 1, column 42: a string opened here is never closed"},
  };
  for (const auto& [script, error] : rows) {
    try {
      importBriefing(script, Side::West);
      ADD_FAILURE() << "imported: " << script.substr(0, 60);
    } catch (const RuntimeError& e) {
      EXPECT_EQ(std::to_string(e.number) + ' ' + e.description,
                std::string("5 Invalid procedure call or argument: ") + error);
    }
  }
}

} // namespace
