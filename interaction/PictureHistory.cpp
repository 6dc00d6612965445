#include "interaction/PictureHistory.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"

namespace nebulo {

namespace {

// A copy shares the pixels with its source until one of them changes.
std::unique_ptr<TBitmap> CopyOf(TBitmap& Picture)
{
    auto Copy = std::make_unique<TBitmap>();
    Copy->Assign(&Picture);
    return Copy;
}

size_t BytesOf(const TBitmap& Picture)
{
    return size_t(Picture.Image().sizeInBytes());
}

} // namespace

TPictureHistory::TPictureHistory(size_t Capacity) : Capacity_(Capacity) {}

TPictureHistory::~TPictureHistory() = default;

void TPictureHistory::Start(TBitmap& Original)
{
    Steps_.clear();
    Steps_.push_back(CopyOf(Original));
    Current_ = 0;
}

void TPictureHistory::Add(TBitmap& Result)
{
    if (!Started())
        throw EInvalidOperation("The history has no picture to follow");
    Steps_.resize(Current_ + 1);
    Steps_.push_back(CopyOf(Result));
    Current_ = Steps_.size() - 1;
    DropOldestOverCapacity();
}

void TPictureHistory::DropOldestOverCapacity()
{
    while (HeldBytes() > Capacity_ && Steps_.size() > 2) {
        Steps_.erase(Steps_.begin() + 1);
        --Current_;
    }
}

TBitmap& TPictureHistory::Undo()
{
    if (CanUndo())
        --Current_;
    return *Steps_.at(Current_);
}

TBitmap& TPictureHistory::Redo()
{
    if (CanRedo())
        ++Current_;
    return *Steps_.at(Current_);
}

size_t TPictureHistory::HeldBytes() const
{
    size_t Bytes = 0;
    for (const auto& Step : Steps_)
        Bytes += BytesOf(*Step);
    return Bytes;
}

} // namespace nebulo
