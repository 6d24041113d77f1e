#pragma once

#include "core/check/BriefingCheck.h"
#include "core/format/Briefing.h"

#include <QString>

// The briefing as the preview reads it: the window's side first, the boxes'
// working copies standing in for their entries' slots, and where the user is.
struct BriefingView {
  Briefing briefing;
  std::vector<BriefingFinding> fileFindings; // about the file it came from
  QString folder; // appPath, the mission folder
  int selectedNote = -1;
  int selectedTask = -1;
  bool tasksPage = true;
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
  // Brings a side's briefing into the editor.
  virtual void editSide(Side side) = 0;
};
