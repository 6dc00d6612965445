#pragma once

#include "dib/CDIBs.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/RecordingFiler.h"
#include "toolkit/core/GlobalMemory.h"

#include <QImage>

#include <cstdint>
#include <string>

namespace nebulo::test {

// A picture of Width x Height at BitCount bits with pseudo-random rows (pad
// bytes included) and, up to 8 bits, a full pseudo-random colour table.
TBmpPlan RandomSpec(int32_t Width, int32_t Height, uint16_t BitCount, uint32_t Seed = 1);

// Loads a BMP file into Graphic through LoadFromStream.
void LoadFile(TDIB& Graphic, const TBytes& File);
TBytes SavedFile(TDIB& Graphic);
// The packed DIB a graphic holds, header first.
TBytes HeldDIB(const TDIB& Graphic);
// The graphic's CF_DIB block, owned by the caller.
TGlobalMemory ClipboardBlockOf(TDIB& Graphic);
// The graphic's pixels, read back through a toolkit bitmap.
QImage PixelsOf(TDIB& Graphic);

// The message of the failure Action throws, or "(no failure)".
template <typename F>
std::string FailureOf(F Action)
{
    try {
        Action();
    } catch (const std::exception& Failure) {
        return Failure.what();
    }
    return "(no failure)";
}

// "" when equal; otherwise where the first difference is, with both values.
std::string FirstDifference(const TBytes& Expected, const TBytes& Actual);

} // namespace nebulo::test
