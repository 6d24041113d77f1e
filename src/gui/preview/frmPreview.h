#pragma once

#include "core/check/BriefingCheck.h"
#include "gui/preview/BriefingView.h"

#include <QHash>
#include <QRect>
#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QTextBrowser;
class QTextDocument;

// The "Briefing Preview" window: the briefing for the editor's side as the
// game's map screen lays it out (the notes and the tasks as lists of titles,
// the selected entry's text as structured text), and below it the briefing
// check's findings. It follows the editor live, reading its model and the
// boxes' working copies and never writing them; choosing a title or a finding
// here selects that entry in the editor as a click there would.
class frmPreview : public QWidget {
  Q_OBJECT
public:
  // owner: the editor's window, which the preview belongs to and closes
  // with; source: what it shows. The owner calls scheduleRefresh whenever the
  // briefing may have changed.
  frmPreview(QWidget& owner, PreviewSource& source);

  // Asks for one refresh on the next turn of the event loop, however often it
  // is called before then.
  void scheduleRefresh();
  // Brings everything shown up to date with the editor now.
  void refresh();

  // Where the preview goes beside the editor on its screen: of the places
  // right of it, left of it, below and above it (each as large as wanted,
  // within the free room there, but not below a usable minimum, and moved
  // onto the screen), the one that covers the least of the editor. All frame
  // rectangles.
  static QRect placeBeside(const QRect& screen, const QRect& editor, QSize wanted);
  static constexpr QSize kMinimumSize{400, 300};

  // The document the text pane shows.
  QTextDocument* document() const;
  // The findings on show, in order.
  const std::vector<BriefingFinding>& findings() const { return m_findings; }

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void titleChosen(bool tasks);
  void findingChosen(int row);
  // The source of a picture tag's image, or empty when it cannot be shown.
  QString pictureSource(const QString& file);

  QWidget& m_owner;
  PreviewSource& m_source;
  bool m_scheduled = false;
  bool m_stale = true;
  bool m_syncing = false;

  QLabel* lblPreviewSide = nullptr;
  QListWidget* lstPreviewNotes = nullptr;
  QListWidget* lstPreviewTasks = nullptr;
  QLabel* lblPreviewTitle = nullptr;
  QTextBrowser* txtPreview = nullptr;
  QListWidget* lstFindings = nullptr;

  // What the text pane was last built from, so that unchanged text is not
  // laid out again.
  QString m_shownText;
  QString m_shownFolder;
  QStringList m_shownLines; // the HTML of each line shown
  bool m_shownAny = false;
  QString m_folder;
  std::vector<BriefingFinding> m_findings;
  QStringList m_findingLines;

  struct Picture {
    qint64 modified = -1;
    bool readable = false;
  };
  QHash<QString, Picture> m_pictures;
};
