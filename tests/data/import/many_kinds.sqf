#include "briefing_macros.hpp"
#define BR "<br/>"
#define NOTE(TITLE,TEXT) player createDiaryRecord ["Diary", [TITLE, TEXT]]

waitUntil {sleep 0.1; !isNull player};
private ["_groupName", "_objective"];
_groupName = groupId (group player);

player createDiarySubject ["Radio", "Radio frequencies"];
player createDiaryRecord ["Radio", ["Nets", "Platoon 41.0, company 45.5."]];

player createDiaryRecord ["Diary", ["Signal", localize "STR_Signal_Text"]];
player createDiaryRecord ["Diary", [format ["Orders for %1", _groupName], "Follow the lead vehicle."]];
player createDiaryRecord ["Diary", ["Notes", "Use the radio" + BR + "sparingly."]];
NOTE("Loadout","Bring a long-range radio.");
player createDiaryRecord ["Diary", ["Enemy
forces", "A motorised platoon, two BTRs."]];
player createDiaryRecord ["Diary", ["Mission", "Find the weapons cache in Zaros.
Destroy it with the charges you carry."]];

tsk1 = player createSimpleTask ["Find the cache"];
tsk1 setSimpleTaskDescription ["Search the houses of Zaros.", "Find the cache", "Cache"];
tsk1 setSimpleTaskDestination (getMarkerPos "mkCache");
tsk1 setTaskState "Assigned";
player setCurrentTask tsk1;
tsk2 = player createSimpleTask ["tsk2", tsk1];
tsk2 setSimpleTaskDescription ["Place the charges.", "Destroy the cache", "Charges"];

hint "Briefing loaded";
[] execVM "scripts\intro.sqf";
