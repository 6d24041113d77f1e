#pragma once

#include "core/check/BriefingCheck.h"
#include "core/format/Briefing.h"
#include "gui/editor/EntryList.h"
#include "gui/preview/BriefingView.h"

#include <QListWidget>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class Dialogs;
class frmPreview;
class BriefingTextBox;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

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

  // The folder of a chosen file, for appPath: the path up to its last
  // separator. The root folder stays usable ("C:" or "/").
  static QString folderOf(const QString& path);

  // Runs the part of a file command after the file was chosen: any failure,
  // of whatever kind, ends it and shows the "Open Error" box (7 out of
  // memory, 51 internal error for anything that is not one of ours).
  void reportFailures(const std::function<void()>& work);
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

  // The briefing of a side not shown in the window; the side in the window
  // holds no kept briefing.
  const SideBriefing& keptBriefing(Side side) const { return m_kept[indexOf(side)]; }
  // The side button's side; none for a caption that names none.
  std::optional<Side> editedSide() const;
  // The whole briefing: the window's side first (its boxes' working copies
  // included), then every other side that holds entries; the encoding the
  // next save writes.
  Briefing briefing() const;
  // Puts the window's briefing aside and the side's briefing into the window.
  void editSide(Side side) override;

signals:
  // Something the preview shows may have changed: a command ran, a box's
  // text or a list's rows or selection changed. Often several times per
  // command; the preview coalesces them.
  void briefingChanged();

protected:
  void paintEvent(QPaintEvent* event) override;
  // Exit and the close box: the briefing is kept first if it was not saved.
  void closeEvent(QCloseEvent* event) override;

private:
  void buildControls();
  void buildTopFrame();
  void buildListsAndBoxes();
  void buildCommandFrame();
  void buildMoreFrame();
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
  void ReadBriefingScript(const QString& path);
  void openChosenFile(const QString& path);
  void resetWorkArea();
  void clearWindowBriefing();
  void entrySelected(QListWidget* list, BriefingTextBox* box, QStringList& texts, qint16& last);
  void moveSelected(int step);
  void showOpenError(int number, const QString& description);
  void storeWorkingCopies();
  // Puts entries into an empty list in order, each entry's slot its position,
  // and shows the first entry in the box.
  void loadEntries(const std::vector<BriefingEntry>& entries, QListWidget* list, BriefingTextBox* box,
                   QStringList& slotTexts, qint16& slotCount);

  // frmBriefing_sides.cpp: the other sides' briefings.
  void installSideActions();
  void copyBriefingTo(Side side);
  SideBriefing windowBriefing() const;
  void loadBriefing(const SideBriefing& briefing);
  // frmBriefing_kept.cpp: what a command discards without a save is kept.
  // The briefing, every side, is kept as a script when it holds an entry and
  // is not what was last saved or opened; lastRun: the run ends with it.
  void keepDiscarded(bool lastRun = false);
  // What the window holds now is what was saved or opened: the script saved,
  // or the one the window's briefing would be.
  void recoverDiscarded();
  // frmBriefing_open.cpp: a briefing.sqf written by hand or another tool,
  // into the window as a new, unnamed briefing; what was left out shows in
  // the preview's check.
  std::optional<QString> chooseScriptToOpen();
  void importScript();
  void showLastRunHint();

  // The caption and the side buttons after the sides changed.
  void refreshCaption();
  bool anyKeptBriefing() const; // another side than the window's holds entries
  // The encoding the next save writes, as the window shows it.
  void setEncoding(Encoding encoding);

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
  bool tasksPageShown() const;

  Dialogs& m_dialogs;
  QPixmap m_background; // the @2x map on dense screens; null where the packed map is drawn
  frmPreview* m_preview = nullptr;
  QAction* m_previewAction = nullptr;
  bool m_closing = false;
  std::array<SideBriefing, kSides.size()> m_kept;               // by side; empty for the side in the window
  QString m_captionBase;                                        // the caption without the side
  Encoding m_encoding = Encoding::Utf8;                         // what the next save writes
  // The briefing as last saved or opened: discarding it keeps nothing.
  std::optional<Briefing> m_saved;
  // What the file the window's briefing came from holds that the briefing
  // does not show: lines not as the writer writes them, statements an import
  // left out. The preview's check lists them until the next save, open or clear.
  std::vector<BriefingFinding> m_fileFindings;

  QGroupBox* Frame1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QPushButton* cmdCurTask = nullptr;
  QLabel* lblCurTask = nullptr;
  QPushButton* cmdAbout = nullptr;
  QPushButton* cmdSide = nullptr;
  EntryList* lstBriefing = nullptr;
  EntryList* lstTasks = nullptr;
  EntryList* lstNotes = nullptr;
  BriefingTextBox* txtTasks = nullptr;
  BriefingTextBox* txtNotes = nullptr;
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

  // Added beside them, in Frame3 above the commands: a button a side (the
  // keys' Ctrl+1 to Ctrl+5), the encoding of the next save, Recover; above
  // them, the hint that a discarded briefing was kept.
  QGroupBox* Frame3 = nullptr;
  std::array<QPushButton*, kSides.size()> cmdEditSide{};
  QComboBox* cboEncoding = nullptr;
  QPushButton* cmdImport = nullptr;
  QPushButton* cmdRecover = nullptr;
  QLabel* lblHint = nullptr;
  QPushButton* cmdHideHint = nullptr;
};
