#include "support/ScriptedDialogs.h"

#include <QTest>

#include <algorithm>
#include <stdexcept>

// The first answer queued for a dialog of the request's kind (a row states
// each dialog's answer, in the order of each kind); none fails the test and
// answers Cancel.
ScriptedDialogs::Answer ScriptedDialogs::take(const Request& request) {
  static const char* const names[] = {"a message box", "an input box", "an open dialog", "a save dialog",
                                      "a list to choose from"};
  requests.append(request);
  const char* shown = names[static_cast<int>(request.kind)];
  const auto answer = std::find_if(m_answers.begin(), m_answers.end(),
                                   [&](const Answer& a) { return a.kind == request.kind; });
  if (answer == m_answers.end()) {
    QTest::qFail(qPrintable(QStringLiteral("the program showed %1 (%2%3) that the test did not answer")
                                .arg(QLatin1String(shown), request.prompt, request.settings.initDir)),
                 __FILE__, __LINE__);
    return {request.kind, request.kind == Kind::Choose ? -1 : MsgAnswer::Cancel, std::nullopt};
  }
  const Answer taken = *answer;
  m_answers.erase(answer);
  if (taken.fails)
    throw std::runtime_error(std::string(shown) + " could not be shown");
  return taken;
}
