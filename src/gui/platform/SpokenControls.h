#pragma once

#include <QLabel>
#include <QPushButton>

// Controls whose caption is a value rather than a name. Screen readers hear
// what the value is of with it: "Side: EAST", "Current task: Take the bridge",
// "Current task: none". What the screen shows stays the bare caption.

class SpokenButton : public QPushButton {
  Q_OBJECT
public:
  SpokenButton(const QString& what, const QString& caption, QWidget* parent);
  QString spokenText() const;

private:
  QString m_what;
};

class SpokenLabel : public QLabel {
  Q_OBJECT
public:
  SpokenLabel(const QString& what, QWidget* parent);
  QString spokenText() const;

private:
  QString m_what;
};
