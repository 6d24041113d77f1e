#include "support/ScriptedDialogs.h"

#include <QTest>

#include <stdexcept>

// The next answer, which must be for a dialog of the request's kind; a wrong
// or missing one fails the test and answers Cancel.
ScriptedDialogs::Answer ScriptedDialogs::take(const Request& request) {
  static const char* const names[] = {"a message box", "an input box", "an open dialog", "a save dialog",
                                      "a list to choose from"};
  requests.append(request);
  const char* shown = names[static_cast<int>(request.kind)];
  if (m_answers.empty() || m_answers.front().kind != request.kind) {
    QTest::qFail(qPrintable(QStringLiteral("the program showed %1 (%2), the test expected %3")
                                .arg(QLatin1String(shown), request.prompt + request.settings.initDir,
                                     m_answers.empty() ? QStringLiteral("nothing")
                                                       : QLatin1String(names[int(m_answers.front().kind)]))),
                 __FILE__, __LINE__);
    return {request.kind, request.kind == Kind::Choose ? -1 : MsgAnswer::Cancel, std::nullopt};
  }
  const Answer answer = m_answers.front();
  m_answers.pop_front();
  if (answer.fails)
    throw std::runtime_error(std::string(shown) + " could not be shown");
  return answer;
}
