#pragma once

#include <QByteArray>
#include <QImage>

namespace nebulo {

// A standard 8-bit RGB PNG of an opaque picture (alpha, where there is any,
// is left out), fast enough to serve a 2023 x 2023 copy at once: every row
// is Up-filtered and deflated at a fast level, the rows shared between the
// cores. Any
// depth a bitmap holds is taken. A null picture gives no bytes; so does a
// failed allocation, which leaves the caller to its slower road.
QByteArray EncodePng(const QImage& Picture);

} // namespace nebulo
