#pragma once

#include "pictureio/IncomingPicture.h"

#include <QObject>
#include <QThreadPool>

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

namespace nebulo {

// How long a transport waits on another program or on a file: at most
// Patience without a sign of life, counted afresh from each piece, and never
// more than Overall in all.
struct TWaitLimits {
    std::chrono::milliseconds Patience{2000};
    std::chrono::milliseconds Overall{10000};
};

// The one road a picture takes into the window, whatever brought it (the
// clipboard, a drop): its transport and its decoding run off the window's
// thread, one at a time. A newer request replaces the one on its way, which
// is told to stop and is never heard of again; so is one on its way when the
// road is destroyed, which waits only as long as its transport takes to see
// that it is to stop.
class TIncomingRoad : public QObject {
    Q_OBJECT
public:
    // Brings bytes and decodes them (ArrivalFromBytes); it checks Stop at
    // least every few tens of milliseconds while it waits.
    using TTransport = std::function<TArrival(std::stop_token Stop)>;

    explicit TIncomingRoad(QObject* Parent = nullptr);
    ~TIncomingRoad() override;

    // Runs Transport on a worker thread; Arrived follows on the road's thread.
    void Start(TTransport Transport);
    // What needed no waiting: replaces what is on its way and arrives now.
    void Deliver(const TArrival& Arrival);
    // Stops what is on its way; nothing arrives from it.
    void Stop();
    bool Busy() const { return Busy_; }

signals:
    void Arrived(const nebulo::TArrival& Arrival);

private:
    uint64_t Replace();
    void Finish(uint64_t Ticket, const TArrival& Arrival);

    QThreadPool Workers_;
    std::stop_source Current_;
    uint64_t Ticket_ = 0;
    bool Busy_ = false;
};

} // namespace nebulo
