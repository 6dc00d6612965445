#pragma once

#include <QByteArray>
#include <QImage>

namespace nebulo {

// A picture as Qt writes it by default.
QByteArray QtPng(const QImage& Picture);

// The clipboard's round trip without a screen: decode a 2023 x 2023 PNG,
// blur it at positions 50, 100 and 200, encode it as PNG; Nebulo's road
// against Qt's default reader and writer, as pairwise ratios.
void RegisterRoundTrip();

} // namespace nebulo
