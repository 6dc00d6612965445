#pragma once

#include <QIcon>
#include <QPixmap>

namespace nebulo {

// How many device pixels wide one pixel of the program's drawings (glyphs,
// cursors) is drawn on the densest screen: 1 on an ordinary screen, 2 at
// twice the density. A whole number, so that every drawn pixel stays a sharp
// block.
int PixelScale();

// Each pixel of Picture as a Scale × Scale block, marked for drawing at
// Scale device pixels per pixel.
QPixmap Enlarged(const QPixmap& Picture, int Scale);

// Picture as an icon that stays sharp at Scale: Qt would otherwise enlarge the
// one size it has with smoothing.
QIcon SharpIcon(const QPixmap& Picture, int Scale);

} // namespace nebulo
