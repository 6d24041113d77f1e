// QFRT E    100
player createDiaryRecord ["Diary",["Old note","old"]];
tskObj0=player createSimpleTask ["Old task"];
tskObj0 setSimpleTaskDescription ["old text","Old task","Old task"];
