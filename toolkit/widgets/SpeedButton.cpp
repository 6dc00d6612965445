#include "toolkit/widgets/SpeedButton.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"
#include "toolkit/widgets/PixelScale.h"

#include <QBitmap>
#include <QFile>
#include <QPixmap>

namespace nebulo {

QPixmap TransparentPicture(const QString& Resource)
{
    QFile File(Resource);
    if (!File.open(QIODevice::ReadOnly))
        throw EStreamError("Cannot read the picture " + Resource.toStdString());
    const QByteArray Bytes = File.readAll();
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.constData(), Bytes.size());
    Stream.Seek(0, soBeginning);
    TBitmap Glyph;
    Glyph.LoadFromStream(Stream);
    QImage Image = Glyph.ToRgb32().convertToFormat(QImage::Format_ARGB32);
    const QRgb Transparent = Image.pixel(0, Image.height() - 1);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) == Transparent)
                Image.setPixel(X, Y, qRgba(0, 0, 0, 0));
    return QPixmap::fromImage(Image);
}

TSpeedButton::TSpeedButton(QWidget* Parent) : QToolButton(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(false);
    connect(this, &QToolButton::clicked, this, &TSpeedButton::Pressed);
}

void TSpeedButton::SetGroupIndex(int Value)
{
    GroupIndex_ = Value;
    setCheckable(Value != 0);
}

void TSpeedButton::SetDown(bool Value)
{
    if (Value && GroupIndex_ != 0 && parent() != nullptr)
        for (auto* Other : parent()->findChildren<TSpeedButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (Other != this && Other->GroupIndex_ == GroupIndex_)
                Other->setChecked(false);
    setChecked(Value);
}

void TSpeedButton::SetGlyph(const QString& Name)
{
    const QPixmap Pixels = Name.isEmpty() ? QPixmap() : TransparentPicture(":/glyphs/" + Name);
    Glyph_ = Name;
    setIcon(SharpIcon(Pixels, PixelScale()));
    setIconSize(Pixels.size());
}

void TSpeedButton::Pressed()
{
    // A grouped button stays down when pressed again.
    if (GroupIndex_ != 0)
        SetDown(true);
    emit Click();
}

} // namespace nebulo
