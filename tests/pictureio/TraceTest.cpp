#include "pictureio/Trace.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstring>

namespace nebulo {
namespace {

TEST(Trace, OneLineWithThePhasesInTheirOrder)
{
    TTrace Trace("paste", true);
    Trace.SetSize(2023, 2023);
    Trace.Add("read", 12.4);
    Trace.Add("decode", 117.6);
    Trace.Add("convert", 9);
    Trace.Add("shown", 6);
    EXPECT_EQ(Trace.Line(), "paste 2023x2023: read 12 ms, decode 118 ms, convert 9 ms, shown 6 ms");
    Trace.Note("3.10 MB");
    EXPECT_EQ(Trace.Line(), "paste 2023x2023: read 12 ms, decode 118 ms, convert 9 ms, shown 6 ms, 3.10 MB");
}

// Fresh memory shows: every page a phase first touches is a fault.
TEST(Trace, MarksCountThePageFaultsOfTheirPhase)
{
    TTrace Trace("blur", true);
    Trace.Mark("before");
    constexpr size_t Pages = 256;
    // Mapped here, as the allocator may hand out pages touched before.
    void* Fresh = mmap(nullptr, Pages * 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(Fresh, MAP_FAILED);
    std::memset(Fresh, 1, Pages * 4096);
    Trace.Mark("touched");
    munmap(Fresh, Pages * 4096);
    Trace.Add("encode", 3, 7);
    const QString Line = Trace.Line();
    const QRegularExpression Phase(R"(touched \d+ ms \((\d+) faults\))");
    const QRegularExpressionMatch Touched = Phase.match(Line);
    ASSERT_TRUE(Touched.hasMatch()) << Line.toStdString();
    EXPECT_GE(Touched.captured(1).toLong(), long(Pages) / 2) << Line.toStdString();
    EXPECT_TRUE(Line.endsWith(", encode 3 ms (7 faults)")) << Line.toStdString();
    EXPECT_GE(TTrace::ThreadFaults(), 1);
}

TEST(Trace, SwitchedOffKeepsNothing)
{
    TTrace Trace("blur", false);
    Trace.SetSize(4, 3);
    Trace.Mark("surface");
    Trace.Add("blur", 5);
    Trace.Note("ignored");
    EXPECT_EQ(Trace.Line(), "blur 4x3:");
}

} // namespace
} // namespace nebulo
