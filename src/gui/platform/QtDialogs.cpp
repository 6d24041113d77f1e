#include "gui/platform/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QValidator>

#include <algorithm>

namespace {

QString forDisplay(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

QList<QMessageBox::StandardButton> buttonsFor(int style) {
  switch (style & 7) {
  case 1:
    return {QMessageBox::Ok, QMessageBox::Cancel};
  case 2:
    return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
  case 3:
    return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
  case 4:
    return {QMessageBox::Yes, QMessageBox::No};
  case 5:
    return {QMessageBox::Retry, QMessageBox::Cancel};
  default:
    return {QMessageBox::Ok};
  }
}

QMessageBox::Icon iconFor(int style) {
  switch (style & 0x70) {
  case MsgStyle::Critical:
    return QMessageBox::Critical;
  case MsgStyle::Question:
    return QMessageBox::Question;
  case MsgStyle::Exclamation:
    return QMessageBox::Warning;
  case MsgStyle::Information:
    return QMessageBox::Information;
  default:
    return QMessageBox::NoIcon;
  }
}

int answerFor(QMessageBox::StandardButton button) {
  switch (button) {
  case QMessageBox::Ok:
    return MsgAnswer::OK;
  case QMessageBox::Yes:
    return MsgAnswer::Yes;
  case QMessageBox::No:
    return MsgAnswer::No;
  case QMessageBox::Abort:
    return 3;
  case QMessageBox::Retry:
    return 4;
  case QMessageBox::Ignore:
    return 5;
  default:
    return MsgAnswer::Cancel;
  }
}

} // namespace

int QtDialogs::messageBox(const QString& prompt, int style, const QString& title) {
  QMessageBox box(iconFor(style), title, forDisplay(prompt), QMessageBox::NoButton, m_parent);
  const auto buttons = buttonsFor(style);
  for (auto b : buttons)
    box.addButton(b);
  const int defaultIndex = (style >> 8) & 3;
  if (defaultIndex < buttons.size())
    box.setDefaultButton(buttons[defaultIndex]);
  // Escape and the close box give Cancel where there is one, else the last button.
  box.setEscapeButton(buttons.contains(QMessageBox::Cancel) ? QMessageBox::Cancel : buttons.last());
  box.exec();
  auto* clicked = box.clickedButton();
  return clicked ? answerFor(box.standardButton(clicked)) : MsgAnswer::Cancel;
}

namespace {

// Keeps the box to one line, as a single-line box on Windows does: of a
// pasted text only its first line goes in. The box never holds a line break
// of its own, so the first one lies in what was just put in, which ends at the
// cursor; from that break to the cursor is dropped.
class FirstLineOnly final : public QValidator {
public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    const qsizetype cut = firstBreak(input, 0);
    if (cut < 0)
      return Acceptable;
    if (pos > cut)
      input.remove(cut, pos - cut);
    const qsizetype rest = firstBreak(input, cut);
    if (rest >= 0)
      input.truncate(rest);
    pos = static_cast<int>(cut);
    return Acceptable;
  }

private:
  static qsizetype firstBreak(const QString& text, qsizetype from) {
    const qsizetype cr = text.indexOf(QLatin1Char('\r'), from), lf = text.indexOf(QLatin1Char('\n'), from);
    return cr < 0 ? lf : lf < 0 ? cr : std::min(cr, lf);
  }
};

} // namespace

std::optional<QString> QtDialogs::inputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
  QInputDialog dialog(m_parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(title);
  dialog.setLabelText(forDisplay(prompt));
  dialog.setTextValue(defaultText);
  if (auto* edit = dialog.findChild<QLineEdit*>())
    edit->setValidator(new FirstLineOnly(edit));
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  return dialog.textValue();
}

std::optional<int> QtDialogs::chooseOne(const QString& prompt, const QString& title, const QStringList& items) {
  QDialog dialog(m_parent);
  dialog.setObjectName(QStringLiteral("dlgChooseOne"));
  dialog.setWindowTitle(title);
  auto* label = new QLabel(forDisplay(prompt), &dialog);
  label->setWordWrap(true);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("lstChoices"));
  list->setAccessibleName(title);
  list->addItems(items);
  list->setCurrentRow(0);
  label->setBuddy(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(label);
  layout->addWidget(list, 1);
  layout->addWidget(buttons);
  dialog.resize(760, 360);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
    return std::nullopt;
  return list->currentRow();
}

QString QtDialogs::toQtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString text = parts[i];
    QString pattern = parts[i + 1];
#ifndef Q_OS_WIN
    if (pattern == QLatin1String("*.*")) {
      pattern = QStringLiteral("*");
      text.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
    }
#endif
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString tail = QLatin1Char('(') + pattern + QLatin1Char(')');
    entries << (text.endsWith(tail) ? text : text + QLatin1Char(' ') + tail);
  }
  return entries.join(QLatin1String(";;"));
}

std::optional<QString> QtDialogs::showOpen(const FileDialogSettings& settings) {
  return showFileDialog(settings, false);
}

std::optional<QString> QtDialogs::showSave(const FileDialogSettings& settings) {
  return showFileDialog(settings, true);
}

// A drive letter alone ("C:") or the empty folder above "/file" still opens in
// that root folder.
static QString usableDir(const QString& dir) {
  if (dir.isEmpty())
    return QStringLiteral("/");
  if (dir.size() == 2 && dir[1] == QLatin1Char(':'))
    return dir + QLatin1Char('/');
  return dir;
}

namespace {

// Qt's own file dialog, the same on every platform, with the one check it
// lacks: with "path must exist" a name typed into a folder that does not exist
// is refused with a message, and the dialog stays open.
class ScriptFileDialog final : public QFileDialog {
public:
  ScriptFileDialog(QWidget* parent, const QString& dir, const QString& filter, bool pathMustExist)
      : QFileDialog(parent, QString(), dir, filter), m_pathMustExist(pathMustExist) {
    setOption(QFileDialog::DontUseNativeDialog);
  }

  void accept() override {
    const QStringList files = selectedFiles();
    if (m_pathMustExist && !files.isEmpty()) {
      const QFileInfo chosen(files.constFirst());
      if (!chosen.isDir() && !QFileInfo(chosen.absolutePath()).isDir()) {
        QMessageBox::warning(this, windowTitle(),
                             QDir::toNativeSeparators(files.constFirst()) +
                                 QStringLiteral("\nPath does not exist.\nCheck the path and try again."));
        return;
      }
    }
    QFileDialog::accept();
  }

private:
  bool m_pathMustExist;
};

} // namespace

std::optional<QString> QtDialogs::showFileDialog(const FileDialogSettings& settings, bool save) {
  ScriptFileDialog dialog(m_parent, usableDir(settings.initDir), toQtFilter(settings.filter),
                          settings.flags & FileDialogFlag::PathMustExist);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Any name may be typed; only "path must exist" asks anything of it.
  dialog.setFileMode(QFileDialog::AnyFile);
  if (save && !(settings.flags & FileDialogFlag::OverwritePrompt))
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!settings.fileName.isEmpty())
    dialog.selectFile(settings.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
