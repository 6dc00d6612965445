#pragma once

#include <QImage>
#include <QString>

namespace nebulo {

// A BMP picture of the program's resources (":/glyphs/Paste.bmp", or a file
// path) with its bottom-left pixel's colour made transparent: how glyphs and
// the icon are drawn. EStreamError when it cannot be read.
QImage TransparentImage(const QString& File);

} // namespace nebulo
