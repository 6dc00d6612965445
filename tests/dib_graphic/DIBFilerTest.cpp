#include "tests/dib_graphic/DIBSamples.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

TEST(DIBFiler, DataIsStoredWhenItDiffersFromTheAncestorOrIsHeld)
{
    TDIB Held;
    test::LoadFile(Held, test::MakeBmpFile(test::RandomSpec(3, 2, 4)));
    TDIB Same;
    Same.Assign(&Held);
    TDIB Other;
    test::LoadFile(Other, test::MakeBmpFile(test::RandomSpec(3, 2, 4, 99)));
    TDIB Empty;

    struct TCase {
        const char* Name;
        TDIB& Graphic;
        TPersistent* Ancestor;
        bool Stored;
    };
    const TCase Cases[] = {
        {"empty, no ancestor", Empty, nullptr, false},   {"held, no ancestor", Held, nullptr, true},
        {"equal to the ancestor", Held, &Same, false},   {"differing from the ancestor", Held, &Other, true},
        {"empty over a held ancestor", Empty, &Held, true}, {"empty over an empty ancestor", Empty, &Empty, false},
    };
    for (const TCase& Case : Cases) {
        test::TRecordingFiler Filer(Case.Ancestor);
        DefinePropertiesOf(Case.Graphic, Filer);
        EXPECT_EQ(Filer.Name, "Data") << Case.Name;
        EXPECT_EQ(Filer.HasData, Case.Stored) << Case.Name;
    }

    test::TRecordingFiler Writer;
    DefinePropertiesOf(Held, Writer);
    TMemoryStream Stored;
    Writer.Write(Stored);
    Stored.Seek(0, soBeginning);
    TDIB Read;
    test::TRecordingFiler Reader;
    DefinePropertiesOf(Read, Reader);
    Reader.Read(Stored);
    EXPECT_TRUE(Read.Equals(&Held)) << "the property reads back what it wrote";
}

} // namespace
} // namespace nebulo
