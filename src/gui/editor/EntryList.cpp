#include "gui/editor/EntryList.h"

#include <QMouseEvent>

QItemSelectionModel::SelectionFlags EntryList::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const {
  const auto flags = QListWidget::selectionCommand(index, event);
  if (!index.isValid() || flags == QItemSelectionModel::NoUpdate)
    return QItemSelectionModel::NoUpdate;
  return QItemSelectionModel::ClearAndSelect;
}

void EntryList::mousePressEvent(QMouseEvent* event) {
  const int before = currentRow();
  QListWidget::mousePressEvent(event);
  const QModelIndex pressed = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && pressed.isValid() && pressed.row() == before &&
      currentRow() == before && selectedEntryClicked)
    selectedEntryClicked();
}
