#include "support/EditorDriver.h"

#include "files/DiscardedBriefings.h"

#include <array>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

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
      QString font =
          format.foreground().style() != Qt::NoBrush && ink != Qt::black ? " in " + ink.name() : "";
      if (format.fontPointSize() > 0)
        font += QStringLiteral(" x%1").arg(format.fontPointSize() / doc->defaultFont().pointSizeF());
      if (!format.fontFamilies().toStringList().isEmpty())
        font += " " + format.fontFamilies().toStringList().join(',');
      const QTextImageFormat image = format.toImageFormat();
      if (format.isImageFormat())
        out << QStringLiteral("image %1 %2x%3")
                   .arg(QFileInfo(QUrl(image.name()).toLocalFile()).fileName())
                   .arg(image.width())
                   .arg(image.height());
      else if (format.isAnchor())
        out << QStringLiteral("link %1 %2 tip %3").arg(f.text(), format.anchorHref(), format.toolTip());
      else if (!font.isEmpty())
        out << f.text() + font;
    }
  for (QTextFrame* frame : doc->rootFrame()->childFrames())
    if (auto* table = qobject_cast<QTextTable*>(frame))
      out << "framed " + table->cellAt(0, 0).firstCursorPosition().block().text();
  return out.join("; ");
}

// Flags or a message box's icon by their names, such as "Question |
// DefaultButton2"; bits left over show as their number.
QString named(int value, std::initializer_list<std::pair<int, const char*>> names) {
  QStringList out;
  for (const auto& [bits, name] : names)
    if ((value & bits) == bits) {
      out << name;
      value &= ~bits;
    }
  if (value != 0)
    out << QString::number(value);
  return out.join(" | ");
}

// A dialog as a row names it.
QString asked(const ScriptedDialogs::Request& r) {
  using Kind = ScriptedDialogs::Kind;
  using namespace MsgStyle;
  using namespace FileDialogFlag;
  if (r.kind == Kind::Open || r.kind == Kind::Save)
    return QStringLiteral("%1 in %2, %3")
        .arg(r.kind == Kind::Open ? "Open" : "Save", r.settings.initDir,
             named(r.settings.flags,
                   {{HideReadOnly, "HideReadOnly"}, {OverwritePrompt, "OverwritePrompt"},
                    {PathMustExist, "PathMustExist"}}));
  if (r.kind == Kind::Choose)
    return r.title + ": " + r.items.join(" | ");
  if (r.kind == Kind::Input)
    return r.title + ": " + r.prompt + " [input]";
  // OK alone goes without saying beside an icon: "[Information]".
  const QStringList buttons = {"OKOnly", "OKCancel", "AbortRetryIgnore", "YesNoCancel", "YesNo"};
  const QString icon = named(r.style & ~7, {{Information, "Information"}, {Exclamation, "Exclamation"},
                                            {Question, "Question"}, {Critical, "Critical"},
                                            {DefaultButton2, "DefaultButton2"}});
  QStringList style{buttons.value(r.style & 7, QString::number(r.style & 7))};
  if (!icon.isEmpty())
    style = (r.style & 7) == OKOnly ? QStringList{icon} : style << icon;
  return QStringLiteral("%1: %2 [%3]").arg(r.title, r.prompt, style.join(" | "));
}

