#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace nebulo {

class TBitmap;

// The pictures of one pasted picture's session: the picture as pasted, then
// each Blur's result, with the step shown now. Stepping back and forth hands
// out the exact pictures that were added.
class TPictureHistory {
public:
    static constexpr size_t DefaultCapacity = size_t(256) << 20;

    explicit TPictureHistory(size_t Capacity = DefaultCapacity);
    ~TPictureHistory();

    // Forgets every step and holds a copy of Original as the first.
    void Start(TBitmap& Original);
    // Drops the steps ahead of the one shown, adds a copy of Result after it
    // and shows it. While the pictures held take more than the capacity the
    // oldest steps go, but never the original nor the step just added.
    void Add(TBitmap& Result);

    bool Started() const { return !Steps_.empty(); }
    bool CanUndo() const { return Current_ > 0; }
    bool CanRedo() const { return Current_ + 1 < Steps_.size(); }
    // One step back or forward; the picture of the step now shown.
    TBitmap& Undo();
    TBitmap& Redo();

    // The picture as pasted; only once started.
    TBitmap& Original() { return *Steps_.front(); }
    size_t Steps() const { return Steps_.size(); }
    size_t Current() const { return Current_; }
    size_t HeldBytes() const;

private:
    void DropOldestOverCapacity();

    size_t Capacity_;
    std::vector<std::unique_ptr<TBitmap>> Steps_;
    size_t Current_ = 0;
};

} // namespace nebulo
