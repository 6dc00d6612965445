#pragma once

#include "toolkit/core/GlobalMemory.h"
#include "toolkit/core/Persistent.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class QImage;
class QMimeData;

namespace nebulo {

constexpr uint16_t CF_BITMAP = 2;
constexpr uint16_t CF_DIB = 8;

// The system clipboard, one per application. It offers CF_DIB and CF_BITMAP
// whenever the system clipboard holds a picture. Opening and closing nest:
// only the outermost pair opens and closes the system clipboard.
class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;

    const char* ClassName() const override { return "TClipboard"; }

    // Fails with "Cannot open clipboard" when there is no system clipboard.
    void Open();
    // A Close without an Open does nothing.
    void Close();
    bool IsOpen() const { return OpenCount_ > 0; }

    // The offered formats, in the order a picture holder tries them.
    std::vector<uint16_t> Formats() const;
    bool HasFormat(uint16_t Format) const;
    // Empties the system clipboard. Inside an open bracket the emptying waits
    // for the outermost Close, and content placed before then replaces the
    // old at once: no other program ever finds the clipboard without an
    // owner between the emptying and the new content.
    void Clear();
    // CF_DIB as a packed DIB in a global memory block that the clipboard owns
    // until its outermost Close. None while closed, and for other formats.
    HGLOBAL GetAsHandle(uint16_t Format);

    // A bitmap replaces the clipboard's content by its picture (one emptying
    // per open bracket); anything else takes the base's road.
    void Assign(TPersistent* Source) override;

    // Makes what the system clipboard offers for a bitmap's pixels as they
    // are stored; without one, Qt's own image offer of their 32-bit form.
    using TPictureOfferMaker = std::function<QMimeData*(const QImage& Pixels)>;
    void SetPictureOfferMaker(TPictureOfferMaker Maker) { OfferMaker_ = std::move(Maker); }

protected:
    // Into a bitmap: the clipboard's picture at 32 bits, transparency over
    // white. Into a picture: the first offered format the picture knows.
    // Both fail with "Unsupported clipboard format" when nothing fits.
    void AssignTo(TPersistent* Dest) override;

private:
    // Empties the system clipboard before the first addition of a bracket.
    void Adding();

    int OpenCount_ = 0;
    bool Emptied_ = false;
    // An emptying that the outermost Close still has to do.
    bool EmptyAtClose_ = false;
    std::map<uint16_t, TGlobalMemory> Handles_;
    TPictureOfferMaker OfferMaker_;
};

// The application's clipboard, made on first use.
TClipboard& Clipboard();

// Keeps the clipboard open for one scope.
class TOpenClipboard {
public:
    explicit TOpenClipboard(TClipboard& Target) : Target_(Target) { Target_.Open(); }
    ~TOpenClipboard() { Target_.Close(); }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;

private:
    TClipboard& Target_;
};

} // namespace nebulo