// The fields of Shown by name, in the order the comparisons show them.
#define FIELD(name)                                                                                          \
  std::pair { #name, &Shown::name }
const std::array kFields{
    FIELD(tasks),       FIELD(notes),        FIELD(taskSlots),    FIELD(noteSlots),    FIELD(box),
    FIELD(boxes),       FIELD(cursor),       FIELD(scroll),       FIELD(current),      FIELD(side),
    FIELD(page),        FIELD(enabled),      FIELD(taskText),     FIELD(noteText),     FIELD(counts),
    FIELD(caption),     FIELD(path),         FIELD(heard),        FIELD(asked),        FIELD(saved),
    FIELD(encoding),    FIELD(sideButtons),  FIELD(hint),         FIELD(menu),         FIELD(kept),
    FIELD(files),       FIELD(previewSide),  FIELD(previewNotes), FIELD(previewTasks), FIELD(previewTitle),
    FIELD(previewText), FIELD(previewMarks), FIELD(findings)};
#undef FIELD
static_assert(kFields.size() * sizeof(Shown::Want) == sizeof(Shown), "every field of Shown is compared");

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

// Opens a control's context menu, writes down its entries and closes it with
// Escape, as a user who looks and leaves it.
void EditorDriver::openMenu(QWidget* control) {
  QTimer::singleShot(0, control, [this] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    m_menu.clear();
    for (const QAction* e : menu->actions()) {
      const QString keys = e->shortcut().isEmpty() ? "" : "\t" + e->shortcut().toString();
      m_menu << (e->isSeparator() ? "-" : e->text() + keys + (e->isEnabled() ? "" : " [off]"));
    }
    QTest::keyClick(menu, Qt::Key_Escape);
  });
  if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
    control = area->viewport(); // where a scroll area takes its mouse's events
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(control, &event);
  window.activateWindow(); // as the desktop does when a menu closes
}

