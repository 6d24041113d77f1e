#pragma once

#include "gui/platform/Dialogs.h"

class QWidget;

// The program's dialogs: QMessageBox, QInputDialog and Qt's own widget-based
// QFileDialog (never a native one, so that it behaves alike everywhere).
class QtDialogs final : public Dialogs {
public:
  explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

  void setParent(QWidget* parent) { m_parent = parent; }

  int messageBox(const QString& prompt, int style, const QString& title) override;
  std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) override;
  std::optional<QString> showOpen(const FileDialogSettings& settings) override;
  std::optional<QString> showSave(const FileDialogSettings& settings) override;
  std::optional<int> chooseOne(const QString& prompt, const QString& title, const QStringList& items) override;

  // "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*" in Qt's form
  // "SQF Files (*.sqf);;All Files (*)". Off Windows "*.*" would miss files
  // without a dot, so it becomes "*".
  static QString toQtFilter(const QString& filter);

private:
  std::optional<QString> showFileDialog(const FileDialogSettings& settings, bool save);

  QWidget* m_parent;
};
