#pragma once

#include <QDialog>

class Dialogs;
class QFrame;
class QLabel;
class QPushButton;

// The About dialog: title, version and credits, and a button that starts the
// system's own system information tool. Shown modally by the editor window.
class frmAbout : public QDialog {
public:
  explicit frmAbout(Dialogs& dialogs, QWidget* parent = nullptr);

private:
  void buildControls();

  void Form_Load();
  void cmdOK_Click();
  void cmdSysInfo_Click();

  Dialogs& m_dialogs;

  QLabel* picIcon = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDescription = nullptr;
  QLabel* lblDisclaimer = nullptr;
  QFrame* Line1 = nullptr;
  QFrame* Line2 = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdSysInfo = nullptr;
};
