#pragma once

#include <QByteArray>

namespace nebulo::test {

// A PNG of any kind the format has, written by libpng, with samples that
// sweep their whole range (palette indices beyond a short palette included)
// and, where the kind has transparency, fully transparent, partly transparent
// and opaque pixels.
struct TPngKind {
    int Colour = 2;            // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    int Depth = 8;             // bits a sample
    bool Transparency = false; // a tRNS chunk
    bool Interlaced = false;
    int PaletteSize = 0; // colours in a palette; 0: as many as the depth allows
    int Width = 61;
    int Height = 17;
};
QByteArray WritePng(const TPngKind& Kind);
// Whether the pixel at (X, Y) has the colour the tRNS chunk makes
// transparent (grey and RGB kinds).
bool HasTransparentColour(const TPngKind& Kind, int X, int Y);

} // namespace nebulo::test
