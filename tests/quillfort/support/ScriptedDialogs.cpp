#include "support/ScriptedDialogs.h"

#include <QTest>

#include <stdexcept>

namespace {
const char* kindName(ScriptedDialogs::Kind kind) {
  static const char* const names[] = {"message box", "input box", "open dialog", "save dialog"};
  return names[static_cast<int>(kind)];
}
} // namespace

void ScriptedDialogs::answerMessage(int answer) { m_answers.push_back({Kind::Message, answer, {}}); }
void ScriptedDialogs::answerInput(const QString& text) { m_answers.push_back({Kind::Input, 0, text}); }
void ScriptedDialogs::cancelInput() { m_answers.push_back({Kind::Input, 0, std::nullopt}); }
void ScriptedDialogs::answerOpen(const QString& path) { m_answers.push_back({Kind::Open, 0, path}); }
void ScriptedDialogs::answerSave(const QString& path) { m_answers.push_back({Kind::Save, 0, path}); }
void ScriptedDialogs::cancelOpen() { m_answers.push_back({Kind::Open, 0, std::nullopt}); }
void ScriptedDialogs::cancelSave() { m_answers.push_back({Kind::Save, 0, std::nullopt}); }

void ScriptedDialogs::failOpen() { m_answers.push_back({Kind::Open, 0, std::nullopt, true}); }
void ScriptedDialogs::failSave() { m_answers.push_back({Kind::Save, 0, std::nullopt, true}); }

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(Kind kind, const QString& what) {
  if (m_answers.empty()) {
    QTest::qFail(qPrintable(QStringLiteral("unexpected %1: %2").arg(QLatin1String(kindName(kind)), what)),
                 __FILE__, __LINE__);
    return std::nullopt;
  }
  Answer answer = m_answers.front();
  m_answers.pop_front();
  if (answer.kind != kind) {
    QTest::qFail(
        qPrintable(QStringLiteral("expected a %1, the program showed a %2: %3")
                       .arg(QLatin1String(kindName(answer.kind)), QLatin1String(kindName(kind)), what)),
        __FILE__, __LINE__);
    return std::nullopt;
  }
  return answer;
}

int ScriptedDialogs::messageBox(const QString& prompt, int style, const QString& title) {
  requests.append({Kind::Message, prompt, title, style, {}, {}});
  const auto answer = take(Kind::Message, prompt);
  return answer ? answer->button : MsgAnswer::Cancel;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
  requests.append({Kind::Input, prompt, title, 0, defaultText, {}});
  const auto answer = take(Kind::Input, prompt);
  return answer ? answer->text : std::nullopt;
}

std::optional<QString> ScriptedDialogs::showOpen(const FileDialogSettings& settings) {
  return fileDialog(Kind::Open, settings);
}

std::optional<QString> ScriptedDialogs::showSave(const FileDialogSettings& settings) {
  return fileDialog(Kind::Save, settings);
}

std::optional<QString> ScriptedDialogs::fileDialog(Kind kind, const FileDialogSettings& settings) {
  requests.append({kind, {}, {}, 0, {}, settings});
  const auto answer = take(kind, settings.initDir);
  if (answer && answer->fails)
    throw std::runtime_error(std::string("the ") + kindName(kind) + " could not be shown");
  return answer ? answer->text : std::nullopt;
}
