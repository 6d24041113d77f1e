#pragma once

#include <QString>

// The resource path of the picture to load for the screens in use: "name@2x.png"
// beside "name.png" when the screens draw at more than one pixel per point and
// the resources hold one. Qt reads the @2x picture as two pixels per point, so
// it covers the same area, sharply. (Icons do this by themselves.)
QString sharpPicture(const QString& path);
