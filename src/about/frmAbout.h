#pragma once

#include <QDialog>

class Dialogs;

// The About dialog.
class frmAbout : public QDialog {
public:
  explicit frmAbout(Dialogs& dialogs, QWidget* parent = nullptr);

private:
  Dialogs& m_dialogs;
};
