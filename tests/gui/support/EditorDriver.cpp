#include "support/EditorDriver.h"

namespace {
// What the document shows of its fragments that are not plain text: links
// with their tooltips, colours, sizes (as a multiple of the text's) and
// faces, pictures with their size, framed tables.
QString marks(const QTextDocument* doc) {
  QStringList out;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat format = f.charFormat();
      QString font = format.foreground().style() != Qt::NoBrush && format.foreground().color() != Qt::black
                         ? " in " + format.foreground().color().name()
                         : QString();
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
  }
  for (QTextFrame* frame : doc->rootFrame()->childFrames())
    if (auto* table = qobject_cast<QTextTable*>(frame))
      out << QStringLiteral("framed %1").arg(table->cellAt(0, 0).firstCursorPosition().block().text());
  return out.join(QLatin1String("; "));
}

template <class T> T* find(const QWidget& window, const char* name) {
  auto* widget = window.findChild<T*>(QLatin1String(name));
  if (!widget)
    QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(QLatin1String(name))), __FILE__,
                 __LINE__);
  return widget;
}
} // namespace

EditorDriver::EditorDriver() {
  window.show();
  if (!QTest::qWaitForWindowExposed(&window))
    QTest::qFail("the editor window did not show", __FILE__, __LINE__);
}

QPushButton* EditorDriver::button(const char* name) const { return find<QPushButton>(window, name); }
QListWidget* EditorDriver::list(const char* name) const { return find<QListWidget>(window, name); }
QPlainTextEdit* EditorDriver::box(const char* name) const { return find<QPlainTextEdit>(window, name); }

void EditorDriver::click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

void EditorDriver::selectRow(const char* name, int row, Qt::KeyboardModifiers keys) {
  QListWidget* l = list(name);
  QTest::mouseClick(l->viewport(), Qt::LeftButton, keys, l->visualItemRect(l->item(row)).center());
}

void EditorDriver::type(const char* name, const QString& text, bool atEnd) {
  if (atEnd)
    QTest::keyClick(box(name), Qt::Key_End, Qt::ControlModifier);
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i)
      QTest::keyClick(box(name), Qt::Key_Return);
    QTest::keyClicks(box(name), lines[i]);
  }
}

void EditorDriver::selectText(const char* name, int start, int length) {
  QPlainTextEdit* b = box(name);
  QTest::keyClick(b, Qt::Key_Home, Qt::ControlModifier);
  for (int i = 0; i < start; ++i)
    QTest::keyClick(b, Qt::Key_Right);
  for (int i = 0; i < length; ++i)
    QTest::keyClick(b, Qt::Key_Right, Qt::ShiftModifier);
}

void EditorDriver::addEntries(const char* listName, const QStringList& titles) {
  const char* boxName = list(listName) == list("lstTasks") ? "txtTasks" : "txtNotes";
  for (const QString& title : titles) {
    create(title);
    selectRow(listName, list(listName)->count() - 1);
    type(boxName, title.toLower() + QStringLiteral(" text"));
  }
}

// A step of run() and a field of state(): d the driver, a the step's argument.
#define STEP(...) []([[maybe_unused]] EditorDriver& d, [[maybe_unused]] const QString& a) { __VA_ARGS__; }
#define FIELD(...) []([[maybe_unused]] const EditorDriver& d) -> QString { __VA_ARGS__; }

