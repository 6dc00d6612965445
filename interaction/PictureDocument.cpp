#include "interaction/PictureDocument.h"

namespace nebulo {

void TPictureDocument::Start(TBitmap& Pasted, bool Flattened)
{
    History_.Start(Pasted);
    Flattened_ = Flattened;
}

void TPictureDocument::AddBlur(TBitmap& Result)
{
    if (HasPicture())
        History_.Add(Result);
}

} // namespace nebulo
