#include "interaction/ScreenReaderTexts.h"

#include "interaction/NumberText.h"

namespace nebulo {

namespace {

QString News(const QString& What, int Width, int Height)
{
    return QStringLiteral("%1: picture, %2").arg(What, PixelSizeText(Width, Height));
}

} // namespace

QString PictureName(int Width, int Height)
{
    return QStringLiteral("Picture, %1").arg(PixelSizeText(Width, Height));
}

QString NoPictureName()
{
    return QStringLiteral("No picture");
}

QString PastedNews(int Width, int Height)
{
    return News(QStringLiteral("Pasted"), Width, Height);
}

QString BlurredNews(const QString& Amount, int Width, int Height)
{
    return News(QStringLiteral("Blurred at %1").arg(Amount), Width, Height);
}

QString StepNews(bool Back, int Width, int Height)
{
    return News(Back ? QStringLiteral("Blur taken back") : QStringLiteral("Blur redone"), Width, Height);
}

} // namespace nebulo
