#pragma once

#include <QByteArray>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace nebulo {

// Bytes that come in pieces, kept in room taken once where their size is
// announced, and shown meanwhile to a watcher (a decoder) on a thread of its
// own: the thread that takes the pieces in never waits for the watcher, nor
// the watcher for the next piece. The watcher is called with every byte so
// far, from the first, each time more came than it last saw; it must not
// throw.
class TArrivingBytes {
public:
    using TWatch = std::function<void(const char* SoFar, qsizetype Size)>;
    // The room for bytes whose size nobody announced (xclip's, for one):
    // what a 2023 x 2023 picture takes at 32 bits a pixel without any
    // compression. It doubles beyond.
    static constexpr qsizetype UnannouncedRoom = qsizetype(16) << 20;

    // Without a watcher the bytes are only kept.
    explicit TArrivingBytes(TWatch Watch = {});
    // Ends the watcher's thread once its call is over.
    ~TArrivingBytes();
    TArrivingBytes(const TArrivingBytes&) = delete;
    TArrivingBytes& operator=(const TArrivingBytes&) = delete;

    // Room for Size bytes, as announced before the first piece.
    void Reserve(qsizetype Size);
    void Append(const char* Piece, qsizetype Size);
    qsizetype Size() const { return Filled_; }
    // Nothing more comes: waits until the watcher saw every byte, and gives
    // them all.
    QByteArray Close();

private:
    void Watch();
    // Room for Size bytes in all; the watcher may go on reading the old one.
    void Grow(qsizetype Size);

    TWatch Watch_;
    QByteArray Room_; // replaced under the lock, written through Data_
    char* Data_ = nullptr;
    qsizetype Filled_ = 0; // of the taking thread only

    std::mutex Lock_;
    std::condition_variable Changed_;
    qsizetype Shown_ = 0; // what the watcher may read
    qsizetype Seen_ = 0;  // what it read
    bool Closed_ = false;
    std::thread Watcher_;
};

} // namespace nebulo
