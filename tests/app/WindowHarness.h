#pragma once

#include <QImage>

namespace nebulo::test {

// A picture whose neighbouring pixels differ, so any shift or scale shows.
inline QImage Pattern(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, qRgb((X * 5) & 255, (Y * 3) & 255, 90));
    return Image;
}

} // namespace nebulo::test
