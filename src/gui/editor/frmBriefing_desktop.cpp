// The window on today's desktops: colours that hold on its own picture under
// any desktop theme, keys as Windows users expect them, access keys on macOS.
// None of this adds a command: every key presses one of the window's buttons.
#include "gui/editor/frmBriefing.h"

#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>

#ifdef Q_OS_MACOS
// Qt turns access keys off on macOS; this is its own switch to turn them on.
Q_GUI_EXPORT void qt_set_sequence_auto_mnemonic(bool enable);
#endif

namespace {

// Enter and Return press the focused button, as on Windows (Qt does this
// only for buttons in dialogs).
class EnterPressesButton : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress)
      return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
      return false;
    auto* button = static_cast<QPushButton*>(watched);
    if (button->isEnabled())
      button->click();
    return true;
  }
};

// The colours of a classic light window, chosen against the pale map sheet
// that the window shows: dark ink on paper.
QPalette paperPalette() {
  const QColor ink(0, 0, 0);
  const QColor paper(236, 231, 214); // the map sheet's own paper
  const QColor face(224, 220, 204);  // button faces, a shade under the paper
  const QColor faded(109, 109, 109); // disabled text
  QPalette p(face, paper);
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::WindowText, ink);
    p.setColor(group, QPalette::ButtonText, ink);
    p.setColor(group, QPalette::Text, ink);
    p.setColor(group, QPalette::Base, Qt::white);
    p.setColor(group, QPalette::AlternateBase, paper);
    p.setColor(group, QPalette::Highlight, QColor(0, 84, 166));
    p.setColor(group, QPalette::HighlightedText, Qt::white);
    p.setColor(group, QPalette::PlaceholderText, faded);
    p.setColor(group, QPalette::BrightText, Qt::white);
    p.setColor(group, QPalette::Link, QColor(0, 0, 192));
    p.setColor(group, QPalette::LinkVisited, QColor(96, 0, 128));
    p.setColor(group, QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(group, QPalette::ToolTipText, ink);
  }
  for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    p.setColor(QPalette::Disabled, role, faded);
  p.setColor(QPalette::Disabled, QPalette::Base, paper);
  p.setColor(QPalette::Disabled, QPalette::Highlight, faded);
  p.setColor(QPalette::Disabled, QPalette::HighlightedText, Qt::white);
  return p;
}

} // namespace

void frmBriefing::allowAccessKeys() {
#ifdef Q_OS_MACOS
  // Before any caption is set: a button takes its access key when it gets its caption.
  qt_set_sequence_auto_mnemonic(true);
#endif
}

void frmBriefing::fitToDesktop() {
  // Set on the window, the colours reach every control in it and win over the
  // desktop's palette, now and when the desktop's theme changes.
  setPalette(paperPalette());

  auto* enter = new EnterPressesButton(this);
  for (auto* button : findChildren<QPushButton*>())
    button->installEventFilter(enter);

  // Ctrl (Command on macOS) with S and O press Save and Open.
  const std::pair<QKeyCombination, QPushButton*> keys[] = {{Qt::CTRL | Qt::Key_S, cmdOK},
                                                           {Qt::CTRL | Qt::Key_O, cmdOpen}};
  for (const auto& [key, button] : keys) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, button, [b = button] {
      if (b->isEnabled())
        b->click();
    });
  }
}