void EditorDriver::run(const QString& steps) {
  // clang-format off
  static const QHash<QString, std::function<void(EditorDriver&, const QString&)>> verbs = {
      {"tasks", STEP(d.showPage(0))},
      {"notes", STEP(d.showPage(1))},
      {"new", STEP(d.create(a))},
      {"add", STEP(d.addEntries(d.shownList(), a.split(QLatin1Char(','))))},
      {"pick", STEP(d.selectRow(d.shownList(), a.toInt()))},
      {"unpick", STEP(d.selectRow(d.shownList(), a.toInt(), Qt::ControlModifier))},
      {"type", STEP(d.type(d.shownBox(), a))},
      {"put", STEP(a.isEmpty() ? QTest::keyClick(d.box(d.shownBox()), Qt::Key_Delete) : d.type(d.shownBox(), a, false))},
      {"sel", STEP(d.selectText(d.shownBox(), a.section(' ', 0, 0).toInt(), a.section(' ', 1, 1).toInt()))},
      {"undo", STEP(QTest::keyClick(d.box(d.shownBox()), Qt::Key_Z, Qt::ControlModifier))},
      {"redo", STEP(QTest::keyClick(d.box(d.shownBox()), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier))},
      {"fill", STEP(QGuiApplication::clipboard()->setText(QString(a.section(' ', 0, 0).toInt(), a.section(' ', 1)[0]));
                    d.type(d.shownBox(), {}); QTest::keyClick(d.box(d.shownBox()), Qt::Key_V, Qt::ControlModifier))},
      {"slots", STEP(d.window.taskSlotCount = d.window.noteSlotCount = qint16(a.toInt()))},
      {"open", STEP(d.dialogs.answerOpen(a); d.click("cmdOpen"))},
      {"badopen", STEP(d.dialogs.answerOpen(a); d.dialogs.answerMessage(MsgAnswer::OK); d.click("cmdOpen"))},
      {"expect", STEP(a == "open" ? d.dialogs.answerOpen({}) : d.dialogs.answerSave({}))},
      {"fail", STEP(a == "open" ? d.dialogs.answerOpen({}, true) : d.dialogs.answerSave({}, true))},
      {"save", STEP(d.dialogs.answerSave(d.m_saved = a); d.click("cmdOK"))},
      {"answer", STEP(d.dialogs.answerMessage(a == "Yes" ? MsgAnswer::Yes : a == "No" ? MsgAnswer::No : MsgAnswer::OK))},
      {"preview", STEP(QTest::keyClick(&d.window, Qt::Key_F5))},
      {"wait", STEP(QCoreApplication::processEvents())},
      {"folder", STEP(d.window.appPath = QDir::toNativeSeparators(a))},
      {"choose", STEP(QListWidget* l = d.list(qPrintable(a.section(' ', 0, 0))); const int row = a.section(' ', 1).toInt();
                      QTRY_VERIFY(l->count() > row); QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center()))},
      {"argv", STEP(d.window.openCommandLine(QStringList{"quillfort", a}.mid(0, a.isEmpty() ? 1 : 2)))},
      {"key", STEP(QVERIFY(QTest::qWaitForWindowActive(&d.window)); QWidget* w = d.window.findChild<QWidget*>(a.section(' ', 0, 0));
                   w->setFocus(); const QKeyCombination k = QKeySequence(a.section(' ', 1))[0];
                   QTest::keyClick(w, k.key(), k.keyboardModifiers()))},
      {"press", STEP(QAccessible::queryAccessibleInterface(d.button(qPrintable(a)))->actionInterface()->doAction(
                         QAccessibleActionInterface::pressAction()))},
      {"click", STEP(d.click(qPrintable(a)))},
      {"ok", STEP(d.dialogs.answerMessage(MsgAnswer::OK); d.click(qPrintable(a)))},
      // Cancel where the button asks for a text (Marker once text is selected), else No.
      {"no", STEP(const bool input = a == "cmdAdd" || a == "cmdEdit" || a == "cmdPic" ||
                                     (a == "cmdMarker" && d.box(d.shownBox())->textCursor().hasSelection());
                  input ? d.dialogs.answerInput({}) : d.dialogs.answerMessage(MsgAnswer::No); d.click(qPrintable(a)))},
  };
  // Buttons answered as they ask: only Clear asks on a page whose list is
  // empty, and Marker asks for a selection first, its hint answered OK.
  static const QHash<QString, const char*> buttons = {
      {"cur", "cmdCurTask"}, {"side", "cmdSide"}, {"up", "cmdUp"},         {"down", "cmdDown"},  {"marker", "cmdMarker"},
      {"pic", "cmdPic"},     {"del", "cmdDel"},   {"rename", "cmdEdit"},   {"clear", "cmdClear"}};
  // clang-format on
  m_askedBefore = dialogs.requests.size();
  for (const QString& step : steps.split(QStringLiteral("; "))) {
    const qsizetype blank = step.indexOf(QLatin1Char(' '));
    const QString verb = step.left(blank), arg = blank < 0 ? QString() : step.mid(blank + 1);
    m_scrollBefore = box(shownBox())->verticalScrollBar()->value();
    if (verbs.contains(verb)) {
      verbs[verb](*this, arg);
    } else if (buttons.contains(verb)) {
      if (verb == "clear" || (list(shownList())->count() > 0 && (verb == "del" || !arg.isEmpty())))
        verb == "del" || verb == "clear" ? dialogs.answerMessage(MsgAnswer::Yes)
        : verb == "marker" && !box(shownBox())->textCursor().hasSelection()
            ? dialogs.answerMessage(MsgAnswer::OK)
            : dialogs.answerInput(arg);
      click(buttons.value(verb));
    } else {
      QTest::qFail(qPrintable("no such step: " + step), __FILE__, __LINE__);
    }
  }
}

