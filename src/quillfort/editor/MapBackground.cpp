#include "editor/MapBackground.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace map_background {

void paint(QPainter& painter, const QRect& rect) {
  const QRect area = rect.intersected(QRect(0, 0, kWidth, kHeight));
  if (area.isEmpty())
    return;
  // Rows are unpacked a band at a time into a small picture and drawn.
  constexpr int kBand = 32;
  QImage band(area.width(), std::min(kBand, area.height()), QImage::Format_RGB32);
  for (int top = area.top(); top <= area.bottom(); top += kBand) {
    const int rows = std::min(kBand, area.bottom() + 1 - top);
    for (int r = 0; r < rows; ++r) {
      auto* out = reinterpret_cast<quint32*>(band.scanLine(r));
      int x = 0; // where the current run starts
      for (quint32 i = kRowStart[top + r]; i < kRowStart[top + r + 1] && x <= area.right(); ++i) {
        const int end = x + kRuns[i] / 32;
        const int from = std::max(x, area.left());
        const int to = std::min(end, area.right() + 1);
        if (from < to)
          std::fill(out + (from - area.left()), out + (to - area.left()), kPalette[kRuns[i] % 32]);
        x = end;
      }
    }
    painter.drawImage(QPoint(area.left(), top), band, QRect(0, 0, area.width(), rows));
  }
}

} // namespace map_background
