#pragma once

#include <QString>

namespace nebulo {

// What screen readers are told about the picture shown and about what a
// command did to it, once the window shows it.

// The picture view's name: "Picture, 640 × 480 pixels".
QString PictureName(int Width, int Height);
// The view's name before the first paste.
QString NoPictureName();

// "Pasted: picture, 640 × 480 pixels".
QString PastedNews(int Width, int Height);
// "Blurred at 2.5: picture, 644 × 484 pixels"; Amount as the window shows it.
QString BlurredNews(const QString& Amount, int Width, int Height);
// A Blur taken back (Back) or redone.
QString StepNews(bool Back, int Width, int Height);

} // namespace nebulo