void EditorDriver::check(const QString& steps, const QString& shown, const QString& folder) {
  const QStringList stages = steps.split(" >> "),
                    checks = shown.split(" >> ")
                                 .replaceInStrings("%1", folder)
                                 .replaceInStrings("%N", QDir::toNativeSeparators(folder + '/'));
  QCOMPARE(stages.size(), checks.size());
  for (qsizetype i = 0; i < stages.size(); ++i) {
    run(QString(stages[i]).replace("%1", folder));
    QTRY_COMPARE(state(checks[i]), checks[i]); // the preview follows the editor's events
  }
}

QString EditorDriver::state(const QString& want) const {
  // clang-format off
  static const QHash<QString, std::function<QString(const EditorDriver&)>> fields = {
      {"T", FIELD(return d.entries("lstTasks"))},
      {"N", FIELD(return d.entries("lstNotes"))},
      {"box", FIELD(return d.boxShows(d.shownBox()))},
      {"cursor", FIELD(const QTextCursor c = d.box(d.shownBox())->textCursor();
                       return QString::number(c.position()) + (c.hasSelection() ? " " + c.selectedText() : QString()))},
      {"scroll", FIELD(const int at = d.box(d.shownBox())->verticalScrollBar()->value();
                       return at > 0 && at == d.m_scrollBefore ? "kept" : "not kept")},
      {"cur", FIELD(return find<QLabel>(d.window, "lblCurTask")->text())},
      {"side", FIELD(return d.button("cmdSide")->text())},
      {"page", FIELD(return d.list("lstTasks")->isVisible() ? "Tasks" : "Notes")},
      {"taskText", FIELD(return d.window.taskText.join(','))},
      {"noteText", FIELD(return d.window.noteText.join(','))},
      {"caption", FIELD(return d.window.windowHandle()->title())},
      {"path", FIELD(return d.window.appPath)},
      {"heard", FIELD(QStringList heard; for (QObject* o : {(QObject*)&d.window, (QObject*)d.button("cmdSide"), (QObject*)find<QLabel>(d.window, "lblCurTask")})
                        heard << QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); return heard.join('|'))},
      {"counts", FIELD(return QStringLiteral("%1,%2,%3,%4").arg(d.window.taskSlotCount).arg(d.window.noteSlotCount)
                                  .arg(d.window.lastTaskIndex).arg(d.window.lastNoteIndex))},
      {"asked", FIELD(if (d.dialogs.requests.size() == d.m_askedBefore) return QString(); const auto& r = d.lastAsked();
                      const auto& f = r.settings; if (r.kind >= ScriptedDialogs::Kind::Open)
                        return QStringList{r.kind == ScriptedDialogs::Kind::Open ? "open" : "save", f.cancelError ? "cancel error" : "", f.initDir, QString::number(f.flags), f.fileName, f.filter}.join('|');
                      return QStringList{r.prompt, r.title, QString::number(r.style), r.defaultText}.join('|'))},
      {"on", FIELD(return d.enabled())},
      {"boxes", FIELD(return d.boxShows("txtTasks") + ',' + d.boxShows("txtNotes"))},
      {"saved", FIELD(const QByteArray bytes = readFile(d.m_saved); for (const QFileInfo& f : QDir(QUILLFORT_TEST_DATA).entryInfoList(QDir::Files))
                        if (readFile(f.filePath()) == bytes) return f.fileName(); return QStringLiteral("a script of none of tests/data"))},
  };
  // clang-format on
  QStringList shown;
  // The preview's fields come last, after "preview:", each of them parted by " | ".
  const qsizetype preview = want.indexOf(QLatin1String("preview:"));
  for (const QString& field : want.left(preview).split(QStringLiteral(" | "), Qt::SkipEmptyParts)) {
    const QString key = field.section(QLatin1Char(':'), 0, 0);
    shown << key + ":" + (fields.contains(key) ? fields[key](*this) : "no such field");
  }
  return (shown + (preview < 0 ? QStringList() : QStringList{"preview:" + previewShows()}))
      .join(QStringLiteral(" | "));
}

