// Briefing for "Night at Pyrgos": a NATO platoon and a Zeus game master.
// Saved by Notepad in Windows-1252.

switch (playerSide) do
{
	case sideLogic:
	{
		player createDiaryRecord ["Diary", ["Zeus", "You run the enemy.<BR/>Keep the pressure on the café."]];
		_zeusTask = player createSimpleTask ["zeus"];
		_zeusTask setSimpleTaskDescription ["Send a patrol every 10 minutes.", "Keep them busy", ""];
		player setCurrentTask _zeusTask;
	};
	case WEST:
	{
		player createDiaryRecord ["Diary", ["Situation", "Pyrgos is quiet – too quiet.
The mayor has left town."]];
		_task = player createSimpleTask ["Patrol"];
		player setCurrentTask _task;
	};
	default
	{
		player createDiaryRecord ["Diary", ["Observer", "Watch and learn."]];
	};
};

player createDiaryRecord ["Diary", ["Radio", "Platoon net: 41.0"]];
