/*
	File: briefing.sqf
	Author: Vesna
	Tasks are made with the task framework; the notes with createDiaryRecord.
*/

if (!hasInterface) exitWith {};

// Every side reads the rules
player createDiaryRecord ["Diary", ["Rules", "No respawn.<br/>Stay within the AO."]];

if (side player == west) then {
	player createDiaryRecord ["Diary", ["Mission", "Destroy the radar on Hill 214, then extract."]];

	[west, "tRadar", ["Destroy the radar station on Hill 214.", "Destroy the radar", "mkRadar"],
		getMarkerPos "mkRadar", "ASSIGNED", 1, true] call BIS_fnc_taskCreate;
	[player, ["tExtract", "tRadar"], ["Reach the <marker name='mkLZ'>LZ</marker>.", "Extract", ""],
		objNull, "CREATED"] call BIS_fnc_taskCreate;
} else {
	player createDiaryRecord ["Diary", ["Mission", "Defend the radar at all costs."]];
	[east, "tHold", ["Keep the radar standing.", "Hold the radar", ""], [], true] call BIS_fnc_taskCreate;
};

// The last task, for everyone
[true, "tSurvive", ["Stay alive until the end of the mission.", "Survive", ""], nil, false]
	call BIS_fnc_taskCreate;
