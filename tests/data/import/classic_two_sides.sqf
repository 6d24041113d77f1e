// briefing.sqf - Operation Copper Gate
// Called from init.sqf: [] execVM "briefing.sqf";

if (!isDedicated) then {
	waitUntil {!isNull player};

	switch (side player) do {
		case west: {
			/* NATO: the notes first, the game lists the last one on top */
			player createDiaryRecord ["Diary", ["Credits", "Mission by Harlan.<br/>Thanks, 2nd Company."]];
			player createDiaryRecord ["Diary", ["Execution",
				"1st squad moves north.<br/>" +
				"2nd squad waits for 'Lynx'."]];
			player createDiaryRecord ["diary", ["Situation", 'CSAT took "Copper Gate" at dawn.
The town is lightly held.']];

			tskBridge = player createSimpleTask ["tskBridge"];
			tskBridge setSimpleTaskDescription [
				"Hold the <marker name='mkBridge'>bridge</marker>.",
				"Secure the bridge",
				"Bridge"
			];
			tskTown = player createSimpleTask ["tskTown"];
			tskTown setSimpleTaskDescription ["Clear the town of Copper Gate.", "Clear the town", "Town"];
			player setCurrentTask tskBridge;
		};
		case east: {
			player createDiaryRecord ["Diary", ['Situation', 'NATO will try to retake the town. ''Hold it.''']];
			_defend = player createSimpleTask ["defend"];
			_defend setSimpleTaskDescription ["Hold Copper Gate until 06:30.", "Hold the town", ""];
			player setCurrentTask _defend;
		};
	};

	// Both sides
	player createDiaryRecord ["Diary", ["Weather", "Fog in the valley until 06:00."]];
};
