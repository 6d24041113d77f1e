#include "gui/platform/SharpPicture.h"

#include <QFile>
#include <QGuiApplication>

QString sharpPicture(const QString& path) {
  if (qApp->devicePixelRatio() <= 1.0)
    return path;
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  const QString sharp = path.left(dot) + QLatin1String("@2x") + path.mid(dot);
  return QFile::exists(sharp) ? sharp : path;
}
