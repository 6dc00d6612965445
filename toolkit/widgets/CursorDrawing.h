#pragma once

#include <QByteArray>
#include <QCursor>
#include <QString>

namespace nebulo {

// Cursors are kept as text drawings so that a person can edit them: 32 lines
// of 32 characters, '#' a black pixel, '+' a white pixel, '.' a transparent
// one. The hot spot is the top-left pixel.
constexpr int CursorDrawingSize = 32;

// The cursor a drawing shows, each drawn pixel Scale × Scale device pixels;
// EInvalidGraphic when the text is no drawing.
QCursor CursorFromDrawing(const QByteArray& Drawing, int Scale = 1);

// The drawing embedded as ":/cursors/<Name>.txt", sized for the densest screen.
QCursor LoadCursorResource(const QString& Name);

} // namespace nebulo
