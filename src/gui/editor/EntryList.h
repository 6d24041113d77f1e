#pragma once

#include <QListWidget>

#include <functional>

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
