#pragma once

#include <QHash>
#include <QListWidget>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class Dialogs;
struct ScriptRecord;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// A list box of single selection whose selection the user cannot remove:
// Ctrl+click on the selected entry, or a click below the last entry, keeps it.
class EntryList : public QListWidget {
public:
  using QListWidget::QListWidget;

protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
};

// The editor window. It is the whole application and holds the briefing: the
// titles, their order and their slots in the list items, the side and the
// current task in captions, the texts in taskText and noteText by slot, and the
// working copy of the selected entry's text in the page's text box.
class frmBriefing : public QWidget {
public:
  explicit frmBriefing(Dialogs& dialogs, QWidget* parent = nullptr);

  // The model's fields. Texts keep CR LF line breaks.
  QStringList taskText;
  QStringList noteText;
  qint16 taskSlotCount = 0;
  qint16 noteSlotCount = 0;
  qint16 lastTaskIndex = 0;
  qint16 lastNoteIndex = 0;
  QString appPath;
  QString appTitle;

  // The text of the model as the box holds it, CR LF line breaks restored.
  // A text the user did not touch comes back exactly as it was loaded.
  QString boxText(const QPlainTextEdit* box) const;

  // The folder of a chosen file, for appPath: the path up to its last
  // separator. The root folder stays usable ("C:" or "/").
  static QString folderOf(const QString& path);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void buildControls();

  // Handlers, named after the control they serve.
  void Form_Load();
  void lstBriefing_Click();
  void lstTasks_Click();
  void lstNotes_Click();
  void cmdAdd_Click();
  void cmdEdit_Click();
  void cmdCurTask_Click();
  void cmdSide_Click();
  void cmdDel_Click();
  void cmdUp_Click();
  void cmdDown_Click();
  void cmdMarker_Click();
  void cmdPic_Click();
  void cmdClear_Click();
  void cmdCancel_Click();
  void cmdAbout_Click();
  void cmdOK_Click();
  void cmdOpen_Click();

  // Private routines.
  void SwapListEntries(QListWidget* list, const int& a, const int& b);
  void WriteBriefingScript(const QString& path);
  void ReadBriefingScript(const QString& path);
  void ResetWorkArea();
  void LoadRecords(const std::vector<ScriptRecord>& records, QListWidget* list, QPlainTextEdit* box,
                   QStringList& texts, qint16& slotCount);
  void EntrySelected(QListWidget* list, QPlainTextEdit* box, QStringList& texts, qint16& last);
  void MoveSelected(int step);
  // Runs the part of a file command after the file was chosen: any failure
  // ends it and shows the "Open Error" box.
  void ReportFailures(const std::function<void()>& work);
  void ShowOpenError(int number, const QString& description);

  // Selecting a row from code runs that list's click handler at once, nested,
  // as a user's click does. Adding, removing and renaming items run none.
  void setListIndex(QListWidget* list, int row);
  void addListItem(QListWidget* list, const QString& title, int slot);
  void removeListItem(QListWidget* list, int row);
  void clearList(QListWidget* list);
  void setListItem(QListWidget* list, int row, const QString& title, int slot);
  static int itemSlot(const QListWidget* list, int row);

  // Loads a model text into a box, showing "\n" for CR LF.
  void setBoxText(QPlainTextEdit* box, const QString& text);
  bool tasksPageShown() const;

  Dialogs& m_dialogs;
  QPixmap m_background;

  struct Loaded {
    QString model; // the text as it came from the model
    QString shown; // the box's raw text right after loading it
  };
  QHash<const QPlainTextEdit*, Loaded> m_loaded;

  QGroupBox* Frame1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QPushButton* cmdCurTask = nullptr;
  QLabel* lblCurTask = nullptr;
  QPushButton* cmdAbout = nullptr;
  QPushButton* cmdSide = nullptr;
  EntryList* lstBriefing = nullptr;
  EntryList* lstTasks = nullptr;
  EntryList* lstNotes = nullptr;
  QPlainTextEdit* txtTasks = nullptr;
  QPlainTextEdit* txtNotes = nullptr;
  QPushButton* cmdUp = nullptr;
  QPushButton* cmdDown = nullptr;
  QPushButton* cmdAdd = nullptr;
  QPushButton* cmdEdit = nullptr;
  QPushButton* cmdDel = nullptr;
  QPushButton* cmdMarker = nullptr;
  QPushButton* cmdPic = nullptr;
  QPushButton* cmdOpen = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdClear = nullptr;
  QPushButton* cmdCancel = nullptr;
};
