#include "dib/CDIBs.h"

#include "dib/DIBMessages.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BitmapDIB.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Picture.h"

namespace nebulo {

TDIB::TDIB() : Image_(std::make_shared<const TDIBImage>()) {}

TDIB::~TDIB() = default;

std::unique_ptr<TGraphic> TDIB::Create()
{
    return std::make_unique<TDIB>();
}

void TDIB::NewImage(int32_t Width, int32_t Height, std::unique_ptr<TMemoryStream> Stream, int64_t BitsOffset)
{
    auto Record = std::make_shared<TDIBImage>();
    if (Stream) {
        Record->Width = Width;
        Record->Height = Height;
        Record->Info = Stream->Memory();
        Record->Bits = Record->Info + BitsOffset;
        Record->Stream = std::move(Stream);
    }
    Image_ = std::move(Record);
}

void TDIB::RequireDIB() const
{
    if (Empty())
        throw EInvalidGraphic(dib::InvalidBitmap);
}

void TDIB::Assign(TPersistent* Source)
{
    if (Source == nullptr) {
        NewImage(0, 0, nullptr, 0);
        Changed();
    } else if (const auto* Other = dynamic_cast<const TDIB*>(Source)) {
        Image_ = Other->Image_;
        Changed();
    } else if (auto* Board = dynamic_cast<TClipboard*>(Source)) {
        AssignClipboard(*Board);
        Changed();
    } else if (const auto* Bitmap = dynamic_cast<const TBitmap*>(Source)) {
        AssignBitmap(*Bitmap);
    } else {
        TGraphic::Assign(Source);
    }
}

void TDIB::AssignClipboard(TClipboard& Clipboard)
{
    if (!Clipboard.HasFormat(CF_DIB))
        throw EInvalidGraphic(dib::UnknownClipboardFormat);
    const TOpenClipboard Open(Clipboard);
    LoadFromClipboardFormat(CF_DIB, Clipboard.GetAsHandle(CF_DIB), nullptr);
}

void TDIB::AssignBitmap(const TBitmap& Bitmap)
{
    TMemoryStream DIB;
    if (!GetDIBStream(Bitmap, DIB))
        throw EInvalidGraphic(dib::InvalidBitmap);
    DIB.Seek(0, soBeginning);
    try {
        LoadDIB(DIB);
    } catch (const EInvalidGraphic&) {
        throw EInvalidGraphic(dib::InvalidBitmapFormat);
    }
}

void TDIB::AssignTo(TPersistent* Dest)
{
    auto* Bitmap = dynamic_cast<TBitmap*>(Dest);
    if (Bitmap == nullptr) {
        TGraphic::AssignTo(Dest);
        return;
    }
    RequireDIB();
    // Held here, so that the record outlives the stream whatever the bitmap's
    // change event does to this graphic.
    const std::shared_ptr<const TDIBImage> Held = Image_;
    TFakeDIBFileStream File(*Held);
    Bitmap->LoadFromStream(File);
}

void RegisterDIBGraphicClass()
{
    TPicture::RegisterClipboardFormat(CF_DIB, TGraphicClass{"TDIB", &TDIB::Create});
}

} // namespace nebulo
