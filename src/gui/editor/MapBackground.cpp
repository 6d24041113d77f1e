#include "gui/editor/MapBackground.h"

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
  constexpr int kGroup = 16;
  const bool whole = area.left() == 0 && area.width() == kWidth;
  QImage band(area.width() + (whole ? kGroup : 0), std::min(kBand, area.height()), QImage::Format_RGB32);
  for (int top = area.top(); top <= area.bottom(); top += kBand) {
    const int rows = std::min(kBand, area.bottom() + 1 - top);
    for (int r = 0; r < rows; ++r) {
      auto* out = reinterpret_cast<quint32*>(band.scanLine(r));
      const quint16* run = kRuns + kRowStart[top + r];
      const quint16* const rowEnd = kRuns + kRowStart[top + r + 1];
      if (whole) {
        // The whole row is wanted (the usual case, the first frame): runs go
        // out one after another with nothing to clip, kGroup pixels at a time.
        // A run's last group runs on into the next run's place, which that run
        // then paints over, or into the row's slack after the last run.
        for (; run != rowEnd; ++run) {
          const quint32 colour = kPalette[*run % 32];
          const int length = *run / 32;
          for (int i = 0; i < length; i += kGroup)
            std::fill_n(out + i, kGroup, colour);
          out += length;
        }
        continue;
      }
      int x = 0; // where the current run starts
      for (; run != rowEnd && x <= area.right(); ++run) {
        const int end = x + *run / 32;
        const int from = std::max(x, area.left());
        const int to = std::min(end, area.right() + 1);
        if (from < to)
          std::fill(out + (from - area.left()), out + (to - area.left()), kPalette[*run % 32]);
        x = end;
      }
    }
    painter.drawImage(QPoint(area.left(), top), band, QRect(0, 0, area.width(), rows));
  }
}

} // namespace map_background
