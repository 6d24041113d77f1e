#pragma once

#include "gui/platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

// The tests' Dialogs: answers are queued, each kind's in the order the
// program will ask, every request is recorded, and a dialog with no answer of
// its kind queued fails the running test.
class ScriptedDialogs final : public Dialogs {
public:
  enum class Kind { Message, Input, Open, Save, Choose };

  struct Request {
    Kind kind;
    QString prompt;
    QString title;
    int style = 0;
    QString defaultText;
    FileDialogSettings settings;
    QStringList items = {}; // a list to choose from
  };

  // The next message box's button (a MsgAnswer value); what the next input
  // box or file dialog gives back, no value for Cancel; fails: the file
  // dialog cannot come up and throws.
  void answerMessage(int answer) { m_answers.push_back({Kind::Message, answer, {}}); }
  void answerInput(const std::optional<QString>& text) { m_answers.push_back({Kind::Input, 0, text}); }
  void answerOpen(const std::optional<QString>& path, bool fails = false) {
    m_answers.push_back({Kind::Open, 0, path, fails});
  }
  void answerSave(const std::optional<QString>& path, bool fails = false) {
    m_answers.push_back({Kind::Save, 0, path, fails});
  }
  // The line chosen from a list (0 the first), no value for Cancel.
  void answerChoice(std::optional<int> line) { m_answers.push_back({Kind::Choose, line.value_or(-1), {}}); }

  // Answers still waiting: a test asserts this is 0 at its end.
  int pending() const { return static_cast<int>(m_answers.size()); }

  QList<Request> requests;

  int messageBox(const QString& prompt, int style, const QString& title) override {
    return take({Kind::Message, prompt, title, style, {}, {}}).button;
  }
  std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) override {
    return take({Kind::Input, prompt, title, 0, defaultText, {}}).text;
  }
  std::optional<QString> showOpen(const FileDialogSettings& s) override {
    return take({Kind::Open, {}, {}, 0, {}, s}).text;
  }
  std::optional<QString> showSave(const FileDialogSettings& s) override {
    return take({Kind::Save, {}, {}, 0, {}, s}).text;
  }
  std::optional<int> chooseOne(const QString& prompt, const QString& title,
                               const QStringList& items) override {
    const int line = take({Kind::Choose, prompt, title, 0, {}, {}, items}).button;
    return line < 0 ? std::nullopt : std::optional<int>(line);
  }

private:
  struct Answer {
    Kind kind;
    int button = 0;
    std::optional<QString> text;
    bool fails = false;
  };
  Answer take(const Request& request);

  std::deque<Answer> m_answers;
};
