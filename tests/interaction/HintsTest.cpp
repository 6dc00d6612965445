#include "interaction/Hints.h"

#include "tests/support/Rows.h"
#include "toolkit/core/Bitmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace nebulo {
namespace {

using test::PrintTo;

struct THintRow {
    const char* Name;
    int Width; // 0: nothing pasted yet
    int Height;
    int Position;
    bool Border;
    char Separator;
    const char* Slider;
};

class BlurHint : public ::testing::TestWithParam<THintRow> {
protected:
    TBlurForecast Forecast() const
    {
        const THintRow& Row = GetParam();
        if (Row.Width == 0)
            return ForecastBlur(nullptr, Row.Position, Row.Border);
        TBitmap Picture;
        Picture.SetSize(Row.Width, Row.Height);
        return ForecastBlur(&Picture, Row.Position, Row.Border);
    }
};

TEST_P(BlurHint, SaysWhatTheNextBlurWillDo)
{
    const THintRow& Row = GetParam();
    const QString Slider = SliderHint("Blur Amount", Forecast(), QChar(Row.Separator));
    EXPECT_EQ(Slider.toStdString(), Row.Slider);
    // The Blur button tells the same after its name and key.
    const QString Button = BlurButtonHint("Blur", Forecast(), QChar(Row.Separator));
    const QString Told = Slider.mid(QString("Blur Amount: ").size());
    EXPECT_TRUE(Button.startsWith("Blur (Ctrl+B) at " + Told + "\nCtrl+Z takes a Blur back"))
        << Button.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Forecasts, BlurHint,
    ::testing::Values(
        THintRow{"NothingPastedAtZero", 0, 0, 0, false, '.', "Blur Amount: 0\nAt 0 a Blur changes nothing"},
        THintRow{"NothingPastedYet", 0, 0, 50, true, '.', "Blur Amount: 5\nσ 1.25 pixels, 9 taps"},
        THintRow{"ZeroWithAPicture", 100, 80, 0, true, '.', "Blur Amount: 0\nAt 0 a Blur changes nothing"},
        THintRow{"OneTapUpTo1Point2", 100, 80, 12, false, '.',
                 "Blur Amount: 1.2\nσ 0.3 pixels, 1 tap\nOne tap: a Blur at this amount changes nothing"},
        THintRow{"OneTapAddsOnlyTheBorder", 100, 80, 1, true, '.',
                 "Blur Amount: 0.1\nσ 0.025 pixels, 1 tap\n"
                 "One tap: a Blur at this amount only adds the border, giving 102 × 82 pixels"},
        THintRow{"FirstThreeTaps", 100, 80, 13, false, '.', "Blur Amount: 1.3\nσ 0.325 pixels, 3 taps"},
        THintRow{"NextSizeWithTheBorder", 100, 80, 15, true, '.',
                 "Blur Amount: 1.5\nσ 0.375 pixels, 3 taps\nWith the border the result is 103 × 83 pixels"},
        THintRow{"WidestKernel", 100, 80, 200, true, '.',
                 "Blur Amount: 20\nσ 5 pixels, 33 taps\nWith the border the result is 122 × 102 pixels"},
        THintRow{"LargestPictureBlurs", 2023, 2023, 50, false, '.', "Blur Amount: 5\nσ 1.25 pixels, 9 taps"},
        THintRow{"TooWideWithTheBorder", 2022, 20, 1, true, '.',
                 "Blur Amount: 0.1\nσ 0.025 pixels, 1 tap\nThe picture is 2024 × 22 pixels with the border, "
                 "over the 2023-pixel limit: a Blur changes nothing"},
        THintRow{"TooHigh", 20, 2024, 50, false, '.',
                 "Blur Amount: 5\nσ 1.25 pixels, 9 taps\nThe picture is 20 × 2024 pixels, "
                 "over the 2023-pixel limit: a Blur changes nothing"},
        THintRow{"CommaLocale", 100, 80, 15, true, ',',
                 "Blur Amount: 1,5\nσ 0,375 pixels, 3 taps\nWith the border the result is 103 × 83 pixels"},
        THintRow{"CommaLocaleOneTap", 100, 80, 3, false, ',',
                 "Blur Amount: 0,3\nσ 0,075 pixels, 1 tap\nOne tap: a Blur at this amount changes nothing"}),
    test::RowName());

TEST(BlurButtonHint, NamesItsKeyAndTheKeysThatTakeItBack)
{
    TBitmap Picture;
    Picture.SetSize(100, 80);
    EXPECT_EQ(BlurButtonHint("Blur", ForecastBlur(&Picture, 15, false), ',').toStdString(),
              "Blur (Ctrl+B) at 1,5\nσ 0,375 pixels, 3 taps\n"
              "Ctrl+Z takes a Blur back, Ctrl+Shift+Z or Ctrl+Y redoes it; "
              "hold \\ or the middle button over the picture to see it as pasted");
}

TEST(ButtonHints, KeepTheirWordsFirstAndNameTheirKeys)
{
    EXPECT_EQ(HintWithKey("Copy to Clipboard", "Ctrl+C").toStdString(), "Copy to Clipboard (Ctrl+C)");
    EXPECT_EQ(ZoomToolHint("Zoom Tool").toStdString(),
              "Zoom Tool (Z)\nCtrl+plus zooms in, Ctrl+minus out, Ctrl+0 back to 100 %; so does Ctrl+wheel");
}

} // namespace
} // namespace nebulo
