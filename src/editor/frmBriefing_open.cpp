#include "editor/frmBriefing.h"

void frmBriefing::cmdOpen_Click() {}
void frmBriefing::ReadBriefingScript(const QString&) {}
