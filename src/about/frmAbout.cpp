#include "about/frmAbout.h"

frmAbout::frmAbout(Dialogs& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {}