QString EditorDriver::previewShows() const {
  const auto* preview = window.findChild<QWidget*>(QStringLiteral("frmPreview"));
  const auto* document = window.findChild<QTextBrowser*>(QStringLiteral("txtPreview"));
  if (!preview || !preview->isVisible() || !document)
    return QStringLiteral("not shown");
  QStringList shown{find<QLabel>(window, "lblPreviewSide")->text(),
                    titles("lstPreviewNotes").join(','),
                    titles("lstPreviewTasks").join(','),
                    find<QLabel>(window, "lblPreviewTitle")->text(),
                    document->document()->toPlainText(),
                    marks(document->document())};
  if (const QStringList findings = titles("lstFindings"); !findings.isEmpty())
    shown << QString::number(findings.size()) + " " + findings.constLast();
  for (int i = 0; i < list("lstPreviewTasks")->count(); ++i) // the current task in bold too
    if (list("lstPreviewTasks")->item(i)->font().bold() != titles("lstPreviewTasks")[i].startsWith(u'\u25B6'))
      shown << "task " + QString::number(i + 1) + " in the wrong weight";
  return shown.join(QStringLiteral(" | "));
}

QString EditorDriver::enabled() const {
  const QStringList five{"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"};
  QStringList on;
  for (const QString& name : five)
    if (window.findChild<QWidget*>(name)->isEnabled())
      on << name;
  for (const QWidget* w : window.findChildren<QWidget*>())
    if (w->window() == &window && !w->isEnabled() && !five.contains(w->objectName()) &&
        QRegularExpression("^(cmd|lst|txt)").match(w->objectName()).hasMatch())
      on << "-" + w->objectName();
  return on.join(' ');
}

QString EditorDriver::entries(const char* name) const {
  const QListWidget* l = list(name);
  QStringList out;
  for (int i = 0; i < l->count(); ++i)
    out << l->item(i)->text() + l->item(i)->data(Qt::UserRole).toString() +
               (i == l->currentRow() && l->item(i)->isSelected() ? "*" : "");
  return out.join(',');
}

QStringList EditorDriver::titles(const char* name) const {
  QStringList out;
  for (int i = 0; i < list(name)->count(); ++i)
    out << list(name)->item(i)->text();
  return out;
}
