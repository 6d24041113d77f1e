#pragma once

#include <QList>
#include <QString>

#include <cstddef>
#include <utility>

// The briefing as the preview reads it: the boxes' working copies stand in
// for their entries' slots. Texts keep CR LF line breaks.
struct BriefingView {
  QString side;
  QString currentTask;                      // the caption of lblCurTask
  QString folder;                           // appPath, the mission folder
  QList<std::pair<QString, QString>> notes; // title and text, in list order
  QList<std::pair<QString, QString>> tasks;
  int selectedNote = -1;
  int selectedTask = -1;
  bool tasksPage = true;
  // The other sides that hold a briefing, for the check: side, current task,
  // notes and tasks as above.
  struct OtherSide {
    QString side;
    QString currentTask;
    QList<std::pair<QString, QString>> notes;
    QList<std::pair<QString, QString>> tasks;
  };
  QList<OtherSide> otherSides;
};

// What the preview reads of the editor and asks of it: the editor window is
// one, and the preview knows nothing else of it.
class PreviewSource {
public:
  virtual ~PreviewSource() = default;
  // The briefing now, the boxes' working copies included; changes nothing.
  virtual BriefingView previewView() const = 0;
  // Selects an entry as a user's click on its page and then on its row does,
  // then, with a line above 0, puts the cursor at that line and column
  // (1-based) of the entry's text in its box.
  virtual void selectEntry(bool tasks, int row, int line = 0, int column = 0) = 0;
  // Brings a side's briefing into the editor (an index into kSides).
  virtual void editSide(std::size_t side) = 0;
};
