#include "tests/support/SamePixels.h"

#include "toolkit/core/Bitmap.h"

#include <iomanip>
#include <sstream>

namespace nebulo::test {

namespace {

std::string Colour(QRgb Value)
{
    std::ostringstream Text;
    Text << '#' << std::hex << std::setw(8) << std::setfill('0') << Value;
    return Text.str();
}

} // namespace

::testing::AssertionResult SamePixels(const QImage& Expected, const QImage& Actual)
{
    if (Expected.size() != Actual.size())
        return ::testing::AssertionFailure() << "size " << Actual.width() << " x " << Actual.height() << ", expected "
                                             << Expected.width() << " x " << Expected.height();
    for (int Y = 0; Y < Expected.height(); ++Y)
        for (int X = 0; X < Expected.width(); ++X)
            if (Expected.pixel(X, Y) != Actual.pixel(X, Y))
                return ::testing::AssertionFailure() << "pixel (" << X << ", " << Y << ") is "
                                                     << Colour(Actual.pixel(X, Y)) << ", expected "
                                                     << Colour(Expected.pixel(X, Y));
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SamePixels(const TBitmap& Expected, const TBitmap& Actual)
{
    return SamePixels(Expected.ToRgb32(), Actual.ToRgb32());
}

} // namespace nebulo::test
