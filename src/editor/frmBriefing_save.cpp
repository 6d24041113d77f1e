#include "editor/frmBriefing.h"

void frmBriefing::cmdOK_Click() {}
void frmBriefing::WriteBriefingScript(const QString&) {}
