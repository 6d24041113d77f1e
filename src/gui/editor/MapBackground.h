#pragma once

#include <QtGlobal>

class QPainter;
class QRect;

// The editor window's background map at one pixel per point, as far as the
// window shows it, packed at build time into runs of colour (made by
// resources/pack_background.cpp from background.png): nothing to decode at
// start-up and about 120 KB in place of a 2.7 MB picture in memory.
namespace map_background {

extern const int kWidth;
extern const int kHeight;
extern const quint32 kPalette[];  // 0xffRRGGBB
extern const quint32 kRowStart[]; // row y's runs are kRuns[kRowStart[y]] up to kRuns[kRowStart[y + 1]]
extern const quint16 kRuns[];     // length * 32 + palette index

// Draws the part of the map inside `rect` (window coordinates) at its place.
void paint(QPainter& painter, const QRect& rect);

} // namespace map_background
