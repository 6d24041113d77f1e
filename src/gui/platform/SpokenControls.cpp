#include "gui/platform/SpokenControls.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

QString spoken(const QString& what, const QString& value) {
  return what + QLatin1String(": ") + (value.isEmpty() ? QStringLiteral("none") : value);
}

// A push button to assistive tools (role, press action, focus, state), named
// by its value.
class SpokenButtonInterface : public QAccessibleWidget {
public:
  explicit SpokenButtonInterface(SpokenButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name)
      return static_cast<SpokenButton*>(widget())->spokenText();
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
  void doAction(const QString& name) override {
    if (name == pressAction() && widget()->isEnabled())
      static_cast<SpokenButton*>(widget())->click();
    else
      QAccessibleWidget::doAction(name);
  }
};

class SpokenLabelInterface : public QAccessibleWidget {
public:
  explicit SpokenLabelInterface(SpokenLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name)
      return static_cast<SpokenLabel*>(widget())->spokenText();
    return QAccessibleWidget::text(t);
  }
};

// Qt asks the factories by class name, most derived first, so these two
// classes are answered here before Qt's own button and label interfaces.
// A plain QWidget that is a top-level window (the editor window) is exposed
// as a window; Qt's own answer for it is a generic client area.
QAccessibleInterface* spokenFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("QWidget") && object->isWidgetType() && static_cast<QWidget*>(object)->isWindow())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  if (className == QLatin1String("SpokenButton"))
    if (auto* button = qobject_cast<SpokenButton*>(object))
      return new SpokenButtonInterface(button);
  if (className == QLatin1String("SpokenLabel"))
    if (auto* label = qobject_cast<SpokenLabel*>(object))
      return new SpokenLabelInterface(label);
  return nullptr;
}

void installFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(spokenFactory);
    return true;
  }();
  (void)installed;
}

} // namespace

SpokenButton::SpokenButton(const QString& what, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), m_what(what) {
  installFactory();
}

QString SpokenButton::spokenText() const { return spoken(m_what, text()); }

SpokenLabel::SpokenLabel(const QString& what, QWidget* parent) : QLabel(parent), m_what(what) {
  installFactory();
}

QString SpokenLabel::spokenText() const { return spoken(m_what, text()); }
