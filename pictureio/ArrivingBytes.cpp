#include "pictureio/ArrivingBytes.h"

#include <algorithm>
#include <cstring>

namespace nebulo {

TArrivingBytes::TArrivingBytes(TWatch Watch) : Watch_(std::move(Watch))
{
    if (Watch_)
        Watcher_ = std::thread([this] { this->Watch(); });
}

TArrivingBytes::~TArrivingBytes()
{
    {
        const std::lock_guard Guard(Lock_);
        Closed_ = true;
        // What the watcher has not seen yet is of no use any more.
        Shown_ = Seen_;
    }
    Changed_.notify_all();
    if (Watcher_.joinable())
        Watcher_.join();
}

void TArrivingBytes::Watch()
{
    std::unique_lock Guard(Lock_);
    for (;;) {
        Changed_.wait(Guard, [this] { return Shown_ > Seen_ || Closed_; });
        if (Shown_ <= Seen_)
            return;
        // The room shown stays while the watcher reads it, even when more
        // bytes meanwhile need a larger one.
        const QByteArray Shown = Room_;
        const qsizetype Size = Shown_;
        Guard.unlock();
        Watch_(Shown.constData(), Size);
        Guard.lock();
        Seen_ = Size;
    }
}

void TArrivingBytes::Grow(qsizetype Size)
{
    QByteArray Larger(Size, Qt::Uninitialized);
    char* Data = Larger.data();
    if (Filled_ > 0)
        std::memcpy(Data, Data_, size_t(Filled_));
    const std::lock_guard Guard(Lock_);
    Room_ = std::move(Larger);
    Data_ = Data;
}

void TArrivingBytes::Reserve(qsizetype Size)
{
    if (Size > Room_.size())
        Grow(Size);
}

void TArrivingBytes::Append(const char* Piece, qsizetype Size)
{
    if (Size <= 0)
        return;
    if (Size > Room_.size() - Filled_)
        Grow(std::max({Filled_ + Size, 2 * Room_.size(), UnannouncedRoom}));
    // The watcher reads only what was shown to it, below this.
    std::memcpy(Data_ + Filled_, Piece, size_t(Size));
    Filled_ += Size;
    {
        const std::lock_guard Guard(Lock_);
        Shown_ = Filled_;
    }
    Changed_.notify_all();
}

QByteArray TArrivingBytes::Close()
{
    {
        const std::lock_guard Guard(Lock_);
        Closed_ = true;
    }
    Changed_.notify_all();
    if (Watcher_.joinable())
        Watcher_.join();
    // Nobody shares the room any more: it ends where the bytes end.
    Room_.resize(Filled_);
    Data_ = nullptr;
    Filled_ = 0;
    return std::move(Room_);
}

} // namespace nebulo
