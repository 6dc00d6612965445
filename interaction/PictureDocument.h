#pragma once

#include "interaction/PictureHistory.h"

namespace nebulo {

class TBitmap;

// The picture the window works on, in one place: the picture as pasted with
// the history of its Blurs, and whether its transparent parts were put on
// white. Whether there is a picture at all decides which controls are awake.
class TPictureDocument {
public:
    // A new picture came in (a paste, a drop): the history starts afresh.
    void Start(TBitmap& Pasted, bool Flattened);
    // A Blur's result follows the picture shown; nothing before a picture.
    void AddBlur(TBitmap& Result);

    bool HasPicture() const { return History_.Started(); }
    bool Flattened() const { return Flattened_; }
    TPictureHistory& History() { return History_; }

private:
    TPictureHistory History_;
    bool Flattened_ = false;
};

} // namespace nebulo
