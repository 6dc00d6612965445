#pragma once

#include <QByteArray>
#include <QImage>

namespace nebulo {

// The artwork as an SVG picture of its pixels: a square a pixel, one path a
// colour, transparent pixels left out, edges kept sharp at any size; the
// artwork's pixels are opaque or transparent. A launcher draws it at sizes
// the bitmaps do not have.
QByteArray ScalableIcon(const QImage& Artwork);

} // namespace nebulo
