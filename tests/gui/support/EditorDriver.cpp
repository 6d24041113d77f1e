#include "support/EditorDriver.h"

#include "files/DiscardedBriefings.h"

namespace {

// What the preview's document shows of its fragments that are not plain
// text: links with their tooltips, colours, sizes (as a multiple of the
// text's) and faces, pictures with their size, framed tables.
QString marks(const QTextDocument* doc) {
  QStringList out;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat format = f.charFormat();
      const QColor ink = format.foreground().color();
      QString font = format.foreground().style() != Qt::NoBrush && ink != Qt::black ? " in " + ink.name() : "";
      if (format.fontPointSize() > 0)
        font += QStringLiteral(" x%1").arg(format.fontPointSize() / doc->defaultFont().pointSizeF());
      if (!format.fontFamilies().toStringList().isEmpty())
        font += " " + format.fontFamilies().toStringList().join(',');
      if (format.isImageFormat())
        out << QStringLiteral("image %1 %2x%3")
                   .arg(QFileInfo(QUrl(format.toImageFormat().name()).toLocalFile()).fileName())
                   .arg(format.toImageFormat().width())
                   .arg(format.toImageFormat().height());
      else if (format.isAnchor())
        out << QStringLiteral("link %1 %2 tip %3").arg(f.text(), format.anchorHref(), format.toolTip());
      else if (!font.isEmpty())
        out << f.text() + font;
    }
  for (QTextFrame* frame : doc->rootFrame()->childFrames())
    if (auto* table = qobject_cast<QTextTable*>(frame))
      out << QStringLiteral("framed %1").arg(table->cellAt(0, 0).firstCursorPosition().block().text());
  return out.join(QLatin1String("; "));
}

// A dialog as a row names it.
QString asked(const ScriptedDialogs::Request& r) {
  using Kind = ScriptedDialogs::Kind;
  if (r.kind == Kind::Open || r.kind == Kind::Save)
    return QStringLiteral("%1 in %2, flags %3").arg(r.kind == Kind::Open ? "Open" : "Save", r.settings.initDir)
        .arg(r.settings.flags);
  if (r.kind == Kind::Choose)
    return r.title + ": " + r.items.join(" | ");
  return QStringLiteral("%1: %2 [%3]").arg(r.title, r.prompt).arg(r.style);
}

// The fields of Shown by name, in the order the comparisons show them.
const std::pair<const char*, Shown::Want Shown::*> kFields[] = {
    {"tasks", &Shown::tasks},         {"notes", &Shown::notes},           {"box", &Shown::box},
    {"boxes", &Shown::boxes},         {"cursor", &Shown::cursor},         {"scroll", &Shown::scroll},
    {"current", &Shown::current},     {"side", &Shown::side},             {"page", &Shown::page},
    {"enabled", &Shown::enabled},     {"taskText", &Shown::taskText},     {"noteText", &Shown::noteText},
    {"counts", &Shown::counts},       {"caption", &Shown::caption},       {"path", &Shown::path},
    {"heard", &Shown::heard},         {"asked", &Shown::asked},           {"saved", &Shown::saved},
    {"encoding", &Shown::encoding},   {"sideButtons", &Shown::sideButtons}, {"hint", &Shown::hint},
    {"menu", &Shown::menu},           {"kept", &Shown::kept},
    {"previewSide", &Shown::previewSide}, {"previewNotes", &Shown::previewNotes},
    {"previewTasks", &Shown::previewTasks}, {"previewTitle", &Shown::previewTitle},
    {"previewText", &Shown::previewText}, {"previewMarks", &Shown::previewMarks},
    {"findings", &Shown::findings}};

} // namespace

EditorDriver::EditorDriver() {
  window.show();
  if (!QTest::qWaitForWindowExposed(&window))
    QTest::qFail("the editor window did not show", __FILE__, __LINE__);
}

void EditorDriver::clickRow(const QString& name, int row, Qt::KeyboardModifiers keys) {
  QListWidget* l = list(name);
  QTRY_VERIFY(l->count() > row); // the preview's lists follow the editor's events
  l->scrollToItem(l->item(row)); // in view, its place laid out
  QTest::mouseClick(l->viewport(), Qt::LeftButton, keys, l->visualItemRect(l->item(row)).center());
}

