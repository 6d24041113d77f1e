#pragma once
// The editor window as the benchmarks drive it: real buttons and lists, with
// dialogs that answer from a queue.
#include "gui/editor/frmBriefing.h"
#include "gui/platform/Dialogs.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdio>
#include <deque>

namespace bench {

struct BenchDialogs final : Dialogs {
  std::deque<QString> answers; // input boxes, in order
  QString path;                // the open and save dialogs' choice
  int messageBox(const QString& prompt, int, const QString&) override {
    std::fprintf(stderr, "bench: unexpected message: %s\n", qPrintable(prompt));
    return MsgAnswer::OK;
  }
  std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
    if (answers.empty())
      return {};
    QString a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<QString> showOpen(const FileDialogSettings&) override { return path; }
  std::optional<QString> showSave(const FileDialogSettings&) override { return path; }
  std::optional<int> chooseOne(const QString& prompt, const QString&, const QStringList&) override {
    std::fprintf(stderr, "bench: unexpected list: %s\n", qPrintable(prompt));
    return {};
  }
};

struct BenchEditor {
  BenchDialogs dialogs;
  frmBriefing window{dialogs};

  template <class T> T* find(const char* name) { return window.findChild<T*>(QLatin1String(name)); }
  QPushButton* button(const char* name) { return find<QPushButton>(name); }
  QListWidget* tasks() { return find<QListWidget>("lstTasks"); }
  QPlainTextEdit* taskBox() { return find<QPlainTextEdit>("txtTasks"); }

  void show() {
    window.show();
    QApplication::processEvents();
  }
  // A new task whose text is `text` (CR LF breaks), put into the box as a
  // user's paste would; it stays selected.
  void addTask(const QString& title, const QString& text) {
    dialogs.answers.push_back(title);
    button("cmdAdd")->click();
    tasks()->setCurrentRow(tasks()->count() - 1);
    QString shown = text;
    taskBox()->setPlainText(shown.replace(QLatin1String("\r\n"), QLatin1String("\n")));
  }
};

} // namespace bench
