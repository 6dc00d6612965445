#include "pictureio/Trace.h"

#include <gtest/gtest.h>

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
