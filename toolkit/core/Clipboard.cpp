#include "toolkit/core/Clipboard.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BitmapDIB.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Picture.h"
#include "toolkit/core/Stream.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cstring>
#include <memory>

namespace nebulo {

namespace {

const char* const UnsupportedFormat = "Unsupported clipboard format";

// None without a running GUI application.
QClipboard* SystemClipboard()
{
    return qGuiApp != nullptr ? QGuiApplication::clipboard() : nullptr;
}

// A picture Qt hands over, or a BMP file, the DIB's own form: a picture that
// offers its own bytes may keep Qt's image type to this process.
bool HoldsPicture()
{
    const QClipboard* System = SystemClipboard();
    const QMimeData* Data = System != nullptr ? System->mimeData() : nullptr;
    return Data != nullptr && (Data->hasImage() || Data->hasFormat(QStringLiteral("image/bmp")));
}

QImage SystemPicture()
{
    QClipboard* System = SystemClipboard();
    return System != nullptr ? System->image() : QImage();
}

// The picture as the bitmap hands out its DIB, in a new global block.
TGlobalMemory PackedDIBOf(const QImage& Picture)
{
    TBitmap Bitmap;
    Bitmap.SetImage(Picture);
    TMemoryStream DIB;
    if (!GetDIBStream(Bitmap, DIB))
        return nullptr;
    TGlobalMemory Block(GlobalAlloc(GMEM_MOVEABLE, size_t(DIB.Size())));
    const TGlobalLock Lock(Block.get());
    if (Lock.Memory() == nullptr)
        return nullptr;
    std::memcpy(Lock.Memory(), DIB.Memory(), size_t(DIB.Size()));
    return Block;
}

} // namespace

TClipboard::TClipboard() = default;

TClipboard::~TClipboard() = default;

void TClipboard::Open()
{
    if (OpenCount_ == 0) {
        if (SystemClipboard() == nullptr)
            throw EInvalidOperation("Cannot open clipboard");
        Emptied_ = false;
    }
    ++OpenCount_;
}

void TClipboard::Close()
{
    if (OpenCount_ == 0)
        return;
    if (--OpenCount_ == 0) {
        Handles_.clear();
        if (EmptyAtClose_)
            SystemClipboard()->clear();
        EmptyAtClose_ = false;
    }
}

std::vector<uint16_t> TClipboard::Formats() const
{
    if (EmptyAtClose_ || !HoldsPicture())
        return {};
    return {CF_DIB, CF_BITMAP};
}

bool TClipboard::HasFormat(uint16_t Format) const
{
    const std::vector<uint16_t> Offered = Formats();
    return std::find(Offered.begin(), Offered.end(), Format) != Offered.end();
}

void TClipboard::Clear()
{
    const TOpenClipboard Bracket(*this);
    EmptyAtClose_ = true;
    Handles_.clear();
}

void TClipboard::Adding()
{
    if (!Emptied_) {
        Clear();
        Emptied_ = true;
    }
}

HGLOBAL TClipboard::GetAsHandle(uint16_t Format)
{
    if (!IsOpen() || EmptyAtClose_ || Format != CF_DIB)
        return nullptr;
    TGlobalMemory& Held = Handles_[Format];
    if (!Held) {
        const QImage Picture = SystemPicture();
        if (!Picture.isNull())
            Held = PackedDIBOf(Picture);
    }
    return Held.get();
}

void TClipboard::Assign(TPersistent* Source)
{
    auto* Bitmap = dynamic_cast<TBitmap*>(Source);
    if (Bitmap == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    const TOpenClipboard Bracket(*this);
    Adding();
    if (Bitmap->Empty())
        return;
    // Setting the content takes the clipboard over directly, which is the
    // emptying too.
    if (OfferMaker_)
        SystemClipboard()->setMimeData(OfferMaker_(Bitmap->Image()));
    else
        SystemClipboard()->setImage(Bitmap->ToRgb32());
    EmptyAtClose_ = false;
}

void TClipboard::AssignTo(TPersistent* Dest)
{
    if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
        const TOpenClipboard Bracket(*this);
        const QImage Picture = EmptyAtClose_ ? QImage() : SystemPicture();
        if (Picture.isNull())
            throw EInvalidGraphic(UnsupportedFormat);
        Bitmap->SetImage(Picture, TPixelFormat::pf32bit);
        return;
    }
    if (auto* Picture = dynamic_cast<TPicture*>(Dest)) {
        const TOpenClipboard Bracket(*this);
        // Pictures reach us at full colour: no CF_PALETTE goes with them.
        for (const uint16_t Format : Formats())
            if (TPicture::SupportsClipboardFormat(Format)) {
                Picture->LoadFromClipboardFormat(Format, GetAsHandle(Format), nullptr);
                return;
            }
        throw EInvalidGraphic(UnsupportedFormat);
    }
    TPersistent::AssignTo(Dest);
}

TClipboard& Clipboard()
{
    static TClipboard Instance;
    return Instance;
}

} // namespace nebulo
