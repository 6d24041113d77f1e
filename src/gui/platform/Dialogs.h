#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Message box styles and answers, as numbers: the window commands pass the
// style the way they always have (36 = Yes/No + question icon).
namespace MsgStyle {
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
} // namespace MsgStyle

namespace MsgAnswer {
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgAnswer

// Flags of the file dialogs.
namespace FileDialogFlag {
inline constexpr int HideReadOnly = 4;
inline constexpr int OverwritePrompt = 2;
inline constexpr int PathMustExist = 2048;
} // namespace FileDialogFlag

// The settings of the open and save dialogs, in the order the commands set
// them. The filter keeps its "Text|pattern|Text|pattern" form; the Qt side
// turns it into Qt's own.
struct FileDialogSettings {
  bool cancelError = false;
  QString initDir;
  int flags = 0;
  QString fileName;
  QString filter;

  bool operator==(const FileDialogSettings&) const = default;
};

// Every modal question the program asks goes through one object of this kind:
// QtDialogs in the program, a scripted one in the tests. Texts arrive with
// CR LF line breaks exactly as the commands build them.
class Dialogs {
public:
  virtual ~Dialogs() = default;

  // Shows a message box; style is the sum of the MsgStyle values. Returns the
  // MsgAnswer of the button pressed.
  virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;

  // Asks for a line of text. No value means Cancel.
  virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                          const QString& defaultText = QString()) = 0;

  // The open and save dialogs: the chosen full path, or no value on Cancel.
  virtual std::optional<QString> showOpen(const FileDialogSettings& settings) = 0;
  virtual std::optional<QString> showSave(const FileDialogSettings& settings) = 0;

  // A list to choose one line from, with an Open button: the line's index,
  // or no value on Cancel.
  virtual std::optional<int> chooseOne(const QString& prompt, const QString& title, const QStringList& items) = 0;
};