void EditorDriver::type(const QString& name, const QString& text, bool atEnd) {
  if (atEnd)
    QTest::keyClick(box(name), Qt::Key_End, Qt::ControlModifier);
  // Each character as a key that types it: a letter outside ASCII as a
  // keyboard of its language sends it.
  for (const QChar c : text)
    if (c == '\n')
      QTest::keyClick(box(name), Qt::Key_Return);
    else if (c.unicode() < 0x80)
      QTest::keyClicks(box(name), QString(c));
    else
      QTest::sendKeyEvent(QTest::Click, box(name), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A step of run(): d the driver, a the step's argument.
#define STEP(...) []([[maybe_unused]] EditorDriver& d, [[maybe_unused]] const QString& a) { __VA_ARGS__; }

void EditorDriver::run(const QString& step) {
  // clang-format off
  static const QHash<QString, std::function<void(EditorDriver&, const QString&)>> verbs = {
      {"click", STEP(QTest::mouseClick(d.button(a), Qt::LeftButton))},
      {"key", STEP(QVERIFY(QTest::qWaitForWindowActive(&d.window));
                   QWidget* w = d.find<QWidget>(a.section(' ', 0, 0)); w->setFocus();
                   const QKeyCombination k = QKeySequence(a.section(' ', 1))[0];
                   QTest::keyClick(w, k.key(), k.keyboardModifiers()))},
      {"page", STEP(d.clickRow("lstBriefing", a == "Notes" ? 1 : 0))},
      {"pick", STEP(d.clickRow(d.shownList(), a.toInt()))},
      {"ctrl-pick", STEP(d.clickRow(d.shownList(), a.toInt(), Qt::ControlModifier))},
      {"type", STEP(d.type(d.shownBox(), a))},
      {"put", STEP(a.isEmpty() ? QTest::keyClick(d.box(d.shownBox()), Qt::Key_Delete) : d.type(d.shownBox(), a, false))},
      {"select", STEP(QPlainTextEdit* b = d.box(d.shownBox()); QTest::keyClick(b, Qt::Key_Home, Qt::ControlModifier);
                      for (int i = 0; i < a.section(' ', 0, 0).toInt(); ++i) QTest::keyClick(b, Qt::Key_Right);
                      for (int i = 0; i < a.section(' ', 1).toInt(); ++i) QTest::keyClick(b, Qt::Key_Right, Qt::ShiftModifier))},
      {"paste", STEP(const QString c = a.section(' ', 1);
                     const QChar one = c.startsWith("U+") ? QChar(char16_t(c.mid(2).toUShort(nullptr, 16))) : c[0];
                     QGuiApplication::clipboard()->setText(QString(a.section(' ', 0, 0).toInt(), one));
                     d.type(d.shownBox(), {}); QTest::keyClick(d.box(d.shownBox()), Qt::Key_V, Qt::ControlModifier))},
      {"undo", STEP(QTest::keyClick(d.box(d.shownBox()), Qt::Key_Z, Qt::ControlModifier))},
      {"redo", STEP(QTest::keyClick(d.box(d.shownBox()), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier))},
      {"yes", STEP(d.dialogs.answerMessage(MsgAnswer::Yes))},
      {"no", STEP(d.dialogs.answerMessage(MsgAnswer::No))},
      {"ok", STEP(d.dialogs.answerMessage(MsgAnswer::OK))},
      {"enter", STEP(d.dialogs.answerInput(a))},
      {"cancel", STEP(d.dialogs.answerInput(std::nullopt))},
      {"file", STEP(const QString path = a.section(' ', 1); const bool open = a.startsWith("open");
                    const auto answer = path == "cancel" || path == "broken" ? std::optional<QString>() : path;
                    open ? d.dialogs.answerOpen(answer, path == "broken") : d.dialogs.answerSave(answer, path == "broken"))},
      {"choose", STEP(d.dialogs.answerChoice(a == "none" ? std::nullopt : std::optional<int>(a.toInt())))},
      {"create", STEP(d.dialogs.answerInput(a); d.run("click cmdAdd"))},
      {"rename", STEP(d.dialogs.answerInput(a); d.run("click cmdEdit"))},
      {"add", STEP(for (const QString& title : a.split(',')) {
                     d.run("create " + title); d.run("pick " + QString::number(d.list(d.shownList())->count() - 1));
                     d.type(d.shownBox(), title.toLower() + " text"); })},
      {"save", STEP(d.dialogs.answerSave(d.m_saved = a); d.run("click cmdOK"))},
      {"open", STEP(d.dialogs.answerOpen(a); d.run("click cmdOpen"))},
      {"import", STEP(d.dialogs.answerOpen(a); d.run("click cmdImport"))},
      {"preview", STEP(QTest::keyClick(&d.window, Qt::Key_F5))},
      {"menu", STEP(QWidget* w = d.find<QWidget>(a);
                    QTimer::singleShot(0, w, [&d] {
                      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                      QVERIFY(menu);
                      d.m_menu.clear();
                      for (const QAction* e : menu->actions())
                        d.m_menu << (e->isSeparator() ? "-" : e->text() + (e->shortcut().isEmpty() ? "" : "\t" +
                                     e->shortcut().toString()) + (e->isEnabled() ? "" : " [off]"));
                      QTest::keyClick(menu, Qt::Key_Escape); });
                    if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
                      w = area->viewport(); // where a scroll area takes its mouse's events
                    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
                    QApplication::sendEvent(w, &event);
                    d.window.activateWindow())}, // as the desktop does when a menu closes
      {"show", STEP(d.clickRow(a.section(' ', 0, 0), a.section(' ', 1).toInt()))},
      {"slots", STEP(d.window.taskSlotCount = d.window.noteSlotCount = qint16(a.toInt()))},
      {"folder", STEP(d.window.appPath = QDir::toNativeSeparators(a))},
      {"argv", STEP(d.window.openCommandLine(QStringList{"quillfort", a}.mid(0, a.isEmpty() ? 1 : 2)))},
      {"wait", STEP(QCoreApplication::processEvents())},
  };
  // clang-format on
  const qsizetype blank = step.indexOf(QLatin1Char(' '));
  const QString verb = blank < 0 ? step : step.left(blank);
  QString arg = blank < 0 ? QString() : step.mid(blank + 1);
  if (arg.size() >= 2 && arg.startsWith('"') && arg.endsWith('"'))
    arg = arg.mid(1, arg.size() - 2);
  m_scrollBefore = box(shownBox())->verticalScrollBar()->value();
  if (!verbs.contains(verb))
    return QTest::qFail(qPrintable("no such step: " + step), __FILE__, __LINE__);
  verbs[verb](*this, arg);
}

void EditorDriver::check(const Row& row, const QString& folder) {
  for (const Stage& stage : row.stages) {
    m_askedBefore = dialogs.requests.size();
    for (QString step : stage.steps)
      run(step.replace("%1", folder));
    QStringList wanted;
    for (const auto& [name, field] : kFields)
      if (stage.shown.*field)
        wanted << QString(name) + ": " + QString(*(stage.shown.*field)).replace("%1", folder);
    // The preview follows the editor's events; a mismatch shows whole.
    if (!QTest::qWaitFor([&] { return shown(stage.shown) == wanted; }))
      QVERIFY2(false, qPrintable("the window shows\n" + shown(stage.shown).join('\n') + "\nwhere the row wants\n" +
                                 wanted.join('\n')));
    QCOMPARE(dialogs.pending(), 0); // every answer the stage gave was asked for
  }
}

QStringList EditorDriver::titles(const QString& name) const {
  QStringList out;
  for (int i = 0; i < list(name)->count(); ++i)
    out << list(name)->item(i)->text();
  return out;
}

QString EditorDriver::entries(const QString& name) const {
  const QListWidget* l = list(name);
  QStringList out;
  for (int i = 0; i < l->count(); ++i)
    out << l->item(i)->text() + l->item(i)->data(Qt::UserRole).toString() +
               (i == l->currentRow() && l->item(i)->isSelected() ? "*" : "");
  return out.join(", ");
}

QString EditorDriver::enabled() const {
  const QStringList five{"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"};
  QStringList on;
  for (const QString& name : five)
    if (find<QWidget>(name)->isEnabled())
      on << name;
  for (const QWidget* w : window.findChildren<QWidget*>())
    if (w->window() == &window && !w->isEnabled() && !five.contains(w->objectName()) &&
        QRegularExpression("^(cmd|lst|txt|cbo)").match(w->objectName()).hasMatch())
      on << "-" + w->objectName();
  return on.join(' ');
}

// One of the preview's controls as a user reads it.
QString EditorDriver::inPreview(const QString& name) const {
  const auto* preview = window.findChild<QWidget*>(QStringLiteral("frmPreview"));
  if (!preview || !preview->isVisible())
    return QStringLiteral("not shown");
  if (auto* text = preview->findChild<QTextBrowser*>(name.section(' ', 0, 0)))
    return name == "txtPreview" ? text->document()->toPlainText() : marks(text->document());
  if (preview->findChild<QListWidget*>(name))
    return titles(name).join(name == "lstFindings" ? " / " : ", ");
  return preview->findChild<QLabel*>(name)->text();
}

QStringList EditorDriver::shown(const Shown& want) const {
  const auto side = [this](int i) { return button(QStringLiteral("cmdEditSide%1").arg(i + 1)); };
  // clang-format off
  const QHash<QString, std::function<QString()>> values = {
      {"tasks", [&] { return entries("lstTasks"); }},
      {"notes", [&] { return entries("lstNotes"); }},
      {"box", [&] { return box(shownBox())->toPlainText(); }},
      {"boxes", [&] { return box("txtTasks")->toPlainText() + " / " + box("txtNotes")->toPlainText(); }},
      {"cursor", [&] { const QTextCursor c = box(shownBox())->textCursor();
                       return QString::number(c.position()) + (c.hasSelection() ? " " + c.selectedText() : ""); }},
      {"scroll", [&] { const int at = box(shownBox())->verticalScrollBar()->value();
                       return at > 0 && at == m_scrollBefore ? "kept" : "not kept"; }},
      {"current", [&] { return find<QLabel>("lblCurTask")->text(); }},
      {"side", [&] { return button("cmdSide")->text(); }},
      {"page", [&] { return list("lstTasks")->isVisible() ? "Tasks" : "Notes"; }},
      {"enabled", [&] { return enabled(); }},
      {"taskText", [&] { return window.taskText.join(" | "); }},
      {"noteText", [&] { return window.noteText.join(" | "); }},
      {"counts", [&] { return QStringLiteral("%1 %2 %3 %4").arg(window.taskSlotCount).arg(window.noteSlotCount)
                                  .arg(window.lastTaskIndex).arg(window.lastNoteIndex); }},
      {"caption", [&] { return window.windowHandle()->title(); }},
      {"path", [&] { return window.appPath; }},
      {"heard", [&] { QStringList heard;
                      for (QObject* o : {(QObject*)&window, (QObject*)button("cmdSide"), (QObject*)find<QLabel>("lblCurTask")})
                        heard << QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
                      return heard.join(" | "); }},
      {"asked", [&] { QStringList asked;
                      for (qsizetype i = m_askedBefore; i < dialogs.requests.size(); ++i)
                        asked << ::asked(dialogs.requests[i]);
                      return asked.join(" / "); }},
      {"saved", [&] { for (const QFileInfo& f : QDir(QUILLFORT_TEST_DATA).entryInfoList(QDir::Files))
                        if (readFile(f.filePath()) == readFile(m_saved))
                          return f.fileName();
                      return QStringLiteral("a script of none of tests/data"); }},
      {"encoding", [&] { return find<QComboBox>("cboEncoding")->currentText(); }},
      {"sideButtons", [&] { QStringList out;
                            for (int i = 0; i < 5; ++i)
                              out << side(i)->text() + (side(i)->isChecked() ? "*" : "");
                            return out.join(", "); }},
      {"hint", [&] { const QLabel* hint = find<QLabel>("lblHint");
                     return hint->isVisible() ? hint->text() : "not shown"; }},
      {"menu", [&] { return m_menu.join(" / "); }},
      {"kept", [&] { QStringList kept;
                     for (const QString& name : QDir(DiscardedBriefings::folder()).entryList({"*.sqf"}, QDir::Files, QDir::Name | QDir::Reversed))
                       kept << name.mid(20).chopped(4);
                     return kept.join(" / "); }},
      {"previewSide", [&] { return inPreview("lblPreviewSide"); }},
      {"previewNotes", [&] { return inPreview("lstPreviewNotes"); }},
      {"previewTasks", [&] { return inPreview("lstPreviewTasks"); }},
      {"previewTitle", [&] { return inPreview("lblPreviewTitle"); }},
      {"previewText", [&] { return inPreview("txtPreview"); }},
      {"previewMarks", [&] { return inPreview("txtPreview marks"); }},
      {"findings", [&] { return inPreview("lstFindings"); }},
  };
  // clang-format on
  QStringList out;
  for (const auto& [name, field] : kFields)
    if (want.*field)
      out << QString(name) + ": " + values[name]();
  return out;
}
