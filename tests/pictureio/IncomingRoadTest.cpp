#include "pictureio/IncomingRoad.h"

#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace nebulo {
namespace {

// A transport whose program never answers: it waits until it is told to stop.
TIncomingRoad::TTransport Stalled(std::atomic<bool>& Stopped)
{
    return [&Stopped](std::stop_token Stop) {
        while (!Stop.stop_requested())
            QThread::msleep(5);
        Stopped = true;
        return TArrival();
    };
}

TIncomingRoad::TTransport Bringing(int Width)
{
    return [Width](std::stop_token) {
        return ArrivalFromPicture(QImage(Width, 1, QImage::Format_RGB32), TTrace("paste", false));
    };
}

TEST(IncomingRoad, TheNewestRequestReplacesTheOneOnItsWay)
{
    TIncomingRoad Road;
    std::vector<int> Arrived;
    QObject::connect(&Road, &TIncomingRoad::Arrived,
                     [&](const TArrival& Arrival) { Arrived.push_back(Arrival.Picture.Pixels.width()); });
    std::atomic<bool> Stopped = false;
    Road.Start(Stalled(Stopped));
    Road.Start(Bringing(3));
    Road.Start(Bringing(5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Road.Busy(); }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(Arrived, std::vector<int>{5}) << "only the newest arrives";
    EXPECT_TRUE(Stopped) << "the stalled transport was told to stop";

    Stopped = false;
    Road.Start(Stalled(Stopped));
    Road.Deliver(ArrivalFromPicture(QImage(7, 1, QImage::Format_RGB32), TTrace("paste", false)));
    EXPECT_EQ(Arrived, (std::vector<int>{5, 7})) << "what needs no waiting arrives at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Stopped.load(); }, 10000));
}

TEST(IncomingRoad, ClosingStopsWhatIsOnItsWay)
{
    std::atomic<bool> Stopped = false;
    {
        TIncomingRoad Road;
        Road.Start(Stalled(Stopped));
    }
    EXPECT_TRUE(Stopped) << "the road waited for a transport it had not stopped";
}

} // namespace
} // namespace nebulo
