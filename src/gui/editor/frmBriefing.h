#pragma once

#include "gui/preview/BriefingView.h"

#include <QHash>
#include <QListWidget>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class Dialogs;
class frmPreview;
class QAction;
struct ScriptRecordView;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// A list box of single selection whose selection the user cannot remove:
// Ctrl+click on the selected entry, or a click below the last entry, keeps it.
class EntryList : public QListWidget {
public:
  using QListWidget::QListWidget;

  // Runs when the user clicks the entry that is already selected, which
  // changes no selection and so runs no handler of its own.
  std::function<void()> selectedEntryClicked;

protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void mousePressEvent(QMouseEvent* event) override;
};

// The editor window. It is the whole application and holds the briefing: the
// titles, their order and their slots in the list items, the side and the
// current task in captions, the texts in taskText and noteText by slot, and the
// working copy of the selected entry's text in the page's text box.
class frmBriefing : public QWidget, public PreviewSource {
  Q_OBJECT
public:
  explicit frmBriefing(Dialogs& dialogs, QWidget* parent = nullptr);
  ~frmBriefing() override;

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

  // Runs the part of a file command after the file was chosen: any failure,
  // of whatever kind, ends it and shows the "Open Error" box (7 out of
  // memory, 51 internal error for anything that is not one of ours).
  void ReportFailures(const std::function<void()>& work);
  static constexpr int kInternalError = 51;

  // The command line, the program's name first. A file named as the only
  // argument (Windows' "Open with" and a double-click on a script pass it so)
  // opens as the file chosen in the Open dialog does, errors in the same box;
  // anything else opens nothing.
  void openCommandLine(const QStringList& arguments);

  // For the preview window (F5): reads the model, changes nothing.
  BriefingView previewView() const override;
  // Opens the "Briefing Preview" window, or raises it when it is open.
  void showPreview();
  // Selects an entry as a user's click on its page and then on its row does,
  // then, with a line above 0, puts the cursor at that line and column
  // (1-based) of the entry's text in its box.
  void selectEntry(bool tasks, int row, int line = 0, int column = 0) override;

  // The briefing of a side not shown in the window: titles and texts in list
  // order, texts with CR LF line breaks, and the current-task label.
  struct KeptBriefing {
    QStringList noteTitles;
    QStringList noteTexts;
    QStringList taskTitles;
    QStringList taskTexts;
    QString currentTask;
    bool holdsEntries() const;
  };
  // side: an index into kSides (format/Sides.h). The side in the window holds
  // no kept briefing.
  const KeptBriefing& keptBriefing(std::size_t side) const;
  std::size_t editedSide() const; // the side button's, kNoSide for a caption that names none
  // Puts the window's briefing aside and the side's briefing into the window.
  void editSide(std::size_t side) override;

signals:
  // Something the preview shows may have changed: a command ran, a box's
  // text or a list's rows or selection changed. Often several times per
  // command; the preview coalesces them.
  void briefingChanged();

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void buildControls();
  void buildTopFrame();
  void buildListsAndBoxes();
  void buildCommandFrame();
  void connectHandlers();
  void installPreviewHooks();
  // frmBriefing_desktop.cpp: access keys on macOS too (before the captions),
  // then colours and keys that do not depend on the desktop's theme.
  static void allowAccessKeys();
  void fitToDesktop();

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
  void OpenChosenFile(const QString& path);
  void ReadBriefingScript(const QString& path);
  void ResetWorkArea();
  void ClearWindowBriefing();
  void LoadRecords(const std::vector<ScriptRecordView>& records, QListWidget* list, QPlainTextEdit* box,
                   QStringList& texts, qint16& slotCount);
  void EntrySelected(QListWidget* list, QPlainTextEdit* box, QStringList& texts, qint16& last);
  void MoveSelected(int step);
  void ShowOpenError(int number, const QString& description);
  void StoreWorkingCopies();
  void LoadEntries(const QStringList& titles, const QStringList& texts, QListWidget* list,
                   QPlainTextEdit* box, QStringList& slotTexts, qint16& slotCount);

  // frmBriefing_sides.cpp: the other sides' briefings.
  void installSideActions();
  void copyBriefingTo(std::size_t side);
  KeptBriefing windowBriefing();
  void loadBriefing(const KeptBriefing& briefing, std::size_t side);
  void refreshCaption();
  bool anyKeptBriefing() const; // another side than the window's holds entries

  // Selecting a row from code runs that list's click handler at once, nested,
  // as a user's click does. Adding, removing and renaming items run none.
  void setListIndex(QListWidget* list, int row);
  void addListItem(QListWidget* list, const QString& title, int slot);
  void removeListItem(QListWidget* list, int row);
  void clearList(QListWidget* list);
  void setListItem(QListWidget* list, int row, const QString& title, int slot);
  static int itemSlot(const QListWidget* list, int row);

  // Sets the window caption as given: a "[*]" in a file name is shown, not
  // taken for the modified marker.
  void setCaption(const QString& caption);
  // Loads a model text into a box, showing "\n" for CR LF.
  void setBoxText(QPlainTextEdit* box, const QString& text);
  bool tasksPageShown() const;

  Dialogs& m_dialogs;
  QPixmap m_background; // the @2x map on dense screens; null where the packed map is drawn
  frmPreview* m_preview = nullptr;
  QAction* m_previewAction = nullptr;
  bool m_closing = false;
  std::array<KeptBriefing, 5> m_kept;                           // by side; empty for the side in the window
  std::array<std::pair<QAction*, QAction*>, 5> m_sideActions{}; // edit it, copy the window's to it
  QString m_captionBase;                                        // the caption without the side

  // The model text each box was last loaded with (or last turned into), and
  // the revision of the box's document then: while the revision stays, that
  // is its text.
  struct Loaded {
    QString model;
    int revision = 0;
  };
  mutable QHash<const QPlainTextEdit*, Loaded> m_loaded;

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
