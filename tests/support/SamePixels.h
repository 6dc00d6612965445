#pragma once

#include <QImage>

#include <gtest/gtest.h>

namespace nebulo {
class TBitmap;
}

namespace nebulo::test {

// Whether two pictures have the same size and the same colour at every pixel,
// whatever their storage; when not, the size or the first pixel that differs,
// with both colours (#aarrggbb).
::testing::AssertionResult SamePixels(const QImage& Expected, const QImage& Actual);
::testing::AssertionResult SamePixels(const TBitmap& Expected, const TBitmap& Actual);

} // namespace nebulo::test
