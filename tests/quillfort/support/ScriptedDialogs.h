#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

// The tests' Dialogs: answers are queued in the order the program will ask,
// every request is recorded, and a dialog that was not expected, or of another
// kind than the next answer, fails the running test.
class ScriptedDialogs final : public Dialogs {
public:
  enum class Kind { Message, Input, Open, Save };

  struct Request {
    Kind kind;
    QString prompt;
    QString title;
    int style = 0;
    QString defaultText;
    FileDialogSettings settings;
  };

  // Queue the answer to the next message box (a MsgAnswer value).
  void answerMessage(int answer);
  // Queue what the next input box returns; cancelInput answers Cancel.
  void answerInput(const QString& text);
  void cancelInput();
  // Queue the path the next open or save dialog returns; cancelFile answers Cancel.
  void answerOpen(const QString& path);
  void answerSave(const QString& path);
  void cancelOpen();
  void cancelSave();
  // The next open or save dialog fails to come up: it throws.
  void failOpen();
  void failSave();

  // Answers still waiting: a test asserts this is 0 at its end.
  int pending() const { return static_cast<int>(m_answers.size()); }

  QList<Request> requests;

  int messageBox(const QString& prompt, int style, const QString& title) override;
  std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) override;
  std::optional<QString> showOpen(const FileDialogSettings& settings) override;
  std::optional<QString> showSave(const FileDialogSettings& settings) override;

private:
  struct Answer {
    Kind kind;
    int button = 0;
    std::optional<QString> text;
    bool fails = false;
  };
  std::optional<Answer> take(Kind kind, const QString& what);
  std::optional<QString> fileDialog(Kind kind, const FileDialogSettings& settings);

  std::deque<Answer> m_answers;
};
