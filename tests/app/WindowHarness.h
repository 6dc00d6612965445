#pragma once

#include "app/Blur1.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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

// Lets what is on its way into the window arrive (a drop, a paste that is
// decoded off the window's thread); at most 10 s.
inline void WaitForArrival(TForm1& Window)
{
    const QDeadlineTimer Deadline(10000);
    while (Window.IncomingRoad().Busy() && !Deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace nebulo::test
