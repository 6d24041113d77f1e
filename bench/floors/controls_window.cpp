// The third start-up floor: the editor window's controls alone. The same Qt
// widgets with the same captions, fonts and places, and nothing of the
// editor's own: no map, no icons, no briefing behind the lists. What the
// editor costs over this is what its own code costs; what this costs over the
// one-button window is the price of the controls themselves.
#include "gui/app/FirstFrameReport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

enum Kind { Frame, Button, Label, List, Text };
enum Parent { Window, Top, Bottom };
enum FontKind { Default, Regular, SideBold, Bold };

struct Control {
  Kind kind;
  Parent parent;
  const char* caption;
  int left, top, width, height; // twips, 15 to a pixel
  FontKind font;
  bool hidden = false;
};

// Shown in the order the editor creates them; the Notes list and box stay
// hidden as they do on the Tasks page.
constexpr Control kControls[] = {
    {Frame, Window, "", 0, -120, 16575, 735, Default},
    {Button, Top, "Current &Task", 120, 240, 1935, 375, Regular},
    {Label, Top, "Current task", 2280, 240, 9135, 375, Bold},
    {Button, Top, "", 13800, 240, 615, 375, Default},
    {Button, Top, "WEST", 14520, 240, 1935, 375, SideBold},
    {List, Window, "Tasks,Notes", 120, 600, 1095, 660, Bold},
    {List, Window, "", 1320, 600, 4215, 2760, Bold},
    {List, Window, "", 1320, 600, 4215, 2760, Bold, true},
    {Text, Window, "", 5640, 600, 10815, 3255, Bold},
    {Text, Window, "", 5640, 600, 10815, 3255, Bold, true},
    {Button, Window, "Up", 1320, 3480, 1935, 375, Default},
    {Button, Window, "Down", 3600, 3480, 1935, 375, Default},
    {Frame, Window, "", 0, 8760, 16575, 615, Default},
    {Button, Bottom, "&Create", 120, 120, 1335, 375, Regular},
    {Button, Bottom, "&Edit", 1560, 120, 1335, 375, Regular},
    {Button, Bottom, "&Delete", 3000, 120, 1335, 375, Regular},
    {Button, Bottom, "Insert &Marker", 5760, 120, 1815, 375, Regular},
    {Button, Bottom, "Insert &Picture", 7680, 120, 1815, 375, Regular},
    {Button, Bottom, "&Open", 10800, 120, 1335, 375, Regular},
    {Button, Bottom, "&Save", 12240, 120, 1335, 375, Regular},
    {Button, Bottom, "Clear", 13680, 120, 1335, 375, Regular},
    {Button, Bottom, "E&xit", 15120, 120, 1335, 375, Regular},
};

QFont font(FontKind kind, const QFont& fallback) {
  if (kind == Default)
    return fallback;
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(kind == Bold ? 12 : 9.75);
  f.setBold(kind != Regular);
  return f;
}

} // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(1101, 621);
  QWidget* frames[] = {&window, nullptr, nullptr};
  for (const Control& c : kControls) {
    const QString caption = QString::fromLatin1(c.caption);
    QWidget* parent = frames[c.parent];
    QWidget* w = nullptr;
    switch (c.kind) {
    case Frame:
      w = frames[frames[Top] ? Bottom : Top] = new QGroupBox(parent);
      break;
    case Button:
      w = new QPushButton(caption, parent);
      break;
    case Label:
      w = new QLabel(caption, parent);
      break;
    case List: {
      auto* list = new QListWidget(parent);
      if (caption.contains(QLatin1Char(',')))
        list->addItems(caption.split(QLatin1Char(',')));
      w = list;
      break;
    }
    case Text: {
      auto* box = new QPlainTextEdit(parent);
      box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      w = box;
      break;
    }
    }
    w->setGeometry(c.left / 15, c.top / 15, c.width / 15, c.height / 15);
    w->setFont(font(c.font, w->font()));
    if (c.hidden)
      w->hide();
  }
  first_frame::reportWhenPainted(&window);
  window.show();
  return app.exec();
}
