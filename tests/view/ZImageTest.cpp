#include "tests/support/SamePixels.h"
#include "tests/view/ViewHarness.h"

#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/CursorDrawing.h"

#include <gtest/gtest.h>

#include <functional>

namespace nebulo::test {
namespace {

using test::PrintTo;

TEST(NewView, ShowsNothingOfAWhitePictureWithTheMagnifier)
{
    QWidget Parent;
    TZImage View(&Parent);
    EXPECT_EQ(View.Width(), 100);
    EXPECT_EQ(View.Height(), 100);
    const auto White = MakePicture(100, 100);
    White->Canvas().Brush().Color = clWhite;
    White->Canvas().FillRect({0, 0, 100, 100});
    EXPECT_TRUE(SamePixels(*White, *View.Bitmap()));
    EXPECT_EQ(View.ZoomFactor(), 256);
    EXPECT_EQ(View.SourceRect(), TRect{});
    EXPECT_EQ(View.DestRect(), TRect{});
    EXPECT_EQ(View.SelectedTool(), TTool::Zoom);
    EXPECT_EQ(View.Cursor(), 6);
    EXPECT_TRUE(View.ForceRepaint());
    EXPECT_FALSE(View.Dragging());
}

// The cursors come from the resources linked into the program; a second view
// puts them back over whatever the entries held.
TEST(NewView, EntersBothCursorsInTheTable)
{
    Screen().SetCursors(5, QCursor(Qt::CrossCursor));
    Screen().SetCursors(6, QCursor(Qt::CrossCursor));
    QWidget Parent;
    TZImage View(&Parent);
    const struct {
        TCursor Number;
        const char* Resource;
    } Entries[] = {{5, "CUR_HAND"}, {6, "CUR_MAGN"}};
    for (const auto& Entry : Entries) {
        const QCursor Shape = Screen().Cursors(Entry.Number);
        ASSERT_EQ(Shape.shape(), Qt::BitmapCursor) << "entry " << Entry.Number;
        EXPECT_EQ(Shape.hotSpot(), QPoint(0, 0)) << "entry " << Entry.Number;
        EXPECT_EQ(Shape.bitmap().size(), QSize(32, 32)) << "entry " << Entry.Number;
        const QCursor Drawn = LoadCursorResource(Entry.Resource);
        EXPECT_EQ(Shape.bitmap().toImage(), Drawn.bitmap().toImage()) << "entry " << Entry.Number;
        EXPECT_EQ(Shape.mask().toImage(), Drawn.mask().toImage()) << "entry " << Entry.Number;
    }
    EXPECT_NE(Screen().Cursors(5).bitmap().toImage(), Screen().Cursors(6).bitmap().toImage());
}

class ViewTest : public ViewHarness {};

TEST_F(ViewTest, DrawsOnItsParentWithoutAWindowOfItsOwn)
{
    EXPECT_EQ(View->internalWinId(), 0u);
    EXPECT_TRUE(View->testAttribute(Qt::WA_OpaquePaintEvent));
}

// What the main window's stored layout sets, by name.
TEST_F(ViewTest, StoredLayoutSetsThePublishedProperties)
{
    const auto Stored = MakePicture(100, 100);
    ASSERT_TRUE(View->setProperty("Bitmap", QVariant::fromValue(Stored.get())));
    ASSERT_TRUE(View->setProperty("SelectedTool", "Move"));
    ASSERT_TRUE(View->setProperty("ForceRepaint", false));
    ASSERT_TRUE(View->setProperty("Cursor", 5));
    ASSERT_TRUE(View->setProperty("Left", 7));
    ASSERT_TRUE(View->setProperty("Top", 8));
    ASSERT_TRUE(View->setProperty("Width", 120));
    ASSERT_TRUE(View->setProperty("Height", 90));
    EXPECT_TRUE(SamePixels(*Stored, *View->Bitmap()));
    EXPECT_EQ(View->SelectedTool(), TTool::Move);
    EXPECT_FALSE(View->ForceRepaint());
    EXPECT_EQ(View->Cursor(), 5);
    EXPECT_EQ(View->geometry(), QRect(7, 8, 120, 90));
}

TEST_F(ViewTest, WritingBitmapCopiesAndSetsOnlyTheSource)
{
    Assign(400, 300);
    Click(Qt::LeftButton);
    const auto Written = MakePicture(100, 60);
    View->SetBitmap(Written.get());
    EXPECT_NE(View->Bitmap(), Written.get());
    EXPECT_TRUE(SamePixels(*Written, *View->Bitmap()));
    EXPECT_EQ(View->SourceRect(), (TRect{0, 0, 100, 60}));
    EXPECT_EQ(View->DestRect(), (TRect{0, 0, 246, 184}));
    EXPECT_EQ(View->ZoomFactor(), 512);
}

// A source that hands itself over as a bitmap, as the clipboard does.
class BitmapSource : public TPersistent {
public:
    explicit BitmapSource(std::function<void(TBitmap&)> Give) : Give_(std::move(Give)) {}
    const char* ClassName() const override { return "BitmapSource"; }

protected:
    void AssignTo(TPersistent* Dest) override
    {
        if (auto* Picture = dynamic_cast<TBitmap*>(Dest))
            Give_(*Picture);
        else
            TPersistent::AssignTo(Dest);
    }

private:
    std::function<void(TBitmap&)> Give_;
};

class ForeignSource : public TPersistent {
public:
    const char* ClassName() const override { return "ForeignSource"; }
};

TEST_F(ViewTest, AssignFromABitmapCopiesItAndShowsItAtFullSize)
{
    Assign(400, 300);
    Click(Qt::LeftButton);
    const auto Source = MakePicture(100, 60);
    View->AssignFrom(Source.get());
    EXPECT_TRUE(SamePixels(*Source, *View->Bitmap()));
    EXPECT_EQ(View->ZoomFactor(), 256);
    EXPECT_EQ(View->SourceRect(), (TRect{0, 0, 100, 60}));
    EXPECT_EQ(View->DestRect(), (TRect{0, 0, 100, 60}));
}

TEST_F(ViewTest, AssignFromASourceThatGivesABitmap)
{
    const auto Given = MakePicture(120, 200);
    BitmapSource Source([&](TBitmap& Picture) { Picture.Assign(Given.get()); });
    View->AssignFrom(&Source);
    EXPECT_TRUE(SamePixels(*Given, *View->Bitmap()));
    EXPECT_EQ(View->SourceRect(), (TRect{0, 0, 120, 184}));
}

// Neither a source the picture cannot take nor none changes the picture, and
// the view still returns to 100 % at the top-left corner.
class UntakenSourceTest : public ViewHarness, public ::testing::WithParamInterface<bool> {};

TEST_P(UntakenSourceTest, KeepsThePictureAndResetsTheView)
{
    Assign(300, 100);
    Click(Qt::LeftButton);
    ASSERT_EQ(View->ZoomFactor(), 512);
    const auto Before = MakePicture(300, 100);
    ForeignSource Foreign;
    View->AssignFrom(GetParam() ? &Foreign : nullptr);
    EXPECT_TRUE(SamePixels(*Before, *View->Bitmap()));
    EXPECT_EQ(View->ZoomFactor(), 256);
    EXPECT_EQ(View->SourceRect(), (TRect{0, 0, 246, 100}));
    EXPECT_EQ(View->DestRect(), (TRect{0, 0, 246, 100}));
}

INSTANTIATE_TEST_SUITE_P(AssignFrom, UntakenSourceTest, ::testing::Bool(),
                         [](const auto& Info) { return std::string(Info.param ? "Foreign" : "None"); });

// A source that fails while giving its picture is a failure, not a no-op.
TEST_F(ViewTest, AssignFromPassesOnASourceFailure)
{
    BitmapSource Broken([](TBitmap&) { throw EInvalidGraphic("Invalid bitmap"); });
    EXPECT_THROW(View->AssignFrom(&Broken), EInvalidGraphic);
}

struct RefitRow {
    const char* Name;
    int GrownWidth;
    int GrownHeight;
    TRect Refitted; // both rectangles
};

class RefitTest : public ViewHarness, public ::testing::WithParamInterface<RefitRow> {};

TEST_P(RefitTest, WidensOnlyWhereThePictureLeavesRoom)
{
    Assign(200, 100);
    ASSERT_EQ(View->SourceRect(), (TRect{0, 0, 200, 100}));
    View->Bitmap()->SetSize(GetParam().GrownWidth, GetParam().GrownHeight);
    View->RefitPicture();
    EXPECT_EQ(View->SourceRect(), GetParam().Refitted);
    EXPECT_EQ(View->DestRect(), GetParam().Refitted);
    EXPECT_EQ(View->ZoomFactor(), 256);
}

INSTANTIATE_TEST_SUITE_P(Blur, RefitTest,
                         ::testing::Values(RefitRow{"RoomBothWays", 222, 122, {0, 0, 222, 122}},
                                           RefitRow{"FillsTheWidth", 250, 122, {0, 0, 200, 122}},
                                           RefitRow{"ExactlyTheViewsWidth", 246, 122, {0, 0, 200, 122}},
                                           RefitRow{"ExactlyTheViewsHeight", 222, 184, {0, 0, 222, 100}}),
                         RowName());

} // namespace
} // namespace nebulo::test
