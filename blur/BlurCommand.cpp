#include "blur/BlurCommand.h"

#include "blur/Blur.h"
#include "dib/SDIB.h"
#include "toolkit/core/Bitmap.h"

namespace nebulo {

int32_t BorderAllowance(int32_t Position)
{
    return Position / 10 + 2;
}

TBlurRefusal CheckBlurGuards(const TBitmap& Picture, int32_t Position, bool WithBorder)
{
    if (Picture.Empty())
        return TBlurRefusal::EmptyPicture;
    if (Position <= 0)
        return TBlurRefusal::AmountNotPositive;
    return CheckBlurSize(Picture.Width(), Picture.Height(), Position, WithBorder);
}

TBlurRefusal CheckBlurSize(int64_t Width, int64_t Height, int32_t Position, bool WithBorder)
{
    const int32_t Allowance = WithBorder ? BorderAllowance(Position) : 0;
    if (Width + Allowance >= BlurSizeLimit)
        return TBlurRefusal::TooWide;
    if (Height + Allowance >= BlurSizeLimit)
        return TBlurRefusal::TooHigh;
    return TBlurRefusal::None;
}

void HandPictureToSurface(TBitmap& Picture, TSDIB& Surface, int32_t Position, bool WithBorder)
{
    if (!WithBorder) {
        if (!HasPalette(Picture.PixelFormat())) {
            Surface.LoadFromGraphic(Picture);
            return;
        }
        // The blur mixes colours, which palette indices cannot hold.
        TBitmap Colour;
        Colour.Assign(&Picture);
        Colour.SetPixelFormat(TPixelFormat::pf24bit);
        Surface.LoadFromGraphic(Colour);
        return;
    }
    // A new bitmap takes the display's depth, so the bordered copy is colour.
    const int32_t Allowance = BorderAllowance(Position);
    TBitmap Bordered;
    Bordered.SetWidth(Picture.Width() + Allowance);
    Bordered.SetHeight(Picture.Height() + Allowance);
    Bordered.Canvas().Brush().Color = clWhite;
    Bordered.Canvas().FillRect({0, 0, Bordered.Width(), Bordered.Height()});
    Bordered.Canvas().Draw(Allowance / 2, Allowance / 2, Picture);
    Surface.LoadFromGraphic(Bordered);
}

// The picture reads the held file in place: a copy of it into a memory
// stream would hold the same bytes. The held file's position means nothing to
// the surface, which seeks before every access.
void TakePictureFromSurface(TSDIB& Surface, TBitmap& Picture)
{
    TMemoryStream& File = Surface.DIBFile();
    File.Seek(0, soBeginning);
    Picture.LoadFromStream(File);
    File.Seek(0, soBeginning);
}

void RunBlurSteps(TBitmap& Picture, TSDIB& Surface, int32_t Position, bool WithBorder, const TStepMark& Mark)
{
    const auto Ended = [&](const char* Step) {
        if (Mark)
            Mark(Step);
    };
    HandPictureToSurface(Picture, Surface, Position, WithBorder);
    Ended("surface");
    BlurSurface(Surface, BlurAmount(Position));
    Ended("blur");
    TakePictureFromSurface(Surface, Picture);
    Ended("back");
}

TBlurRefusal RunBlurCommand(TBitmap& Picture, TSDIB& Surface, int32_t Position, bool WithBorder)
{
    const TBlurRefusal Refusal = CheckBlurGuards(Picture, Position, WithBorder);
    if (Refusal == TBlurRefusal::None)
        RunBlurSteps(Picture, Surface, Position, WithBorder);
    return Refusal;
}

} // namespace nebulo