void EditorDriver::run(const QString& step) {
  const QString verb = step.section(' ', 0, 0);
  QString a = step.section(' ', 1);
  if (a.size() >= 2 && a.startsWith('"') && a.endsWith('"'))
    a = a.mid(1, a.size() - 2);
  QPlainTextEdit* shown = box(shownBox());
  m_scrollBefore = shown->verticalScrollBar()->value();
  const auto file = [&](const std::optional<QString>& path, bool open, bool fails = false) {
    open ? dialogs.answerOpen(path, fails) : dialogs.answerSave(path, fails);
  };
  if (verb == "click") {
    QTest::mouseClick(button(a), Qt::LeftButton);
  } else if (verb == "key") {
    QVERIFY(QTest::qWaitForWindowActive(&window)); // keys sent earlier are lost
    QWidget* w = find<QWidget>(a.section(' ', 0, 0));
    w->setFocus();
    const QKeyCombination k = QKeySequence(a.section(' ', 1))[0];
    QTest::keyClick(w, k.key(), k.keyboardModifiers());
  } else if (verb == "page") {
    clickRow("lstBriefing", a == "Notes" ? 1 : 0);
  } else if (verb == "pick" || verb == "ctrl-pick") {
    clickRow(shownList(), a.toInt(), verb == "pick" ? Qt::NoModifier : Qt::ControlModifier);
  } else if (verb == "type" || verb == "put") {
    a.isEmpty() ? QTest::keyClick(shown, Qt::Key_Delete) : type(shownBox(), a, verb == "type");
  } else if (verb == "select") {
    QTest::keyClick(shown, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < a.section(' ', 0, 0).toInt(); ++i)
      QTest::keyClick(shown, Qt::Key_Right);
    for (int i = 0; i < a.section(' ', 1).toInt(); ++i)
      QTest::keyClick(shown, Qt::Key_Right, Qt::ShiftModifier);
  } else if (verb == "paste") {
    const QString c = a.section(' ', 1);
    const QChar one = c.startsWith("U+") ? QChar(char16_t(c.mid(2).toUShort(nullptr, 16))) : c[0];
    QGuiApplication::clipboard()->setText(QString(a.section(' ', 0, 0).toInt(), one));
    type(shownBox(), {});
    QTest::keyClick(shown, Qt::Key_V, Qt::ControlModifier);
  } else if (verb == "undo" || verb == "redo") {
    QTest::keyClick(shown, Qt::Key_Z,
                    verb == "undo" ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
  } else if (verb == "yes" || verb == "no" || verb == "ok") {
    dialogs.answerMessage(verb == "yes" ? MsgAnswer::Yes : verb == "no" ? MsgAnswer::No : MsgAnswer::OK);
  } else if (verb == "enter" || verb == "cancel") {
    dialogs.answerInput(verb == "enter" ? std::optional<QString>(a) : std::nullopt);
  } else if (verb == "file") {
    const QString path = a.section(' ', 1);
    const bool answered = path != "cancel" && path != "broken";
    file(answered ? std::optional<QString>(path) : std::nullopt, a.startsWith("open"), path == "broken");
  } else if (verb == "choose") {
    dialogs.answerChoice(a == "none" ? std::nullopt : std::optional<int>(a.toInt()));
  } else if (verb == "create" || verb == "rename") {
    dialogs.answerInput(a);
    run(verb == "create" ? "click cmdAdd" : "click cmdEdit");
  } else if (verb == "add") {
    for (const QString& title : a.split(',')) {
      run("create " + title);
      run("pick " + QString::number(list(shownList())->count() - 1));
      type(shownBox(), title.toLower() + " text");
    }
  } else if (verb == "save" || verb == "open" || verb == "import") {
    file(a, verb != "save");
    m_saved = verb == "save" ? a : m_saved;
    run(verb == "save" ? "click cmdOK" : verb == "open" ? "click cmdOpen" : "click cmdImport");
  } else if (verb == "preview") {
    QTest::keyClick(&window, Qt::Key_F5);
  } else if (verb == "menu") {
    openMenu(find<QWidget>(a));
  } else if (verb == "show") {
    clickRow(a.section(' ', 0, 0), a.section(' ', 1).toInt());
  } else if (verb == "slots") {
    window.taskSlotCount = window.noteSlotCount = qint16(a.toInt());
  } else if (verb == "lock") {
    QVERIFY(QFile::setPermissions(a, QFile::ReadOwner | QFile::ExeOwner));
#ifndef Q_OS_WIN
  } else if (verb == "pipe") {
    QCOMPARE(::mkfifo(QFile::encodeName(a).constData(), 0644), 0);
#endif
  } else if (verb == "folder") {
    window.appPath = QDir::toNativeSeparators(a);
  } else if (verb == "argv") {
    window.openCommandLine(QStringList{"quillfort", a}.mid(0, a.isEmpty() ? 1 : 2));
  } else if (verb == "wait") {
    QCoreApplication::processEvents();
  } else {
    QTest::qFail(qPrintable("no such step: " + step), __FILE__, __LINE__);
  }
}

void EditorDriver::check(const Row& row, const QString& folder) {
  m_folder = folder;
  for (const Stage& stage : row.stages) {
    m_askedBefore = dialogs.requests.size();
    for (QString step : stage.steps)
      run(step.replace("%1", folder));
    QStringList wanted;
    for (const auto& [name, field] : kFields)
      if (stage.shown.*field)
        wanted << QString(name) + ": " +
                      QString(*(stage.shown.*field))
                          .replace("%1", folder)
                          .replace("%N", QDir::toNativeSeparators(folder + '/'));
    // The preview follows the editor's events; a mismatch shows whole.
    if (!QTest::qWaitFor([&] { return shown(stage.shown) == wanted; }))
      QVERIFY2(false, qPrintable("the window shows\n" + shown(stage.shown).join('\n') +
                                 "\nwhere the row wants\n" + wanted.join('\n')));
    QCOMPARE(dialogs.pending(), 0); // every answer the stage gave was asked for
  }
}

QStringList EditorDriver::titles(const QString& name) const {
  QStringList out;
  for (int i = 0; i < list(name)->count(); ++i)
    out << list(name)->item(i)->text();
  return out;
}

QStringList EditorDriver::shown(const Shown& want) const {
  QStringList out;
  for (const auto& [name, field] : kFields)
    if (want.*field)
      out << QString(name) + ": " + value(name);
  return out;
}

QString EditorDriver::value(const QString& field) const {
  const QTextCursor cursor = box(shownBox())->textCursor();
  if (field == "tasks" || field == "notes" || field == "taskSlots" || field == "noteSlots") {
    const QListWidget* l = list(field.startsWith("task") ? "lstTasks" : "lstNotes");
    QStringList out;
    for (int i = 0; i < l->count(); ++i) {
      const bool selected = i == l->currentRow() && l->item(i)->isSelected();
      out << (field.endsWith("Slots") ? l->item(i)->data(Qt::UserRole).toString()
              : selected              ? "[" + l->item(i)->text() + "]"
                                      : l->item(i)->text());
    }
    return out.join(field.endsWith("Slots") ? " " : ", ");
  }
  if (field == "box")
    return box(shownBox())->toPlainText();
  if (field == "boxes")
    return box("txtTasks")->toPlainText() + " / " + box("txtNotes")->toPlainText();
  if (field == "cursor")
    return QString::number(cursor.position()) + (cursor.hasSelection() ? " " + cursor.selectedText() : "");
  if (field == "scroll") {
    const int at = box(shownBox())->verticalScrollBar()->value();
    return at > 0 && at == m_scrollBefore ? "kept" : "not kept";
  }
  if (field == "current" || field == "hint") {
    const QLabel* label = find<QLabel>(field == "current" ? "lblCurTask" : "lblHint");
    return label->isVisible() ? label->text() : "not shown";
  }
  if (field == "side")
    return button("cmdSide")->text();
  if (field == "page")
    return list("lstTasks")->isVisible() ? "Tasks" : "Notes";
  if (field == "enabled") {
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
  if (field == "taskText" || field == "noteText")
    return (field == "taskText" ? window.taskText : window.noteText).join(" | ");
  if (field == "counts")
    return QStringLiteral("%1 %2 %3 %4")
        .arg(window.taskSlotCount)
        .arg(window.noteSlotCount)
        .arg(window.lastTaskIndex)
        .arg(window.lastNoteIndex);
  if (field == "caption")
    return window.windowHandle()->title();
  if (field == "path")
    return window.appPath;
  if (field == "heard") {
    QStringList heard;
    for (const QObject* o :
         std::initializer_list<const QObject*>{&window, button("cmdSide"), find<QLabel>("lblCurTask")})
      heard << QAccessible::queryAccessibleInterface(const_cast<QObject*>(o))->text(QAccessible::Name);
    return heard.join(" | ");
  }
  if (field == "asked") {
    QStringList asked;
    for (qsizetype i = m_askedBefore; i < dialogs.requests.size(); ++i)
      asked << ::asked(dialogs.requests[i]);
    return asked.join(" / ");
  }
  if (field == "saved") {
    for (const QFileInfo& f : QDir(QUILLFORT_TEST_DATA).entryInfoList(QDir::Files))
      if (readFile(f.filePath()) == readFile(m_saved))
        return f.fileName();
    return "a script of none of tests/data";
  }
  if (field == "encoding")
    return find<QComboBox>("cboEncoding")->currentText();
  if (field == "sideButtons") {
    QStringList out;
    for (int i = 1; i <= 5; ++i) {
      const QPushButton* side = button(QStringLiteral("cmdEditSide%1").arg(i));
      out << side->text() + (side->isChecked() ? "*" : "");
    }
    return out.join(", ");
  }
  if (field == "menu")
    return m_menu.join(" / ");
  if (field == "kept") {
    QStringList kept; // the names without the time they start with
    const QDir folder(DiscardedBriefings::folder());
    for (const QString& name : folder.entryList({"*.sqf"}, QDir::Files, QDir::Name | QDir::Reversed))
      kept << name.mid(20).chopped(4);
    return kept.join(" / ");
  }
  if (field == "files") {
    QStringList files;
    QDirIterator all(m_folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                     QDirIterator::Subdirectories);
    while (all.hasNext())
      files << QDir(m_folder).relativeFilePath(all.next());
    files.sort();
    return files.join(", ");
  }
  // The preview's controls, as a user reads them.
  const auto* preview = window.findChild<QWidget*>("frmPreview");
  if (!preview || !preview->isVisible())
    return "not shown";
  const QTextDocument* document = preview->findChild<QTextBrowser*>("txtPreview")->document();
  if (field == "previewText" || field == "previewMarks")
    return field == "previewText" ? document->toPlainText() : marks(document);
  if (field == "previewSide" || field == "previewTitle")
    return preview->findChild<QLabel*>(field == "previewSide" ? "lblPreviewSide" : "lblPreviewTitle")->text();
  const QString name = field == "findings"       ? "lstFindings"
                       : field == "previewNotes" ? "lstPreviewNotes"
                                                 : "lstPreviewTasks";
  return titles(name).join(field == "findings" ? " / " : ", ");
}
