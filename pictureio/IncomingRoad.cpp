#include "pictureio/IncomingRoad.h"

namespace nebulo {

TIncomingRoad::TIncomingRoad(QObject* Parent) : QObject(Parent) {}

TIncomingRoad::~TIncomingRoad()
{
    Stop();
    Workers_.waitForDone();
}

uint64_t TIncomingRoad::Replace()
{
    Current_.request_stop();
    Current_ = std::stop_source();
    Busy_ = false;
    return ++Ticket_;
}

void TIncomingRoad::Start(TTransport Transport)
{
    const uint64_t Ticket = Replace();
    Busy_ = true;
    Workers_.start([this, Ticket, Stop = Current_.get_token(), Transport = std::move(Transport)] {
        TArrival Arrival = Transport(Stop);
        if (Stop.stop_requested())
            return;
        QMetaObject::invokeMethod(
            this, [this, Ticket, Arrival = std::move(Arrival)] { Finish(Ticket, Arrival); }, Qt::QueuedConnection);
    });
}

void TIncomingRoad::Deliver(const TArrival& Arrival)
{
    Finish(Replace(), Arrival);
}

void TIncomingRoad::Stop()
{
    Replace();
}

// A result that a newer request overtook on its way here is dropped.
void TIncomingRoad::Finish(uint64_t Ticket, const TArrival& Arrival)
{
    if (Ticket != Ticket_)
        return;
    Busy_ = false;
    emit Arrived(Arrival);
}

} // namespace nebulo
