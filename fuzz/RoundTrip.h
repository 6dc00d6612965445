#pragma once

// What the fuzz targets ask of a reader: it refuses hostile bytes with one
// of the system's failures, or what it read goes out and back unchanged.

#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <utility>

namespace nebulo::fuzz {

// Runs Read; true when it refused with one of the system's failures.
template <typename F>
bool Refuses(F&& Read)
{
    try {
        std::forward<F>(Read)();
        return false;
    } catch (const Exception&) {
        return true;
    }
}

// What Save writes of Picture, read by Load into Again.
template <typename TPicture>
void ReadBack(TPicture& Picture, void (TPicture::*Save)(TStream&), void (TPicture::*Load)(TStream&), TPicture& Again)
{
    TMemoryStream Written;
    (Picture.*Save)(Written);
    Written.Seek(0, soBeginning);
    (Again.*Load)(Written);
}

} // namespace nebulo::fuzz
