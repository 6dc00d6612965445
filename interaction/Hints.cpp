#include "interaction/Hints.h"

#include "interaction/KeyCommands.h"
#include "interaction/NumberText.h"

namespace nebulo {

namespace {

QString Size(const TBlurForecast& Forecast)
{
    return PixelSizeText(Forecast.Width, Forecast.Height);
}

// σ and the taps, one line; nothing at position 0, where there is no kernel.
QString KernelLine(const TBlurForecast& Forecast, QChar Separator)
{
    if (Forecast.Position <= 0)
        return {};
    const QString Sigma = GeneralNumberText(Forecast.Position * 0.1 / 4, Separator);
    const QString Taps = Forecast.Taps == 1 ? QStringLiteral("1 tap")
                                            : QStringLiteral("%1 taps").arg(Forecast.Taps);
    return QStringLiteral("\nσ %1 pixels, %2").arg(Sigma, Taps);
}

// What the next Blur does, in the order the command's guards are tested.
QString OutcomeLine(const TBlurForecast& Forecast)
{
    if (Forecast.Position <= 0)
        return QStringLiteral("\nAt 0 a Blur changes nothing");
    if (Forecast.HasPicture) {
        switch (Forecast.Refusal) {
        case TBlurRefusal::EmptyPicture: return QStringLiteral("\nThere is no picture to blur");
        case TBlurRefusal::TooWide:
        case TBlurRefusal::TooHigh:
            return QStringLiteral("\nThe picture is %1%2, over the %3-pixel limit: a Blur changes nothing")
                .arg(Size(Forecast), Forecast.WithBorder ? QStringLiteral(" with the border") : QString())
                .arg(LargestBlurSide);
        case TBlurRefusal::AmountNotPositive:
        case TBlurRefusal::None: break;
        }
    }
    if (Forecast.Taps == 1) {
        if (Forecast.HasPicture && Forecast.WithBorder)
            return QStringLiteral("\nOne tap: a Blur at this amount only adds the border, giving %1")
                .arg(Size(Forecast));
        return QStringLiteral("\nOne tap: a Blur at this amount changes nothing");
    }
    if (Forecast.HasPicture && Forecast.WithBorder)
        return QStringLiteral("\nWith the border the result is %1").arg(Size(Forecast));
    return {};
}

} // namespace

QString HintWithKey(const QString& Stored, const QString& Key)
{
    return QStringLiteral("%1 (%2)").arg(Stored, Key);
}

QString ZoomToolHint(const QString& Stored)
{
    return HintWithKey(Stored, KeyText(TKeyCommand::ZoomTool))
           + QStringLiteral("\n%1 zooms in, %2 out, %3 back to 100 %; so does Ctrl+wheel")
                 .arg(KeyText(TKeyCommand::ZoomIn), KeyText(TKeyCommand::ZoomOut), KeyText(TKeyCommand::ZoomReset));
}

QString SliderHint(const QString& Stored, const TBlurForecast& Forecast, QChar DecimalSeparator)
{
    return QStringLiteral("%1: %2").arg(Stored, GeneralNumberText(Forecast.Position * 0.1, DecimalSeparator))
           + KernelLine(Forecast, DecimalSeparator) + OutcomeLine(Forecast);
}

QString BlurButtonHint(const QString& Stored, const TBlurForecast& Forecast, QChar DecimalSeparator)
{
    return HintWithKey(Stored, KeyText(TKeyCommand::Blur))
           + QStringLiteral(" at %1").arg(GeneralNumberText(Forecast.Position * 0.1, DecimalSeparator))
           + KernelLine(Forecast, DecimalSeparator) + OutcomeLine(Forecast)
           + QStringLiteral("\n%1 takes a Blur back, %2 redoes it;"
                            " hold %3 or the middle button over the picture to see it as pasted")
                 .arg(KeyText(TKeyCommand::Undo), KeyText(TKeyCommand::Redo), CompareKeyText());
}

} // namespace nebulo
